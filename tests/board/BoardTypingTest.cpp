// Keys, matching and scoring.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "BoardTestSupport.h"

namespace {

// A 600 x 400 board at tick 400: the first canvas's six words are all on
// view (row 0, the first word, at the bottom), the second canvas's none.
struct TypingBoard {
    RandomScript random;
    PanelledBoard b{600, 400};
    RecordingSpeaker speaker;

    explicit TypingBoard(const TWordInfos &words, int level = 1)
    {
        random->Fallback = 100;
        b->SetLevel(level);
        b->StartGame(words, &speaker);
        b.Ticks(400);
    }
    TTypeWordItem Item(size_t i) const { return b->WordCanvas1().Items.at(i); }
};

TWordInfos Spelled(std::initializer_list<const char *> spellings)
{
    TWordInfos words;
    for (const char *s : spellings)
        words.push_back(Word(s, "词"));
    return words;
}

TEST(BoardTyping, ShiftAndCapsLockChooseTheCase)
{
    EXPECT_EQ(TypedCharacter(65, TShiftState{false, false}), "a");
    EXPECT_EQ(TypedCharacter(65, TShiftState{true, false}), "A");
    EXPECT_EQ(TypedCharacter(65, TShiftState{false, true}), "A");
    EXPECT_EQ(TypedCharacter(65, TShiftState{true, true}), "a");
    EXPECT_EQ(TypedCharacter(90, TShiftState{}), "z");
    EXPECT_EQ(TypedCharacter(32, TShiftState{true, true}), " ");
    EXPECT_EQ(TypedCharacter(189, TShiftState{true, false}), "-");
    for (std::uint16_t ignored : {0, 31, 48, 64, 91, 97, 109, 188, 190})
        EXPECT_EQ(TypedCharacter(ignored, TShiftState{}), "") << ignored;
}

TEST(BoardTyping, QtKeysMapToTheBoardsCodes)
{
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_A, Qt::NoModifier), 65);
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_Space, Qt::NoModifier), 32);
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_Minus, Qt::NoModifier), 189);
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_Underscore, Qt::ShiftModifier), 189);
    EXPECT_EQ(KeyCodeFromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 0);
    for (int other : {Qt::Key_0, Qt::Key_9, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Shift,
                      Qt::Key_CapsLock, Qt::Key_Period, Qt::Key_Equal})
        EXPECT_EQ(KeyCodeFromQtKey(other, Qt::NoModifier), 0) << other;

    const auto stroke = [](Qt::Key key, Qt::KeyboardModifiers mods, const char *text) {
        const QKeyEvent e(QEvent::KeyRelease, key, mods, QString::fromLatin1(text));
        return KeyStrokeFromKeyEvent(e);
    };
    // Caps Lock, which Qt does not report, read from the letter's case.
    TKeyStroke s = stroke(Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(s.Key, 65);
    EXPECT_FALSE(s.Shift.Shift);
    EXPECT_FALSE(s.Shift.CapsLock);
    s = stroke(Qt::Key_A, Qt::NoModifier, "A");
    EXPECT_TRUE(s.Shift.CapsLock);
    s = stroke(Qt::Key_A, Qt::ShiftModifier, "A");
    EXPECT_TRUE(s.Shift.Shift);
    EXPECT_FALSE(s.Shift.CapsLock);
    s = stroke(Qt::Key_A, Qt::ShiftModifier, "a");
    EXPECT_TRUE(s.Shift.CapsLock);
    // Whatever the event says, the character follows the same rule.
    EXPECT_EQ(TypedCharacter(s.Key, s.Shift), "a");
    EXPECT_EQ(stroke(Qt::Key_Minus, Qt::KeypadModifier, "-").Key, 0);
}

TEST(BoardTyping, TheComparisonIsCaseSensitive)
{
    TypingBoard t(Spelled({"filler", "Monday"}));
    Type(t.b, "m");
    EXPECT_EQ(TypedCount(t.Item(1)), 0);
    Type(t.b, "Monda");
    EXPECT_EQ(TypedCount(t.Item(1)), 5);
    EXPECT_EQ(t.b->RightWordCount(), 0);
    Type(t.b, "y");
    EXPECT_EQ(t.b->RightWordCount(), 1);
    EXPECT_TRUE(t.Item(1).Typed);
}

TEST(BoardTyping, EveryVisibleWordAdvancesAndACompletionClearsTheOthers)
{
    TypingBoard t(Spelled({"filler", "cat", "card"}));
    int checks = 0;
    QObject::connect(t.b.Board, &TTypeGameType::typeCheckChange, [&checks] { ++checks; });
    Type(t.b, "ca");
    EXPECT_EQ(TypedCount(t.Item(1)), 2);
    EXPECT_EQ(TypedCount(t.Item(2)), 2);
    Type(t.b, "r");
    EXPECT_EQ(TypedCount(t.Item(1)), 2);
    EXPECT_EQ(TypedCount(t.Item(2)), 3);
    EXPECT_EQ(checks, 0);
    Type(t.b, "t");
    EXPECT_TRUE(t.Item(1).Typed);
    EXPECT_EQ(TypedCount(t.Item(1)), 3);
    EXPECT_EQ(TypedCount(t.Item(2)), 0);
    EXPECT_EQ(t.b->RightWordCount(), 1);
    EXPECT_EQ(t.b->Score(), 100);
    EXPECT_EQ(checks, 1);
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    EXPECT_EQ(t.b->Shoots()[0].TargetIndex, 1);
    EXPECT_EQ(t.b->Shoots()[0].CanvasId, 1);
}

TEST(BoardTyping, TheCompletingKeyStartsTheNextWord)
{
    TypingBoard t(Spelled({"filler", "cat", "tea"}));
    Type(t.b, "cat");
    EXPECT_TRUE(t.Item(1).Typed);
    EXPECT_EQ(TypedCount(t.Item(2)), 1);
    Type(t.b, "ea");
    EXPECT_TRUE(t.Item(2).Typed);
    EXPECT_EQ(t.b->RightWordCount(), 2);
}

// The key that completes a word is applied to every other box once: "bb"
// after it takes one letter from it, not two (and is not completed by it).
TEST(BoardTyping, TheCompletingKeyAdvancesTheOtherWordsOnce)
{
    TypingBoard t(Spelled({"filler", "ab", "bb", "bbc"}));
    Type(t.b, "ab");
    EXPECT_TRUE(t.Item(1).Typed);
    EXPECT_FALSE(t.Item(2).Typed);
    EXPECT_EQ(TypedCount(t.Item(2)), 1);
    EXPECT_EQ(TypedCount(t.Item(3)), 1);
    EXPECT_EQ(t.b->RightWordCount(), 1);
    EXPECT_EQ(t.b->Shoots().size(), 1u);
}

// The same across canvases: a word completed on the second canvas clears the
// first one's progress, and the completing key then starts its words.
TEST(BoardTyping, TheCompletingKeyStartsTheNextWordOnTheOtherCanvas)
{
    TypingBoard t(Spelled({"filler", "bz", "f2", "f3", "f4", "f5", "ab"}));
    bool shown = false;
    QObject::connect(t.b.Board, &TTypeGameType::wordShown, [&shown](int i) { shown |= i == 6; });
    for (int tick = 0; tick < 400 && !shown; ++tick)
        t.b.Ticks(1);
    ASSERT_TRUE(shown);
    ASSERT_EQ(t.b->WordCanvas2().Items.at(0).WordInfo.Spelling, "ab");
    Type(t.b, "ab");
    EXPECT_TRUE(t.b->WordCanvas2().Items.at(0).Typed);
    EXPECT_EQ(TypedCount(t.Item(1)), 1);
    EXPECT_EQ(t.b->RightWordCount(), 1);
}

TEST(BoardTyping, AWrongKeyKeepsTheProgress)
{
    TypingBoard t(Spelled({"filler", "cat"}));
    Type(t.b, "ca");
    Type(t.b, "xq-");
    EXPECT_EQ(TypedCount(t.Item(1)), 2);
    Type(t.b, "t");
    EXPECT_EQ(t.b->RightWordCount(), 1);
}

TEST(BoardTyping, SpaceAndHyphenTypeBlanksAndHyphens)
{
    TypingBoard t(Spelled({"filler", "ice-cream cone"}));
    Type(t.b, "ice-cream cone");
    EXPECT_TRUE(t.Item(1).Typed);
    EXPECT_EQ(t.b->RightWordCount(), 1);
}

TEST(BoardTyping, ThePendingKeyLivesUntilThePaint)
{
    TypingBoard t(Spelled({"filler", "cat"}));
    Type(t.b, "c", false);
    EXPECT_EQ(t.b->PendingKey(), "c");
    t.b.Paint();
    EXPECT_EQ(t.b->PendingKey(), "");
    // Neither an ignored key nor a redraw without a key changes progress.
    t.b->TypeKey(48, TShiftState{});  // "0"
    EXPECT_EQ(t.b->PendingKey(), "");
    t.b->RedrawWords();
    EXPECT_EQ(TypedCount(t.Item(1)), 1);
}

TEST(BoardTyping, AWordOutOfViewLosesItsLetters)
{
    TypingBoard t(Spelled({"cat", "dog", "emu", "fox", "gnu", "hen", "ibis"}));
    Type(t.b, "ca");
    EXPECT_EQ(TypedCount(t.Item(0)), 2);
    // cat's box (top 340) leaves the view once the shown part ends above it.
    t.b.Ticks(61);
    Type(t.b, "d");
    EXPECT_EQ(TypedCount(t.b->WordCanvas1().Items[0]), 0);
    EXPECT_EQ(TypedCount(t.b->WordCanvas1().Items[1]), 1);
}

TEST(BoardTyping, KeysWhilePausedCountButShotsWaitForContinue)
{
    TypingBoard t(Spelled({"filler", "cat"}));
    t.b->PauseGame();
    Type(t.b, "cat");
    EXPECT_EQ(t.b->RightWordCount(), 1);
    ASSERT_EQ(t.b->Shoots().size(), 1u);
    const int top = t.b->Shoots()[0].Top;
    EXPECT_FALSE(t.b->RunManualShootTick());
    t.b.Paint();
    EXPECT_EQ(t.b->Shoots()[0].Top, top);
    t.b->ContinueGame();
    EXPECT_TRUE(t.b->RunManualShootTick());
    EXPECT_EQ(t.b->Shoots()[0].Top, top - 5);
}

// Spellings that share no first letter with "z": x + two letters.
std::string Code(int i)
{
    return std::string("x") + static_cast<char>('a' + i / 26) + static_cast<char>('a' + i % 26);
}

// Types the first visible word that is still open; false when none is.
bool TypeAVisibleWord(PanelledBoard &b)
{
    for (const TWordCanvas *c : {&b->WordCanvas1(), &b->WordCanvas2()})
        for (const TTypeWordItem &item : c->Items)
            if (!item.Typed && !item.Missed && !item.ShotDown
                && RectCornerInRect(item.BoxRect, c->SrcRect)) {
                Type(b, item.WordInfo.Spelling);
                return true;
            }
    return false;
}

TEST(BoardTyping, ScoreIsLevelTimesHundredPerWordUntilThe21stError)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    TWordInfos words;
    for (int i = 0; i < 200; ++i)
        words.push_back(Word(Code(i), "词"));
    b->SetLevel(2);
    b->StartGame(words, nullptr);
    b.Ticks(400);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(TypeAVisibleWord(b));
    EXPECT_EQ(b->RightWordCount(), 3);
    EXPECT_EQ(b->Score(), 600);

    while (b->ErrorWordCount() < 20)
        b.Ticks(1);
    ASSERT_EQ(b->ErrorWordCount(), 20);
    ASSERT_TRUE(TypeAVisibleWord(b));
    EXPECT_EQ(b->Score(), 800);
    while (b->ErrorWordCount() < 21)
        b.Ticks(1);
    EXPECT_EQ(b->Score(), 800);
    ASSERT_TRUE(TypeAVisibleWord(b));
    EXPECT_EQ(b->RightWordCount(), 5);
    EXPECT_EQ(b->Score(), 800);

    // Restart resets the counts and so unfreezes the score.
    b->Restart();
    EXPECT_EQ(b->Score(), 0);
}

TEST(BoardTyping, ALevelOutsideOneToThreePricesTheScore)
{
    TypingBoard t(Spelled({"filler", "cat"}));
    t.b->SetLevel(4);
    Type(t.b, "cat");
    EXPECT_EQ(t.b->Score(), 400);
}

TEST(BoardTyping, AHugeLevelHoldsTheScoreAtTheLargest32BitValue)
{
    // Levels from an edited settings file: the product must not overflow.
    for (const int level : {2147483647, 21474837, -2147483647 - 1}) {
        SCOPED_TRACE(level);
        TypingBoard t(Spelled({"filler", "cat", "dog"}));
        t.b->SetLevel(level);
        Type(t.b, "cat");
        Type(t.b, "dog");
        EXPECT_EQ(t.b->RightWordCount(), 2);
        EXPECT_EQ(t.b->Score(), level > 0 ? 2147483647 : -2147483647 - 1);
    }
    // Just below the limit the price is still exact.
    TypingBoard t(Spelled({"filler", "cat"}));
    t.b->SetLevel(21474836);
    Type(t.b, "cat");
    EXPECT_EQ(t.b->Score(), 2147483600);
}

TEST(BoardTyping, AnEmptySpellingCountsRightAtItsFirstRedrawOnView)
{
    TypingBoard t(Spelled({"filler", ""}));
    EXPECT_EQ(t.b->RightWordCount(), 0);  // no redraw since it came into view
    Type(t.b, "q");
    EXPECT_EQ(t.b->RightWordCount(), 1);
    EXPECT_TRUE(t.Item(1).Typed);
    EXPECT_EQ(t.b->Shoots().size(), 1u);
}

TEST(BoardTyping, AnEmptySpellingNeverRedrawnOnViewIsAnError)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    int overs = 0;
    QObject::connect(b.Board, &TTypeGameType::gameOver, [&overs] { ++overs; });
    b->StartGame(Spelled({""}), nullptr);
    while (overs == 0 && b.Ticks(1) == 1) {
    }
    EXPECT_EQ(b->ErrorWordCount(), 1);
    EXPECT_EQ(b->RightWordCount(), 0);
}

}  // namespace

namespace {

TEST(BoardTyping, ASlipIsAKeyNoWordOnViewTakesHeldAgainstTheLongestPrefix)
{
    TypingBoard t(Spelled({"filler", "cat", "card"}));
    std::vector<TWordSlip> slips;
    QObject::connect(t.b.Board, &TTypeGameType::wordSlip,
                     [&slips](const TWordSlip &s) { slips.push_back(s); });

    Type(t.b, "q");  // nothing typed anywhere: a slip held against no word
    ASSERT_EQ(slips.size(), 1u);
    EXPECT_EQ(slips[0].WordIndex, -1);
    EXPECT_EQ(slips[0].Typed, 'q');

    Type(t.b, "car");  // "r" advances card: no slip for cat
    EXPECT_EQ(slips.size(), 1u);
    Type(t.b, "x");
    ASSERT_EQ(slips.size(), 2u);
    EXPECT_EQ(slips[1].WordIndex, 2);
    EXPECT_EQ(slips[1].Position, 3);
    EXPECT_EQ(slips[1].Expected, 'd');
    EXPECT_EQ(slips[1].Typed, 'x');

    Type(t.b, "d");  // completes card; then "t" is no letter any word on view waits for
    EXPECT_EQ(slips.size(), 2u);
    Type(t.b, "T");
    ASSERT_EQ(slips.size(), 3u);
    EXPECT_EQ(slips[2].WordIndex, -1);
    // Keys the board ignores are no slips.
    t.b->TypeKey(48, TShiftState{});
    EXPECT_EQ(slips.size(), 3u);
}

TEST(BoardTyping, AKeyOnlyAWordOutOfViewWaitsForIsASlip)
{
    RandomScript random;
    random->Fallback = 100;
    PanelledBoard b(600, 400);
    std::vector<TWordSlip> slips;
    QObject::connect(b.Board, &TTypeGameType::wordSlip,
                     [&slips](const TWordSlip &s) { slips.push_back(s); });
    b->StartGame(Spelled({"ant", "bee", "cow", "dog", "eel", "fox", "gnu"}), nullptr);
    b.Ticks(61);  // the lowest row only: ant
    Type(b, "a");
    Type(b, "b");  // bee is still above the board
    ASSERT_EQ(slips.size(), 1u);
    EXPECT_EQ(slips[0].WordIndex, 0);
    EXPECT_EQ(slips[0].Position, 1);
    EXPECT_EQ(slips[0].Expected, 'n');
    EXPECT_EQ(slips[0].Typed, 'b');
}

}  // namespace

namespace {

TEST(BoardTyping, EveryKeyThatAdvancesAWordIsToldWithItsTypedLength)
{
    TypingBoard t(Spelled({"filler", "cat", "card"}));
    std::vector<std::pair<int, int>> keyed;
    QObject::connect(t.b.Board, &TTypeGameType::wordKeyed,
                     [&keyed](int word, int typed) { keyed.emplace_back(word, typed); });

    Type(t.b, "ca");  // both words that begin so advance on each key
    EXPECT_EQ(keyed, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    keyed.clear();
    Type(t.b, "q");  // a slip advances nothing
    EXPECT_TRUE(keyed.empty());
    Type(t.b, "t");  // completes cat; card loses its progress and starts over
    EXPECT_EQ(keyed, (std::vector<std::pair<int, int>>{{1, 3}}));
    keyed.clear();
    Type(t.b, "c");
    EXPECT_EQ(keyed, (std::vector<std::pair<int, int>>{{2, 1}}));
}

}  // namespace
