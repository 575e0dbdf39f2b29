// The day-change timer over the program clock: it wakes at local midnight,
// tells each change of date once, and follows a clock set back or forward
// (by hand, or a resume from suspend) at its next wake-up.
#include <ctime>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "Clock.h"
#include "DayChangeTimer.h"

namespace {

class MovableClock final : public TClock {
public:
    QDate Today() const override { return QDateTime::fromMSecsSinceEpoch(now).date(); }
    std::int64_t NowMs() const override { return now; }
    std::int64_t now = 0;
};

std::int64_t localMs(int day, int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute, second, ms)).toMSecsSinceEpoch();
}

class FlowDayChange : public ::testing::Test {
protected:
    FlowDayChange()
    {
        if (qEnvironmentVariableIsSet("TZ"))
            m_oldZone = qgetenv("TZ");
        qputenv("TZ", "Asia/Shanghai");
        ::tzset();
        SetProgramClock(m_clock);
    }
    ~FlowDayChange() override
    {
        SetProgramClock(nullptr);
        if (m_oldZone)
            qputenv("TZ", *m_oldZone);
        else
            qunsetenv("TZ");
        ::tzset();
    }

    std::shared_ptr<MovableClock> m_clock = std::make_shared<MovableClock>();
    std::optional<QByteArray> m_oldZone;
};

TEST_F(FlowDayChange, WakesAtLocalMidnightAndTellsTheNewDayOnce)
{
    TDayChangeTimer timer;
    QSignalSpy changes(&timer, &TDayChangeTimer::dayChanged);
    m_clock->now = localMs(2, 12, 0, 0);
    timer.Start();
    EXPECT_TRUE(timer.IsActive());
    EXPECT_EQ(timer.ArmedMs(), TDayChangeTimer::kRecheckMs);  // noon: only the recheck
    timer.Check();
    EXPECT_EQ(changes.count(), 0);

    m_clock->now = localMs(2, 23, 59, 30);
    timer.Check();
    EXPECT_EQ(timer.ArmedMs(), 30'000);
    m_clock->now = localMs(2, 23, 59, 59, 900);
    timer.Check();
    ASSERT_EQ(timer.ArmedMs(), 100);
    EXPECT_EQ(changes.count(), 0);

    // The real timer fires; by then the clock reads the next day.
    m_clock->now = localMs(3, 0, 0, 0, 50);
    ASSERT_TRUE(changes.wait(5'000));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(timer.IsActive());
    EXPECT_EQ(timer.ArmedMs(), TDayChangeTimer::kRecheckMs);
    timer.Check();
    EXPECT_EQ(changes.count(), 1);  // told once a day
}

TEST_F(FlowDayChange, AClockSetBackOrAResumeDaysLaterIsANewDayAtTheNextWakeUp)
{
    TDayChangeTimer timer;
    QSignalSpy changes(&timer, &TDayChangeTimer::dayChanged);
    m_clock->now = localMs(10, 0, 0, 20);
    timer.Start();

    // Set back over midnight: yesterday again, and its midnight is armed.
    m_clock->now = localMs(9, 23, 59, 50);
    timer.Check();
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(timer.ArmedMs(), 10'000);

    // A resume three days later at 23:59:58: the date changed, and the next
    // midnight is two seconds off, not a day's wait counted before the suspend.
    m_clock->now = localMs(12, 23, 59, 58);
    timer.Check();
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(timer.ArmedMs(), 2'000);

    timer.Stop();
    EXPECT_FALSE(timer.IsActive());
}

}  // namespace
