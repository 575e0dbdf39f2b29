// Shots: launch, flight, hits, speech, and shots whose target is refilled.
#include <algorithm>

#include <gtest/gtest.h>

#include <QtCore/qtestsupport_core.h>

#include "BoardTestSupport.h"

namespace {

// Six words on view on the first canvas of a 600 x 400 board, the first at
// the bottom (box bottom 395) and the sixth at the top (box bottom 95).
struct ShotBoard {
    RandomScript random;
    PanelledBoard b{600, 400};
    RecordingSpeaker speaker;

    explicit ShotBoard(std::initializer_list<const char *> spellings)
    {
        random->Fallback = 100;
        TWordInfos words;
        for (const char *s : spellings)
            words.push_back(Word(s, "词"));
        b->StartGame(words, &speaker);
        b.Ticks(400);
    }
    const TTypeWordItem &Item(size_t i) const { return b->WordCanvas1().Items.at(i); }
};

TEST(BoardShots, AShotStartsAtTheBottomCentredUnderItsWord)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox"});
    Type(t.b, "fox", false);
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    const TShoot s = t.b->Shoots()[0];
    EXPECT_EQ(s.Left, 100 + 85);
    EXPECT_EQ(s.Right, 100 + 95);
    EXPECT_EQ(s.Top, 400 - 15);
    EXPECT_EQ(s.Bottom, 400);
    EXPECT_EQ(s.TargetIndex, 5);
    EXPECT_EQ(s.CanvasId, 1);
    EXPECT_TRUE(t.b->RunManualShootTick());
    EXPECT_EQ(t.b->Shoots()[0].Top, 380);
    EXPECT_EQ(t.b->Shoots()[0].Bottom, 395);
}

TEST(BoardShots, AWordNearTheBottomIsHitAtTheNextPaint)
{
    ShotBoard t({"ant", "bee"});
    Type(t.b, "ant", false);
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    EXPECT_FALSE(t.Item(0).ShotDown);
    const QImage frame = t.b.Paint();
    EXPECT_TRUE(t.Item(0).ShotDown);
    EXPECT_TRUE(t.b->Shoots().empty());
    EXPECT_EQ(t.speaker.Spoken, std::vector<std::string>({"ant"}));
    // The arrow was drawn in that paint, over the word.
    EXPECT_NE(frame.pixelColor(100 + 89, 392), frame.pixelColor(100 + 80, 392));
    // Gone from its canvas: the box shows only the background now.
    const QImage &bitmap = t.b->WordCanvas1().Bitmap;
    for (int y = 340; y < 395; ++y)
        for (int x = 100; x < 280; ++x)
            ASSERT_EQ(bitmap.pixelColor(x, y), QColor(72, 105, 176)) << x << "," << y;
}

TEST(BoardShots, AShotFliesFiveAPixelsATickUntilItReachesItsWord)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox"});
    Type(t.b, "fox");
    // Box bottom 95 on the board; the shot's top starts at 385 and hits once
    // it is within 5 pixels: after 57 ticks (top 100).
    for (int i = 0; i < 56; ++i)
        t.b->ShootTimerTick();
    t.b.Paint();
    EXPECT_FALSE(t.Item(5).ShotDown);
    EXPECT_EQ(t.b->Shoots().size(), 1u);
    t.b->ShootTimerTick();
    t.b.Paint();
    EXPECT_TRUE(t.Item(5).ShotDown);
    EXPECT_TRUE(t.b->Shoots().empty());
    EXPECT_EQ(t.speaker.Spoken, std::vector<std::string>({"fox"}));
}

TEST(BoardShots, AHitWordIsNoLongerMatched)
{
    ShotBoard t({"ant", "bee"});
    Type(t.b, "ant");
    ASSERT_TRUE(t.Item(0).ShotDown);
    Type(t.b, "ant");
    EXPECT_EQ(TypedCount(t.Item(0)), 3);  // as it was when it was hit
    EXPECT_EQ(t.b->RightWordCount(), 1);
    EXPECT_TRUE(t.b->Shoots().empty());
}

TEST(BoardShots, HitsAreSilentWithSpeechOffOrWithoutASpeaker)
{
    {
        ShotBoard t({"ant", "bee"});
        t.b->SetSpeechEnable(false);
        EXPECT_FALSE(t.b->SpeechEnable());
        Type(t.b, "ant");
        EXPECT_TRUE(t.Item(0).ShotDown);
        EXPECT_TRUE(t.speaker.Spoken.empty());
    }
    {
        RandomScript random;
        PanelledBoard b(600, 400);
        b->StartGame({Word("ant")}, nullptr);
        b.Ticks(400);
        Type(b, "ant");
        EXPECT_TRUE(b->WordCanvas1().Items[0].ShotDown);
    }
}

TEST(BoardShots, AFailingSpeakerDoesNotReachTheGame)
{
    ShotBoard t({"ant", "bee"});
    t.speaker.Throw = true;
    EXPECT_NO_THROW(Type(t.b, "ant"));
    EXPECT_TRUE(t.Item(0).ShotDown);
    EXPECT_EQ(t.speaker.Spoken.size(), 1u);
}

TEST(BoardShots, ARefillDropsTheShotsAimedAtTheOldWords)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox", "g1", "h1", "i1", "j1", "k1", "l1", "m1",
                 "n1", "o1", "p1", "q1", "r1"});
    Type(t.b, "fox");
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    ASSERT_EQ(t.b->Shoots()[0].CanvasId, 1);
    // No paint (a minimised window): the motion goes on and the first canvas
    // is refilled with new words while the shot is still in flight.
    t.b.Ticks(399);
    ASSERT_EQ(t.b->WordCanvas1().Items.front().WordInfo.Spelling, "m1");
    EXPECT_TRUE(t.b->Shoots().empty());
    for (int i = 0; i < 100; ++i)
        t.b->ShootTimerTick();
    t.b.Paint();
    EXPECT_TRUE(t.speaker.Spoken.empty());
    for (const TTypeWordItem &item : t.b->WordCanvas1().Items)
        EXPECT_FALSE(item.ShotDown) << item.WordInfo.Spelling;
    EXPECT_EQ(t.b->RightWordCount(), 1);
}

TEST(BoardShots, OnlyTheRefilledCanvasLosesItsShots)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox", "g1", "h1", "i1", "j1", "k1", "owl"});
    // No paints: both shots stay in flight.
    Type(t.b, "fox", false);
    t.b.Ticks(304);  // the second canvas's top row (owl) comes on view
    Type(t.b, "owl", false);
    ASSERT_EQ(t.b->Shoots().size(), 2u);
    EXPECT_EQ(t.b->Shoots()[1].CanvasId, 2);
    t.b.Ticks(95);  // tick 799: the first canvas is refilled (no words left)
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    EXPECT_EQ(t.b->Shoots()[0].CanvasId, 2);
}

TEST(BoardShots, RestartResizeAndGameOverDropAllShots)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox"});
    Type(t.b, "fox");
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    t.b->Restart();
    EXPECT_TRUE(t.b->Shoots().empty());
    t.b.Ticks(400);
    Type(t.b, "fox");
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    t.b->ResizeBoard();
    EXPECT_TRUE(t.b->Shoots().empty());
}

// ---- the last words of a game --------------------------------------------

// Every word of the list typed on a board of six words, no paint yet: each
// has an arrow in flight.
struct AllTypedBoard : ShotBoard {
    int Overs = 0;
    AllTypedBoard() : ShotBoard({"ant", "bee", "cat", "dog", "elk", "fox"})
    {
        QObject::connect(b.Board, &TTypeGameType::gameOver, [this] { ++Overs; });
        Type(b, "antbeecatdogelkfox", false);
    }
    std::vector<std::string> SpokenSorted() const
    {
        std::vector<std::string> spoken = speaker.Spoken;
        std::sort(spoken.begin(), spoken.end());
        return spoken;
    }
};

const std::vector<std::string> kAllSix{"ant", "bee", "cat", "dog", "elk", "fox"};

TEST(BoardShots, TheGameEndsOnlyOnceTheLastArrowsHaveHitAndSpokenTheirWords)
{
    AllTypedBoard t;
    ASSERT_EQ(t.b->RightWordCount(), 6);
    ASSERT_EQ(t.b->Shoots().size(), 6u);

    // Every word is counted, but the arrows fly on and the words move on.
    const int top = t.b->WordCanvas1().Top;
    EXPECT_EQ(t.b.Ticks(1), 1);
    EXPECT_EQ(t.Overs, 0);
    EXPECT_EQ(t.b->WordCanvas1().Top, top + 1);
    EXPECT_TRUE(t.b->IsPlaying());

    int shootTicks = 0;
    while (!t.b->Shoots().empty() && shootTicks < 200) {
        ASSERT_TRUE(t.b->RunManualShootTick());
        t.b.Paint();
        ++shootTicks;
        if (shootTicks % 3 == 0 && !t.b->Shoots().empty())
            t.b.Ticks(1);
        ASSERT_EQ(t.Overs, 0) << "the game ended with arrows in flight";
    }
    EXPECT_TRUE(t.b->Shoots().empty());
    EXPECT_EQ(t.SpokenSorted(), kAllSix);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_TRUE(t.Item(i).ShotDown) << i;

    // The next tick ends the game, as it would have with nothing in flight.
    EXPECT_EQ(t.b.Ticks(1), 1);
    EXPECT_EQ(t.Overs, 1);
    EXPECT_TRUE(t.b->WordCanvas1().Items.empty());
    EXPECT_FALSE(t.b->IsPlaying());
    EXPECT_EQ(t.speaker.Spoken.size(), 6u);
}

TEST(BoardShots, WhilePausedTheLastArrowsStandStillAndTheGameOverWaits)
{
    AllTypedBoard t;
    t.b->PauseGame();
    const std::vector<TShoot> before(t.b->Shoots().begin(), t.b->Shoots().end());
    EXPECT_EQ(t.b.Ticks(10), 0);
    EXPECT_FALSE(t.b->RunManualShootTick());
    t.b.Paint();  // a paint while paused hits only what is already there
    EXPECT_EQ(t.Overs, 0);
    ASSERT_FALSE(t.b->Shoots().empty());
    EXPECT_EQ(t.b->Shoots().back().Top, before.back().Top);

    t.b->ContinueGame();
    for (int i = 0; i < 200 && !t.b->Shoots().empty(); ++i) {
        ASSERT_TRUE(t.b->RunManualShootTick());
        t.b.Paint();
    }
    EXPECT_EQ(t.Overs, 0);
    t.b.Ticks(1);
    EXPECT_EQ(t.Overs, 1);
    EXPECT_EQ(t.SpokenSorted(), kAllSix);
}

TEST(BoardShots, ABoardThatIsNeverPaintedStillHitsItsLastWordsAndEnds)
{
    // A hidden window paints nothing: the arrows fly past the top unchecked.
    AllTypedBoard t;
    for (int i = 0; i < 400 && t.Overs == 0; ++i) {
        t.b->RunManualShootTick();
        t.b.Ticks(1);
    }
    EXPECT_EQ(t.Overs, 1);
    EXPECT_EQ(t.SpokenSorted(), kAllSix);
}

TEST(BoardShots, AMissedLastWordEndsTheGameAtTheNextTickWithoutWaiting)
{
    ShotBoard t({"ant", "bee"});
    int overs = 0;
    QObject::connect(t.b.Board, &TTypeGameType::gameOver, [&overs] { ++overs; });
    Type(t.b, "ant");
    t.b.Paint();  // ant, at the bottom, is hit and spoken at once
    ASSERT_TRUE(t.b->Shoots().empty());
    while (t.b->ErrorWordCount() == 0)
        ASSERT_EQ(t.b.Ticks(1), 1);
    EXPECT_EQ(overs, 0);
    t.b.Ticks(1);
    EXPECT_EQ(overs, 1);
    EXPECT_EQ(t.speaker.Spoken, std::vector<std::string>({"ant"}));
}

TEST(BoardShots, ShotsAreDrawnWithTheirBackgroundTransparent)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox"});
    Type(t.b, "fox");
    t.b->ShootTimerTick();
    const QImage frame = t.b.Paint();
    const QImage &arrow = t.b->Arrow();
    const TShoot s = t.b->Shoots().at(0);
    int drawn = 0;
    for (int y = 0; y < arrow.height(); ++y)
        for (int x = 0; x < arrow.width(); ++x) {
            const QColor on = frame.pixelColor(s.Left + x, s.Top + y);
            if (qAlpha(arrow.pixel(x, y)) == 255) {
                EXPECT_EQ(on, arrow.pixelColor(x, y));
                ++drawn;
            } else {
                // What the canvas shows there.
                EXPECT_EQ(on, t.b->WordCanvas1().Bitmap.pixelColor(s.Left + x, s.Top + y));
            }
        }
    EXPECT_GT(drawn, 30);
}

TEST(BoardShots, TheShotTimerRunsOnlyWhileAnArrowFlies)
{
    ShotBoard t({"a1", "b1", "c1", "d1", "e1", "fox"});
    EXPECT_TRUE(t.b->IsShootTimerActive());
    EXPECT_FALSE(t.b->IsShootTimerRunning());
    Type(t.b, "fox", false);
    EXPECT_TRUE(t.b->IsShootTimerRunning());
    t.b->PauseGame();
    EXPECT_FALSE(t.b->IsShootTimerRunning());
    t.b->ContinueGame();
    EXPECT_TRUE(t.b->IsShootTimerRunning());

    // Each shot-timer tick repaints the arrows' old and new places only.
    QImage before = t.b.Paint();
    for (int i = 0; i < 200 && !t.b->Shoots().empty(); ++i) {
        ASSERT_TRUE(t.b->RunManualShootTick());
        const QRegion region = t.b->ShootsRegion();
        const size_t flying = t.b->Shoots().size();
        const QImage after = t.b.Paint();
        if (t.b->Shoots().size() == flying) {  // a hit redraws the canvases
            ASSERT_EQ(RepaintedIn(before, after, region), after) << "tick " << i;
        }
        before = after;
    }
    ASSERT_TRUE(t.b->Shoots().empty());
    EXPECT_FALSE(t.b->IsShootTimerRunning());
    EXPECT_TRUE(t.b->IsShootTimerActive());
}

TEST(BoardShots, ARunningBoardStartsItsTimerWithAnArrowAndStopsItAfterTheHit)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400, TTickSource::PlayThread);
    RecordingSpeaker speaker;
    b->SetLevelInterval1(20);
    b->StartGame({Word("fox", "词"), Word("owl", "词")}, &speaker);
    EXPECT_TRUE(b->IsShootTimerActive());
    EXPECT_FALSE(b->IsShootTimerRunning());
    // "owl" (the second row) wholly on view.
    ASSERT_TRUE(QTest::qWaitFor([&b] { return b->WordCanvas1().Scrolled >= 130; }, 20000));
    Type(b, "owl", false);
    ASSERT_EQ(b->Shoots().size(), 1U);
    EXPECT_TRUE(b->IsShootTimerRunning());
    ASSERT_TRUE(QTest::qWaitFor(
        [&b] {
            b.Paint();
            return b->Shoots().empty();
        },
        20000));
    EXPECT_FALSE(b->IsShootTimerRunning());
    EXPECT_EQ(speaker.Spoken, std::vector<std::string>({"owl"}));
    b->PauseGame();
}

}  // namespace
