// Events about single words (hit, past the middle) and the lowest untyped
// word, which dictation and the last-word line build on.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "BoardTestSupport.h"

namespace {

using Events = std::vector<std::pair<int, int>>;  // canvas, index

TEST(BoardWordEvents, AnUntypedWordPassesTheMiddleOnceWhenItsCentreReachesIt)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    std::vector<int> ticks;
    Events events;
    int tick = 0;
    QObject::connect(b.Board, &TTypeGameType::wordPastMiddle, [&](int wordIndex) {
        int canvasId = 0;
        int index = -1;
        EXPECT_TRUE(BoxOfWord(*b.Board, wordIndex, canvasId, index));
        events.emplace_back(canvasId, index);
        ticks.push_back(tick);
    });
    b->StartGame({Word("apple"), Word("pear")}, nullptr);
    // Row 0 of the canvas (box rows 340..394) enters first: after k ticks its
    // box covers board rows k-60 .. k-6, whose centre row 200 comes at k 233.
    // Row 1 lies 60 rows higher.
    for (tick = 1; tick <= 380; ++tick)
        ASSERT_EQ(b.Ticks(1), 1);
    EXPECT_EQ(events, Events({{1, 0}, {1, 1}}));
    EXPECT_EQ(ticks, std::vector<int>({233, 293}));
}

TEST(BoardWordEvents, ATypedWordNeverPassesTheMiddle)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    Events events;
    QObject::connect(b.Board, &TTypeGameType::wordPastMiddle, [&](int wordIndex) {
        int canvasId = 0;
        int index = -1;
        EXPECT_TRUE(BoxOfWord(*b.Board, wordIndex, canvasId, index));
        events.emplace_back(canvasId, index);
    });
    b->StartGame({Word("apple"), Word("pear")}, nullptr);
    b.Ticks(100);
    Type(b, "apple");
    b.Ticks(300);
    EXPECT_EQ(events, Events({{1, 1}}));
}

TEST(BoardWordEvents, AHitIsToldWithItsWordEvenWhenSpeechIsOff)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    RecordingSpeaker speaker;
    std::vector<std::string> hit;
    QObject::connect(b.Board, &TTypeGameType::wordHit, [&](int wordIndex) {
        ASSERT_NE(b->WordAt(wordIndex), nullptr);
        hit.push_back(b->WordAt(wordIndex)->Spelling);
    });
    b->StartGame({Word("ant"), Word("bee")}, &speaker);
    b.Ticks(400);
    Type(b, "ant");
    b->SetSpeechEnable(false);
    Type(b, "bee");
    EXPECT_EQ(hit, std::vector<std::string>({"ant"}));  // its arrow is on its way
    for (int i = 0; i < 100 && !b->Shoots().empty(); ++i) {
        b->ShootTimerTick();
        b.Paint();
    }
    EXPECT_EQ(hit, std::vector<std::string>({"ant", "bee"}));
    EXPECT_EQ(speaker.Spoken, std::vector<std::string>({"ant"}));
}

// Each word counted is told once, by its place in the list, before the new
// counts are told; the boxes a restart drops are not counted.
TEST(BoardWordEvents, EachCountedWordIsToldOnceWithItsPlaceBeforeTheCountsAreTold)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    std::vector<std::pair<int, bool>> counted;
    std::vector<std::string> log;
    QObject::connect(b.Board, &TTypeGameType::wordCounted, [&](int wordIndex, bool right) {
        counted.emplace_back(wordIndex, right);
        log.push_back("counted " + std::to_string(b->RightWordCount() + b->ErrorWordCount()));
    });
    QObject::connect(b.Board, &TTypeGameType::typeCheckChange, [&] {
        log.push_back("check " + std::to_string(b->RightWordCount() + b->ErrorWordCount()));
    });
    bool over = false;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&over] { over = true; });
    b->StartGame({Word("pear"), Word("apple"), Word("fig")}, nullptr);
    b.Ticks(150);
    Type(b, "pear");
    for (int i = 0; i < 3000 && !over; ++i) {
        b.Ticks(1);
        b->ShootTimerTick();
        b.Paint();
    }
    ASSERT_TRUE(over);
    EXPECT_EQ(counted, (std::vector<std::pair<int, bool>>{{0, true}, {1, false}, {2, false}}));
    EXPECT_EQ(log, (std::vector<std::string>{"counted 1", "check 1", "counted 2", "check 2",
                                             "counted 3", "check 3"}));

    // Started again with words on view: those boxes go uncounted.
    b->Restart();
    b.Ticks(150);
    ASSERT_FALSE(b->WordCanvas1().Items.empty());
    counted.clear();
    b->Restart();
    EXPECT_TRUE(counted.empty());
}

TEST(BoardWordEvents, TheLowestUntypedWordOnView)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    int canvasId = 0;
    int index = -1;
    b->StartGame({Word("ant"), Word("bee"), Word("cat")}, nullptr);
    EXPECT_FALSE(b->LowestUntypedWord(canvasId, index));  // nothing on view yet
    b.Ticks(100);                                         // two rows on view, the first lowest
    ASSERT_TRUE(b->LowestUntypedWord(canvasId, index));
    EXPECT_EQ(std::make_pair(canvasId, index), std::make_pair(1, 0));
    b.Ticks(300);
    Type(b, "ant");
    ASSERT_TRUE(b->LowestUntypedWord(canvasId, index));
    EXPECT_EQ(std::make_pair(canvasId, index), std::make_pair(1, 1));
    Type(b, "bee");
    Type(b, "cat");
    EXPECT_FALSE(b->LowestUntypedWord(canvasId, index));
}

}  // namespace
