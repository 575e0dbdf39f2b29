#pragma once
// The program's clock for dates (scores are recorded with the day they were
// made) and instants (the learning memory times each meeting with a word).
// Tests install a fixed clock.

#include <cstdint>
#include <memory>

#include <QDate>
#include <QDateTime>

class TClock {
public:
    virtual ~TClock() = default;
    virtual QDate Today() const = 0;
    // Unix milliseconds (UTC).
    virtual std::int64_t NowMs() const { return QDateTime::currentMSecsSinceEpoch(); }
};

const TClock &ProgramClock();
// nullptr goes back to the system clock.
void SetProgramClock(std::shared_ptr<TClock> clock);
