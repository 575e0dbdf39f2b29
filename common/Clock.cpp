#include "Clock.h"

namespace {

class SystemClock final : public TClock {
public:
    QDate Today() const override { return QDate::currentDate(); }
};

std::shared_ptr<TClock> &currentClock()
{
    static std::shared_ptr<TClock> clock = std::make_shared<SystemClock>();
    return clock;
}

}  // namespace

const TClock &ProgramClock()
{
    return *currentClock();
}

void SetProgramClock(std::shared_ptr<TClock> clock)
{
    currentClock() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}
