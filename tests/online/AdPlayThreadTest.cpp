#include <chrono>

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include "AdPlayThread.h"
#include "OnlineTestSupport.h"

namespace {

using namespace std::chrono_literals;

TEST(OnlineAdPlayThread, TicksOnTheCreatingThreadAtOnceThenEveryInterval)
{
    int ticks = 0;
    bool onMainThread = true;
    const Qt::HANDLE main = QThread::currentThreadId();
    TAdPlayThread thread([&] {
        ++ticks;
        onMainThread = onMainThread && QThread::currentThreadId() == main;
    }, 50ms);
    thread.SetInterval(2);
    Pump(150);
    EXPECT_EQ(ticks, 0) << "created suspended";
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return ticks == 1; }, 1000));
    ASSERT_TRUE(WaitUntil([&] { return ticks == 3; }, 2000));
    EXPECT_TRUE(onMainThread);
    thread.Suspend();
    Pump(50);
    const int paused = ticks;
    Pump(400);
    EXPECT_EQ(ticks, paused);
}

TEST(OnlineAdPlayThread, IntervalsBelowOneSecondAreOneSecond)
{
    TAdPlayThread thread([] {}, 10ms);
    thread.SetInterval(0);
    EXPECT_EQ(thread.Interval(), 1);
    thread.SetInterval(-5);
    EXPECT_EQ(thread.Interval(), 1);
}

TEST(OnlineAdPlayThread, TerminateWhileATickWaitsForTheUserInterfaceThread)
{
    // The tick is posted but the event loop never runs it: ending the thread
    // from here must neither hang nor run the tick later.
    int ticks = 0;
    auto thread = std::make_unique<TAdPlayThread>([&] { ++ticks; }, 10ms);
    thread->Resume();
    QThread::msleep(50);
    QElapsedTimer clock;
    clock.start();
    thread.reset();
    EXPECT_LT(clock.elapsed(), 1000);
    Pump(50);
    EXPECT_EQ(ticks, 0);
}

TEST(OnlineAdPlayThread, ATickQueuedBeforeSuspendShowsNothing)
{
    int ticks = 0;
    TAdPlayThread thread([&] { ++ticks; }, 10ms);
    thread.Resume();
    QThread::msleep(50);   // the first tick is queued now
    thread.Suspend();
    Pump(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(thread.Ticks(), 0);
}

} // namespace
