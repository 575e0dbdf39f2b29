#include <chrono>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "AdPlayThread.h"
#include "WaitWithoutEvents.h"

namespace {

using namespace std::chrono_literals;

TEST(OnlineAdPlayThread, TerminateWhileATickWaitsForTheUserInterfaceThread)
{
    // The tick is posted but the event loop never runs it: ending the thread
    // from here must neither hang nor run the tick later.
    int ticks = 0;
    auto thread = std::make_unique<TAdPlayThread>([&] { ++ticks; }, 10ms);
    thread->Resume();
    ASSERT_TRUE(WaitWithoutEvents([&] { return thread->TicksHandedOver() >= 1; }));
    thread.reset();
    QCoreApplication::sendPostedEvents();
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
    ASSERT_TRUE(WaitWithoutEvents([&] { return thread.TicksHandedOver() >= 1; }));
    thread.Suspend();
    QCoreApplication::sendPostedEvents();  // the queued tick arrives, late
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(thread.Ticks(), 0);
}

}  // namespace
