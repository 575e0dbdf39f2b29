// Events about single words (hit, past the middle) and the lowest untyped
// word, which dictation and the last-word line build on.
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
    b->SetOnWordPastMiddle([&](TTypeGameType *sender, int canvasId, int index) {
        EXPECT_EQ(sender, b.Board);
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
    b->SetOnWordPastMiddle(
        [&](TTypeGameType *, int canvasId, int index) { events.emplace_back(canvasId, index); });
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
    b->SetOnWordHit([&](TTypeGameType *sender, int canvasId, int index) {
        const TWordCanvas &c = canvasId == 1 ? sender->WordCanvas1() : sender->WordCanvas2();
        hit.push_back(c.Items.at(static_cast<size_t>(index)).WordInfo.Spelling);
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
