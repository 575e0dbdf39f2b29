// The real play thread: ticks reach the UI thread, pauses and restarts drop
// late ticks, and boards can be destroyed at any moment without a hang.
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QtCore/qtestsupport_core.h>

#include "BoardTestSupport.h"
#include "QueuedSentinel.h"
#include "WaitWithoutEvents.h"

namespace {

struct TickCounter {
    std::shared_ptr<int> Ticks = std::make_shared<int>(0);
    std::shared_ptr<bool> OnUiThread = std::make_shared<bool>(true);
    // Pauses the board from inside this tick (0: never).
    std::shared_ptr<int> PauseAt = std::make_shared<int>(0);
    void Attach(TTypeGameType &board)
    {
        board.SetTickObserver(
            [&board, ticks = Ticks, ui = OnUiThread, pauseAt = PauseAt](auto, auto) {
                ++*ticks;
                *ui = *ui && QThread::currentThread() == QCoreApplication::instance()->thread();
                if (*ticks == *pauseAt)
                    board.PauseGame();
            });
    }
};

TEST(BoardPlayThread, TicksRunOnTheUiThreadUntilPaused)
{
    PanelledBoard b(600, 400, TTickSource::PlayThread);
    b->SetLevelInterval1(2);
    TickCounter counter;
    counter.Attach(*b.Board);
    b->StartGame(NumberedWords(40), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= 5; }));
    EXPECT_TRUE(*counter.OnUiThread);
    EXPECT_EQ(b->WordCanvas1().Scrolled, *counter.Ticks);
    // Manual ticks are refused while the thread drives the board.
    EXPECT_FALSE(b->RunManualTick());

    // Paused from inside a tick, while the worker waits for it: no other tick
    // is on its way, so after the marker none can come.
    const int atPause = *counter.Ticks + 2;
    *counter.PauseAt = atPause;
    ASSERT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= atPause; }));
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(*counter.Ticks, atPause);

    b->ContinueGame();
    ASSERT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= atPause + 3; }));
}

TEST(BoardPlayThread, ATickQueuedBeforeAPauseDoesNothing)
{
    PanelledBoard b(600, 400, TTickSource::PlayThread);
    b->SetLevelInterval1(0);
    TickCounter counter;
    counter.Attach(*b.Board);
    b->StartGame(NumberedWords(40), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= 2; }));
    // Without an event loop, the worker queues its next tick and waits.
    const auto ran = static_cast<std::uint64_t>(*counter.Ticks);
    ASSERT_TRUE(WaitWithoutEvents([&] { return b->TicksHandedOver() > ran; }));
    b->PauseGame();
    const int scrolled = b->WordCanvas1().Scrolled;
    const int ticks = *counter.Ticks;
    QCoreApplication::sendPostedEvents();  // the queued tick arrives, late
    EXPECT_EQ(*counter.Ticks, ticks);
    EXPECT_EQ(b->WordCanvas1().Scrolled, scrolled);
}

TEST(BoardPlayThread, ATickQueuedBeforeARestartOrResizeDoesNothing)
{
    for (bool resize : {false, true}) {
        SCOPED_TRACE(resize ? "ResizeBoard" : "Restart");
        PanelledBoard b(600, 400, TTickSource::PlayThread);
        b->SetLevelInterval1(0);
        TickCounter counter;
        counter.Attach(*b.Board);
        b->StartGame(NumberedWords(40), nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= 2; }));
        const auto ran = static_cast<std::uint64_t>(*counter.Ticks);
        ASSERT_TRUE(WaitWithoutEvents([&] { return b->TicksHandedOver() > ran; }));
        // The new game's first tick comes only after a long sleep.
        b->SetLevelInterval1(10000);
        if (resize)
            b->ResizeBoard();
        else
            b->Restart();
        const int ticks = *counter.Ticks;
        QCoreApplication::sendPostedEvents();  // the queued tick arrives, late
        EXPECT_EQ(*counter.Ticks, ticks);
        EXPECT_EQ(b->WordCanvas1().Scrolled, 0);
        EXPECT_TRUE(b->IsPlaying());
    }
}

TEST(BoardPlayThread, CreatingAndDestroyingRunningBoardsNeverHangs)
{
    auto destroyed = std::make_shared<bool>(false);
    auto late = std::make_shared<int>(0);
    const TWordInfos words = NumberedWords(40);
    for (int i = 0; i < 200; ++i) {
        *destroyed = false;
        auto panel = std::make_unique<QWidget>();
        panel->resize(300, 200);
        auto *board = new TTypeGameType(panel.get());
        board->resize(300, 200);
        board->SetLevelInterval1(0);
        board->SetTickObserver([destroyed, late](auto, auto) { *late += *destroyed ? 1 : 0; });
        QObject::connect(board, &TTypeGameType::tollGateChange,
                         [destroyed, late] { *late += *destroyed ? 1 : 0; });
        board->StartGame(words, nullptr);
        // Vary the moment: sometimes a tick is waiting in the queue, sometimes
        // the worker sleeps, sometimes ticks have run.
        if (i % 3 != 0)
            QCoreApplication::processEvents();
        if (i % 2 == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200 * (i % 5)));
        *destroyed = true;
        panel.reset();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(*late, 0);
}

TEST(BoardPlayThread, AGameOverHandlerMayDestroyTheBoard)
{
    auto panel = std::make_unique<QWidget>();
    panel->resize(300, 200);
    auto *board = new TTypeGameType(panel.get());
    board->resize(300, 200);
    board->SetLevelInterval1(0);
    bool over = false;
    QObject::connect(board, &TTypeGameType::gameOver, [&] {
        over = true;
        delete board;
    });
    board->StartGame({}, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return over; }));
    EXPECT_TRUE(panel->findChildren<TTypeGameType *>().isEmpty());
    // Whatever the dead board had queued finds nothing.
    QCoreApplication::sendPostedEvents();
}

TEST(BoardPlayThread, ANegativeIntervalSleepsZero)
{
    PanelledBoard b(600, 400, TTickSource::PlayThread);
    b->SetLevelInterval1(-100);
    TickCounter counter;
    counter.Attach(*b.Board);
    b->StartGame(NumberedWords(40), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return *counter.Ticks >= 20; }, 3000));
}

}  // namespace
