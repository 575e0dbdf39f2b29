#include <chrono>

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include "AdPlayThread.h"
#include "OnlineTestSupport.h"

namespace {

using namespace std::chrono_literals;

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
    // A list without a pause would hand over ticks as fast as they run.
    thread.SetInterval(0);
    EXPECT_EQ(thread.Interval(), 1);
    thread.Resume();
    QThread::msleep(50);   // the first tick is queued now
    thread.Suspend();
    Pump(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(thread.Ticks(), 0);
}

} // namespace
