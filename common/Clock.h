#pragma once
// The program's clock for dates (scores are recorded with the day they were
// made). Tests install a fixed clock.

#include <memory>

#include <QDate>

class TClock {
public:
    virtual ~TClock() = default;
    virtual QDate Today() const = 0;
};

const TClock &ProgramClock();
// nullptr goes back to the system clock.
void SetProgramClock(std::shared_ptr<TClock> clock);
