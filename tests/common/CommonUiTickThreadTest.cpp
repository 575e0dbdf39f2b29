#include <memory>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include "QueuedSentinel.h"
#include "UiTickThread.h"
#include "WaitWithoutEvents.h"

namespace {

// Counts the queued calls delivered to the context, whether or not the tick
// they carry still runs: a dropped tick is then known to have arrived.
class DeliveryCounter : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++delivered;
        return false;
    }
    int delivered = 0;
};

class CommonUiTickThread : public ::testing::Test {
protected:
    CommonUiTickThread() { context.installEventFilter(&counter); }

    // Waits, without running the event loop, until the worker has queued a
    // tick that nothing ran yet.
    static bool ATickIsQueued(const TUiTickThread &thread)
    {
        return WaitWithoutEvents([&] { return thread.HandedOver() >= 1; });
    }

    QObject context;
    DeliveryCounter counter;
    int ticks = 0;
};

TEST_F(CommonUiTickThread, TicksRunOnTheUiThreadOnlyWhileBoundAndRunning)
{
    TUiTickThread thread(&context, TTickSource::PlayThread);
    thread.SetInterval(0);
    thread.ResumePlay();  // not bound: nothing comes
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());

    // Anything handed over while unbound would arrive before the first
    // bound tick: that tick is the first delivery of all.
    const QThread *ui = QThread::currentThread();
    bool elsewhere = false;
    int deliveredAtFirst = -1;
    thread.Bind([&] {
        if (++ticks == 1)
            deliveredAtFirst = counter.delivered;
        elsewhere = elsewhere || QThread::currentThread() != ui;
        // Paused from inside a tick, while the worker waits for it: no other
        // tick is on its way then.
        if (ticks == 3)
            thread.SuspendPlay();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }));
    EXPECT_EQ(deliveredAtFirst, 1);
    EXPECT_FALSE(elsewhere);
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(thread.IsPaused());
}

TEST_F(CommonUiTickThread, ALateTickAfterAPauseOrStopDoesNothing)
{
    for (bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stop" : "pause");
        counter.delivered = 0;
        ticks = 0;
        TUiTickThread thread(&context, TTickSource::PlayThread, TFirstTick::AtOnce);
        thread.Bind([&] { ++ticks; });
        thread.ResumePlay();
        ASSERT_TRUE(ATickIsQueued(thread));
        if (stop)
            thread.Stop();
        else
            thread.SuspendPlay();
        ASSERT_TRUE(QTest::qWaitFor([&] { return counter.delivered >= 1; }));
        EXPECT_EQ(ticks, 0);
        // A pause is not the end: the next generation ticks again.
        thread.ResumePlay();
        if (!stop)
            EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }));
        else
            EXPECT_TRUE(thread.IsPaused());
    }
}

TEST_F(CommonUiTickThread, ATickQueuedBeforeDestructionFindsNothingAndNothingHangs)
{
    auto thread =
        std::make_unique<TUiTickThread>(&context, TTickSource::PlayThread, TFirstTick::AtOnce);
    thread->Bind([&] { ++ticks; });
    thread->ResumePlay();
    ASSERT_TRUE(ATickIsQueued(*thread));
    thread.reset();  // the worker waits for the UI thread: this must not
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.delivered >= 1; }));
    EXPECT_EQ(ticks, 0);
}

TEST_F(CommonUiTickThread, ATickMayDestroyItsOwnThread)
{
    auto thread = std::make_unique<TUiTickThread>(&context, TTickSource::PlayThread);
    thread->SetInterval(0);
    thread->Bind([&] {
        ++ticks;
        thread.reset();
    });
    thread->ResumePlay();
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread == nullptr; }));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
}

TEST_F(CommonUiTickThread, TheFirstTickComesAtOnceOrAfterTheInterval)
{
    // An hour's interval: only a first tick that does not wait can arrive.
    TUiTickThread atOnce(&context, TTickSource::PlayThread, TFirstTick::AtOnce);
    atOnce.SetInterval(3600 * 1000);
    atOnce.Bind([&] { ++ticks; });
    atOnce.ResumePlay();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }));
    // After a pause the next generation starts at once again.
    atOnce.SuspendPlay();
    atOnce.ResumePlay();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 2; }));
    atOnce.Stop();

    int later = 0;
    TUiTickThread afterInterval(&context, TTickSource::PlayThread);
    afterInterval.SetInterval(3600 * 1000);
    afterInterval.Bind([&] { ++later; });
    afterInterval.ResumePlay();
    QTest::qWait(200);
    EXPECT_EQ(afterInterval.HandedOver(), 0U);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(counter.delivered, 2);
}

TEST_F(CommonUiTickThread, ManualTicksRunOnlyWhenBoundAndRunning)
{
    TUiTickThread thread(&context, TTickSource::Manual);
    int observed = 0;
    thread.SetTickObserver([&](auto, auto) { ++observed; });
    EXPECT_FALSE(thread.RunManualTick());
    thread.ResumePlay();
    EXPECT_FALSE(thread.RunManualTick());  // unbound
    thread.Bind([&] { ++ticks; });
    EXPECT_TRUE(thread.RunManualTick());
    EXPECT_TRUE(thread.RunManualTick());
    thread.SuspendPlay();
    EXPECT_FALSE(thread.RunManualTick());
    thread.ResumePlay();
    thread.Stop();
    EXPECT_FALSE(thread.RunManualTick());
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(observed, 2);
    // No worker: nothing was ever queued.
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.delivered, 0);
}

}  // namespace
