#include "DayChangeTimer.h"

#include <algorithm>

#include "Clock.h"
#include "FsrsScheduler.h"

TDayChangeTimer::TDayChangeTimer(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, a long way before midnight.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TDayChangeTimer::Check);
}

void TDayChangeTimer::Start()
{
    const std::int64_t now = ProgramClock().NowMs();
    m_dayEndMs = NextLocalMidnightMs(now);
    arm(now);
}

void TDayChangeTimer::Stop()
{
    m_timer.stop();
}

void TDayChangeTimer::Check()
{
    const std::int64_t now = ProgramClock().NowMs();
    const std::int64_t dayEnd = NextLocalMidnightMs(now);
    const bool changed = dayEnd != m_dayEndMs;
    m_dayEndMs = dayEnd;
    // Armed before telling: a listener may read the timer, or stop it.
    arm(now);
    if (changed)
        emit dayChanged();
}

void TDayChangeTimer::arm(std::int64_t nowMs)
{
    const std::int64_t wait = std::clamp<std::int64_t>(m_dayEndMs - nowMs, 1, kRecheckMs);
    m_timer.start(static_cast<int>(wait));
}
