// Word motion: geometry, filling, misses, toll gates and the end of a game.
#include <algorithm>

#include <gtest/gtest.h>

#include "BoardTestSupport.h"

namespace {

TEST(BoardMotion, RowsAtTheDesignHeight)
{
    PanelledBoard b(815, 424);
    b->StartGame(NumberedWords(40), nullptr);
    EXPECT_EQ(b->RowCount(), 7);
    EXPECT_EQ(b->RowHeight(), 60);
    EXPECT_EQ(b->BoardRect(), (TRect{0, 0, 815, 424}));
    const TWordCanvas &c1 = b->WordCanvas1();
    ASSERT_EQ(c1.Items.size(), 7u);
    for (int r = 0; r < 7; ++r) {
        const TRect &box = c1.Items[static_cast<size_t>(r)].BoxRect;
        EXPECT_EQ(box.Top, 424 - 60 * (r + 1)) << "row " << r;
        EXPECT_EQ(box.Bottom - box.Top, 55);
        EXPECT_EQ(box.Right - box.Left, 180);
    }
    EXPECT_EQ(c1.Items.front().BoxRect.Top, 364);
    EXPECT_EQ(c1.Items.back().BoxRect.Top, 4);
    // Nothing on view before the first tick; the canvases wait above.
    EXPECT_EQ(c1.Top, -424);
    EXPECT_EQ(b->WordCanvas2().Top, -848);
    EXPECT_EQ(c1.SrcRect.Bottom - c1.SrcRect.Top, 0);
    EXPECT_EQ(c1.Bitmap.size(), QSize(815, 424));
}

TEST(BoardMotion, ScrollingRectanglesAndRefillTicks)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    b->StartGame(NumberedWords(40), nullptr);
    const TWordCanvas &c1 = b->WordCanvas1();
    const TWordCanvas &c2 = b->WordCanvas2();

    b.Ticks(1);
    EXPECT_EQ(c1.SrcRect, (TRect{0, 399, 600, 400}));
    EXPECT_EQ(c1.DestRect, (TRect{0, 0, 600, 1}));
    EXPECT_EQ(c2.Top, -799);
    EXPECT_EQ(c2.Scrolled, 0);

    b.Ticks(399);  // tick 400, Scrolled H: the first canvas shows whole
    EXPECT_EQ(c1.SrcRect, (TRect{0, 0, 600, 400}));
    EXPECT_EQ(c1.DestRect, (TRect{0, 0, 600, 400}));
    // The second canvas's top has reached -H: it enters on the same tick.
    EXPECT_EQ(c2.Top, -400);
    EXPECT_EQ(c2.Scrolled, 1);
    EXPECT_EQ(c2.SrcRect, (TRect{0, 399, 600, 400}));
    b.Ticks(1);
    EXPECT_EQ(c1.SrcRect, (TRect{0, 0, 600, 399}));
    EXPECT_EQ(c1.DestRect, (TRect{0, 1, 600, 400}));
    EXPECT_EQ(c2.Scrolled, 2);

    b.Ticks(398);  // tick 799 = 2H - 1: the first canvas is refilled
    EXPECT_EQ(c1.Scrolled, 0);
    EXPECT_EQ(c1.Top, -400);
    EXPECT_EQ(Spellings(c1).front(), "w12");
    // The second canvas's first pass lasts one tick longer.
    b.Ticks(400);  // tick 1199 = 3H - 1
    EXPECT_EQ(c2.Scrolled, 0);
    EXPECT_EQ(c2.Top, -400);
    EXPECT_EQ(Spellings(c2).front(), "w18");
}

TEST(BoardMotion, OneWordPerRowFillsSevenAtATimeAtLevelsOneAndTwo)
{
    for (int level : {1, 2}) {
        SCOPED_TRACE(level);
        RandomScript random;
        PanelledBoard b(815, 424);
        b->SetLevel(level);
        b->StartGame(NumberedWords(40), nullptr);
        EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(0, 6));
        EXPECT_EQ(Spellings(b->WordCanvas2()), NumberedSpellings(7, 13));
        b.Ticks(2 * 424 - 1);
        EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(14, 20));
        // Refills at ticks 3H - 1, 4H - 2, 5H - 3: each canvas passes
        // through in 2H - 1 ticks, the second one's first pass in 2H.
        b.Ticks(424);
        EXPECT_EQ(Spellings(b->WordCanvas2()), NumberedSpellings(21, 27));
        b.Ticks(422);
        EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(14, 20));
        b.Ticks(1);
        EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(28, 34));
        b.Ticks(424);
        EXPECT_EQ(Spellings(b->WordCanvas2()), NumberedSpellings(35, 39));
        EXPECT_EQ(b->LastWordIndex(), 39);
    }
}

TEST(BoardMotion, LevelThreePacksASecondBoxOnlyWhenThereIsRoom)
{
    RandomScript random;
    random->Values = {600, 100};
    random->Fallback = 0;
    PanelledBoard b(815, 424);
    b->SetLevel(3);
    b->StartGame(NumberedWords(40), nullptr);
    const TTypeWordItems &items = b->WordCanvas1().Items;
    ASSERT_GE(items.size(), 3u);
    // 815 is not greater than 780 + 180: the row keeps one word.
    EXPECT_EQ(items[0].BoxRect, (TRect{600, 364, 780, 419}));
    EXPECT_EQ(items[1].BoxRect, (TRect{100, 304, 280, 359}));
    EXPECT_EQ(items[2].BoxRect, (TRect{300, 304, 480, 359}));
    // The random left edge is asked for from 0 to W - 181, once per row.
    ASSERT_FALSE(random->Ranges.empty());
    EXPECT_EQ(random->Ranges.front(), (std::pair<int, int>{0, 634}));
    EXPECT_EQ(random->Ranges.size(), 14u);
    // The other rows (random 0) take two words each.
    EXPECT_EQ(items.size(), 1u + 6u * 2u);
}

TEST(BoardMotion, NextTollGateStartsANewRow)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(815, 424);
    b->SetLevel(3);
    b->SetTollGateWords(5);
    b->StartGame(NumberedWords(40), nullptr);
    EXPECT_EQ(b->TollGateCount(), 8);
    const TTypeWordItems &items = b->WordCanvas1().Items;
    ASSERT_GE(items.size(), 6u);
    // Rows: w0 w1 | w2 w3 | w4 | w5 w6 ...
    EXPECT_EQ(items[4].WordInfo.Spelling, "w4");
    EXPECT_EQ(items[4].BoxRect.Left, 100);
    EXPECT_EQ(items[4].BoxRect.Top, 424 - 180);
    EXPECT_EQ(items[5].WordInfo.Spelling, "w5");
    EXPECT_EQ(items[5].BoxRect.Left, 100);
    EXPECT_EQ(items[5].BoxRect.Top, 424 - 240);
    EXPECT_EQ(items[6].BoxRect.Left, 300);
    for (const TTypeWordItem &item : items) {
        const int i = std::stoi(item.WordInfo.Spelling.substr(1));
        EXPECT_EQ(item.TollGateMark, i % 5 == 0 ? i / 5 + 1 : -1) << item.WordInfo.Spelling;
    }
}

TEST(BoardMotion, TollGateCount)
{
    PanelledBoard b;
    b->SetTollGateWords(20);
    b->StartGame(NumberedWords(41), nullptr);
    EXPECT_EQ(b->TollGateCount(), 3);
    b->StartGame(NumberedWords(40), nullptr);
    EXPECT_EQ(b->TollGateCount(), 2);
    // SetWords leaves it alone.
    b->SetWords(NumberedWords(100));
    EXPECT_EQ(b->TollGateCount(), 2);
}

TEST(BoardMotion, AnUntypedWordCountsInTheTickItPassesTheBottom)
{
    RandomScript random;
    PanelledBoard b(815, 424);
    int changes = 0;
    QObject::connect(b.Board, &TTypeGameType::typeCheckChange, [&changes] { ++changes; });
    b->StartGame(NumberedWords(40), nullptr);
    const TTypeWordItem &first = b->WordCanvas1().Items.front();
    ASSERT_EQ(first.BoxRect.Top, 364);
    // Counted once the shown part of its canvas ends above its top:
    // 2H - Scrolled < 364, so at Scrolled 485.
    b.Ticks(484);
    EXPECT_EQ(b->ErrorWordCount(), 0);
    EXPECT_EQ(first.Missed, 0);
    EXPECT_EQ(changes, 0);
    b.Ticks(1);
    EXPECT_EQ(b->ErrorWordCount(), 1);
    EXPECT_EQ(b->WordCanvas1().Items.front().Missed, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b->Score(), 0);
    // Counted once only.
    b.Ticks(59);
    EXPECT_EQ(b->ErrorWordCount(), 1);
    b.Ticks(1);
    EXPECT_EQ(b->ErrorWordCount(), 2);
}

TEST(BoardMotion, TopRowWordsAreCountedWhenTheirCanvasIsRefilled)
{
    // Heights where the top row's boxes start at y 0 and 1 of the canvas.
    for (int height : {420, 421}) {
        SCOPED_TRACE(height);
        RandomScript random;
        PanelledBoard b(600, height);
        bool over = false;
        QObject::connect(b.Board, &TTypeGameType::gameOver, [&over] { over = true; });
        b->StartGame(NumberedWords(7), nullptr);
        ASSERT_EQ(b->WordCanvas1().Items.size(), 7u);
        EXPECT_EQ(b->WordCanvas1().Items.back().BoxRect.Top, height - 420);
        b.Ticks(2 * height - 2);  // the tick before the refill
        EXPECT_EQ(b->ErrorWordCount(), 6);
        b.Ticks(1);  // refill: the top-row word counts now
        EXPECT_EQ(b->ErrorWordCount(), 7);
        EXPECT_FALSE(over);
        b.Ticks(1);
        EXPECT_TRUE(over);
    }
}

TEST(BoardMotion, SecondCanvasTopRowIsCountedOnItsLongerFirstPass)
{
    RandomScript random;
    PanelledBoard b(600, 420);
    b->StartGame(NumberedWords(14), nullptr);
    ASSERT_EQ(b->WordCanvas2().Items.size(), 7u);
    b.Ticks(3 * 420 - 2);
    EXPECT_EQ(b->ErrorWordCount(), 13);
    b.Ticks(1);
    EXPECT_EQ(b->ErrorWordCount(), 14);
}

TEST(BoardMotion, GameOverOnTheTickAfterTheLastCount)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    int overs = 0;
    int errorsInHandler = -1;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&] {
        ++overs;
        errorsInHandler = b->ErrorWordCount();
        EXPECT_FALSE(b->IsPlaying());
    });
    b->StartGame(NumberedWords(3), nullptr);
    int ticks = 0;
    while (b->ErrorWordCount() < 3 && ticks < 2000)
        ticks += b.Ticks(1);
    ASSERT_EQ(b->ErrorWordCount(), 3);
    EXPECT_EQ(overs, 0);
    EXPECT_FALSE(b->WordCanvas1().Items.empty());

    b.Ticks(1);
    EXPECT_EQ(overs, 1);
    EXPECT_EQ(errorsInHandler, 3);
    EXPECT_TRUE(b->WordCanvas1().Items.empty());
    EXPECT_TRUE(b->WordCanvas2().Items.empty());
    EXPECT_EQ(b->LastWordIndex(), -1);
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_FALSE(b->IsShootTimerActive());
    EXPECT_EQ(b->ErrorWordCount(), 3);
    EXPECT_EQ(b->Words().size(), 3u);
    // Paused: no more ticks run.
    EXPECT_EQ(b.Ticks(5), 0);

    // Continuing from Over ends the game again at the next tick.
    b->ContinueGame();
    EXPECT_EQ(b.Ticks(1), 1);
    EXPECT_EQ(overs, 2);
}

TEST(BoardMotion, AHandlerRestartingOnGameOverLeavesTheBoardRunning)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    int overs = 0;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&overs, &b] {
        if (++overs == 1)
            b->Restart();
    });
    b->StartGame({}, nullptr);
    b.Ticks(1);
    EXPECT_EQ(overs, 1);
    EXPECT_TRUE(b->IsPlaying());
    b.Ticks(1);
    EXPECT_EQ(overs, 2);
}

TEST(BoardMotion, AnEmptyListEndsAtTheFirstTick)
{
    PanelledBoard b;
    int overs = 0;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&overs] { ++overs; });
    b->StartGame({}, nullptr);
    EXPECT_EQ(b->TollGateCount(), 0);
    EXPECT_TRUE(b->WordCanvas1().Items.empty());
    EXPECT_TRUE(b->WordCanvas2().Items.empty());
    EXPECT_EQ(b.Ticks(1), 1);
    EXPECT_EQ(overs, 1);
    EXPECT_EQ(b->WordCanvas1().Top, -400);  // nothing moved
}

TEST(BoardMotion, TollGateFollowsTheFirstWordOfEachGateComingIntoView)
{
    RandomScript random;
    PanelledBoard b(815, 424);
    b->SetTollGateWords(10);
    std::vector<int> seen;
    QObject::connect(b.Board, &TTypeGameType::tollGateChange,
                     [&seen, &b] { seen.push_back(b->TollGateIndex()); });
    b->StartGame(NumberedWords(40), nullptr);
    // Each fill that begins with LastWordIndex -1 assigns toll gate 1.
    EXPECT_EQ(seen, std::vector<int>({1}));
    EXPECT_EQ(b->TollGateIndex(), 1);

    // w10 (gate 2) is on the second canvas in row 3: box bottom 424-240+55.
    const TWordCanvas &c2 = b->WordCanvas2();
    ASSERT_EQ(c2.Items[3].TollGateMark, 2);
    int ticks = 0;
    while (b->TollGateIndex() != 2 && ticks < 3000)
        ticks += b.Ticks(1);
    ASSERT_EQ(b->TollGateIndex(), 2);
    // The first tick in which a row of its box is on view.
    EXPECT_EQ(c2.SrcRect.Top, c2.Items[3].BoxRect.Bottom - 1);
    // Re-assigned on every tick while it enters, twice a tick (the check runs
    // after each canvas moves and scans both), value unchanged.
    const size_t before = seen.size();
    b.Ticks(3);
    EXPECT_EQ(seen.size(), before + 6);
    EXPECT_EQ(b->TollGateIndex(), 2);
}

TEST(BoardMotion, AShortenedWordListNeverReadsPastItsEnd)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    b->StartGame(NumberedWords(40), nullptr);
    // SetWords without Restart: the next refill would start at word 12.
    b->SetWords(NumberedWords(5));
    int overs = 0;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&overs] { ++overs; });
    int ticks = 0;
    while (overs == 0 && ticks < 5000)
        ticks += b.Ticks(1);
    EXPECT_EQ(overs, 1);
    EXPECT_GE(b->ErrorWordCount(), 5);
}

TEST(BoardMotion, ABoardTooNarrowForABoxPlacesNoWord)
{
    RandomScript random;
    PanelledBoard b(180, 400);
    b->StartGame(NumberedWords(5), nullptr);
    EXPECT_TRUE(b->WordCanvas1().Items.empty());
    EXPECT_TRUE(random->Ranges.empty());
}

}  // namespace

namespace {

// Each box is told once, on the tick its top edge comes on view (the last
// of its 55 rows to enter), and never before the game moves.
TEST(BoardMotion, AWordIsToldShownOnceOnTheTickItIsWhollyOnView)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    std::vector<std::pair<int, int>> shown;
    bool wholly = true;
    QObject::connect(b.Board, &TTypeGameType::wordShown, [&](int wordIndex) {
        int canvasId = 0;
        int index = -1;
        ASSERT_TRUE(BoxOfWord(*b.Board, wordIndex, canvasId, index));
        const TWordCanvas &c = canvasId == 1 ? b->WordCanvas1() : b->WordCanvas2();
        const TTypeWordItem &item = c.Items.at(static_cast<size_t>(index));
        wholly =
            wholly && item.BoxRect.Top == c.SrcRect.Top && item.BoxRect.Bottom <= c.SrcRect.Bottom;
        shown.emplace_back(canvasId, index);
    });
    b->StartGame(NumberedWords(40), nullptr);
    b->PauseGame();
    EXPECT_EQ(b.Ticks(500), 0);
    EXPECT_TRUE(shown.empty());
    b->ContinueGame();

    const int lowestTop = b->WordCanvas1().Items.front().BoxRect.Top;  // 340
    b.Ticks(400 - lowestTop - 1);
    EXPECT_TRUE(shown.empty());
    b.Ticks(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], std::make_pair(1, 0));

    b.Ticks(400 - 1 - (400 - lowestTop));  // tick 399: the whole first canvas is on view
    const auto rows = static_cast<size_t>(b->RowCount());
    ASSERT_EQ(shown.size(), rows);
    for (size_t i = 0; i < rows; ++i)
        EXPECT_EQ(shown[i], std::make_pair(1, static_cast<int>(i)));
    b.Ticks(400);  // the second canvas enters; the first is refilled above
    EXPECT_EQ(shown.size(), 2 * rows);
    EXPECT_EQ(shown.back().first, 2);
    EXPECT_TRUE(wholly);
}

TEST(BoardMotion, AWordShotDownBeforeItIsWhollyOnViewIsNeverToldShown)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    std::vector<int> shown;
    QObject::connect(b.Board, &TTypeGameType::wordShown, [&](int wordIndex) {
        int canvasId = 0;
        int index = -1;
        if (BoxOfWord(*b.Board, wordIndex, canvasId, index) && canvasId == 1)
            shown.push_back(index);
    });
    TWordInfos words = NumberedWords(40);
    words[0] = Word("a", "词");
    b->StartGame(words, nullptr);
    b.Ticks(30);  // half of the lowest box is on view: it can be typed
    Type(b, "a");
    for (int i = 0; i < 100 && !b->WordCanvas1().Items[0].ShotDown; ++i) {
        b->RunManualShootTick();
        b.Paint();
    }
    ASSERT_TRUE(b->WordCanvas1().Items[0].ShotDown);
    b.Ticks(370);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 0), 0);
    EXPECT_EQ(static_cast<int>(shown.size()), b->RowCount() - 1);
}

}  // namespace
