// Boxes that accept more than one spelling: the matching of one box, and the
// board's boxes given their answers by the game's owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "BoardTestSupport.h"
#include "BoxAnswers.h"

namespace {

TTypeWordItem BoxOf(const std::string &spelling, std::vector<std::string> answers = {})
{
    TTypeWordItem item;
    item.WordInfo.Spelling = spelling;
    SetBoxAnswers(item, std::move(answers));
    return item;
}

// Types Text into a fresh box as the board does, key by key; the answer it
// completes, or nullopt. Keys after a completion go nowhere.
std::optional<std::string> Completes(TTypeWordItem item, std::string_view text)
{
    for (char ch : text) {
        AdvanceBox(item, ch);
        if (BoxComplete(item))
            return BoxFollowedAnswer(item);
    }
    return BoxComplete(item) ? std::optional<std::string>(BoxFollowedAnswer(item)) : std::nullopt;
}

bool IsSubsequence(const std::string &part, const std::string &whole)
{
    size_t j = 0;
    for (size_t i = 0; i < whole.size() && j < part.size(); ++i)
        if (whole[i] == part[j])
            ++j;
    return j == part.size();
}

// Every substitution (by a letter, a space or a hyphen), deletion and
// transposition of adjacent letters of Word.
std::set<std::string> Variants(const std::string &word)
{
    std::set<std::string> out;
    const std::string keys = "abcdefghijklmnopqrstuvwxyz -";
    for (size_t i = 0; i < word.size(); ++i) {
        for (char k : keys) {
            std::string s = word;
            s[i] = k;
            out.insert(s);
        }
        out.insert(word.substr(0, i) + word.substr(i + 1));
        if (i + 1 < word.size()) {
            std::string s = word;
            std::swap(s[i], s[i + 1]);
            out.insert(s);
        }
    }
    return out;
}

// Asserts that Answers complete as themselves and that no variant of them
// completes, except where an answer survives in it letter by letter: a wrong
// key changes nothing, so typing "coloxr" is typing "color".
void ExpectExactly(const std::vector<std::string> &answers)
{
    const TTypeWordItem box = BoxOf(answers.front(), answers);
    // Each answer completes the box: as itself, or as an answer it begins with.
    for (const std::string &a : answers) {
        const std::optional<std::string> done = Completes(box, a);
        ASSERT_TRUE(done.has_value()) << a;
        EXPECT_EQ(a.substr(0, done->size()), *done);
        EXPECT_NE(std::find(answers.begin(), answers.end(), *done), answers.end());
    }
    for (const std::string &a : answers) {
        for (const std::string &v : Variants(a)) {
            bool holdsAnAnswer = false;
            for (const std::string &other : answers)
                holdsAnAnswer = holdsAnAnswer || IsSubsequence(other, v);
            if (!holdsAnAnswer) {
                EXPECT_EQ(Completes(box, v), std::nullopt) << a << " -> \"" << v << '"';
            }
        }
    }
}

TEST(BoardAnswers, ABoxAcceptsExactlyItsSpellingAndItsPair)
{
    ExpectExactly({"colour", "color"});
    ExpectExactly({"centre", "center"});
    ExpectExactly({"analyse", "analyze"});
    ExpectExactly({"travelled", "traveled"});
    ExpectExactly({"catalogue", "catalog"});
    ExpectExactly({"oestrogen", "estrogen"});
    // "centrr" mixes the two where they part: neither is in it.
    const TTypeWordItem centre = BoxOf("centre", {"centre", "center"});
    EXPECT_EQ(Completes(centre, "centrr"), std::nullopt);
    EXPECT_EQ(Completes(centre, "centee"), std::nullopt);
    // A spelling that begins the other completes as soon as it is typed.
    EXPECT_EQ(Completes(BoxOf("catalogue", {"catalogue", "catalog"}), "catalogue"), "catalog");
    // The deletion that is the other spelling completes as that one.
    EXPECT_EQ(Completes(BoxOf("colour", {"colour", "color"}), "color"), "color");
}

TEST(BoardAnswers, WithoutAnswersABoxAcceptsItsSpellingOnly)
{
    const TTypeWordItem box = BoxOf("colour");
    EXPECT_EQ(BoxAnswerCount(box), 1u);
    EXPECT_EQ(Completes(box, "colour"), "colour");
    EXPECT_EQ(Completes(box, "color"), std::nullopt);
    ExpectExactly({"colour"});
    // Answers that leave the word's own spelling out accept only themselves.
    const TTypeWordItem inflected = BoxOf("run", {"running"});
    EXPECT_EQ(Completes(inflected, "run"), std::nullopt);
    EXPECT_EQ(Completes(inflected, "running"), "running");
}

TEST(BoardAnswers, TheBoxFollowsItsFirstAnswerUntilTheyPart)
{
    TTypeWordItem box = BoxOf("colour", {"colour", "color"});
    for (char ch : std::string("colo"))
        ASSERT_TRUE(AdvanceBox(box, ch));
    EXPECT_EQ(BoxFollowedAnswer(box), "colour");
    EXPECT_EQ(BoxTypedLength(box), 4u);
    EXPECT_TRUE(BoxAwaits(box, 'u'));
    EXPECT_TRUE(BoxAwaits(box, 'r'));
    EXPECT_FALSE(BoxAwaits(box, 'x'));
    EXPECT_FALSE(AdvanceBox(box, 'x'));  // a wrong key changes nothing
    EXPECT_EQ(BoxTypedLength(box), 4u);
    ASSERT_TRUE(AdvanceBox(box, 'r'));
    EXPECT_EQ(BoxFollowedAnswer(box), "color");
    EXPECT_EQ(box.TypedFlags, (TIntAry{1, 1, 1, 1, 1}));
    EXPECT_TRUE(BoxComplete(box));
    EXPECT_FALSE(BoxAwaits(box, 'r'));
    ClearBoxTyping(box);
    EXPECT_EQ(BoxFollowedAnswer(box), "colour");
    EXPECT_EQ(box.TypedFlags, (TIntAry{0, 0, 0, 0, 0, 0}));
}

// A 600 x 400 board at tick 400 whose first canvas's boxes are all on view;
// "colour" (word 1) also accepts "color" when Answers says so.
struct PairBoard {
    RandomScript random;
    PanelledBoard b{600, 400};
    std::vector<std::pair<int, std::string>> typedAs;
    std::vector<int> counted;

    explicit PairBoard(bool withPair, const char *spelling = "colour")
    {
        random->Fallback = 100;
        if (withPair)
            b->SetAcceptedAnswers([](int wordIndex) {
                return wordIndex == 1 ? std::vector<std::string>{"colour", "color"}
                                      : std::vector<std::string>{};
            });
        QObject::connect(b.Board, &TTypeGameType::wordTypedAs,
                         [this](int i, const std::string &a) { typedAs.emplace_back(i, a); });
        QObject::connect(b.Board, &TTypeGameType::wordCounted, [this](int i, bool right) {
            if (right)
                counted.push_back(i);
        });
        b->StartGame({Word("filler", "词"), Word(spelling, "颜色"), Word("cold", "冷")}, nullptr);
        b.Ticks(400);
    }
    const TTypeWordItem &Item(size_t i) const { return b->WordCanvas1().Items.at(i); }
};

TEST(BoardAnswers, EitherSpellingShootsTheBoxAndTheBoardSaysWhich)
{
    for (const char *typed : {"colour", "color"}) {
        SCOPED_TRACE(typed);
        PairBoard t(true);
        Type(t.b, typed);
        EXPECT_TRUE(t.Item(1).Typed);
        EXPECT_EQ(t.b->RightWordCount(), 1);
        ASSERT_EQ(t.b->Shoots().size(), 1u);
        EXPECT_EQ(t.b->Shoots()[0].TargetIndex, 1);
        ASSERT_EQ(t.typedAs.size(), 1u);
        EXPECT_EQ(t.typedAs[0], std::make_pair(1, std::string(typed)));
        EXPECT_EQ(t.counted, std::vector<int>{1});
        // cold was typed as far as the two agree, and cleared by the completion.
        EXPECT_EQ(TypedCount(t.Item(2)), 0);
        EXPECT_EQ(t.Item(2).WordInfo.Spelling, "cold");
    }
    // Without the pair the board is as it was.
    PairBoard plain(false);
    Type(plain.b, "color");
    EXPECT_EQ(plain.b->RightWordCount(), 0);
    EXPECT_EQ(TypedCount(plain.Item(1)), 4);
    Type(plain.b, "ur");
    EXPECT_EQ(plain.b->RightWordCount(), 1);
    ASSERT_EQ(plain.typedAs.size(), 1u);
    EXPECT_EQ(plain.typedAs[0].second, "colour");
}

TEST(BoardAnswers, TheBoxDrawsTheSpellingBeingFollowed)
{
    // Same random places, same meanings: a box following "color" looks
    // exactly like a box of the word "color", and one following "colour"
    // like the plain "colour".
    PairBoard pairColo(true);
    PairBoard plainColo(false);
    Type(pairColo.b, "colo");
    Type(plainColo.b, "colo");
    EXPECT_EQ(pairColo.b->WordCanvas1().Bitmap, plainColo.b->WordCanvas1().Bitmap);

    PairBoard pairColor(true);
    PairBoard plainColor(false, "color");
    Type(pairColor.b, "color");
    Type(plainColor.b, "color");
    ASSERT_TRUE(pairColor.Item(1).Typed);
    ASSERT_TRUE(plainColor.Item(1).Typed);
    EXPECT_EQ(pairColor.b->WordCanvas1().Bitmap, plainColor.b->WordCanvas1().Bitmap);
    EXPECT_NE(pairColor.b->WordCanvas1().Bitmap, pairColo.b->WordCanvas1().Bitmap);
}

TEST(BoardAnswers, AKeyThePairAwaitsIsNoSlip)
{
    PairBoard t(true);
    std::vector<TWordSlip> slips;
    QObject::connect(t.b.Board, &TTypeGameType::wordSlip,
                     [&slips](const TWordSlip &s) { slips.push_back(s); });
    Type(t.b, "colo");
    Type(t.b, "r");  // only "color" has r next
    EXPECT_TRUE(slips.empty());
    EXPECT_EQ(t.b->RightWordCount(), 1);
}

TEST(BoardAnswers, AnswersGivenDuringAGameReachTheBoxesOnView)
{
    PairBoard t(false);
    Type(t.b, "col");
    t.b->SetAcceptedAnswers([](int wordIndex) {
        return wordIndex == 1 ? std::vector<std::string>{"colour", "color"}
                              : std::vector<std::string>{};
    });
    EXPECT_EQ(TypedCount(t.Item(1)), 0);  // the boxes start again
    Type(t.b, "color");
    EXPECT_EQ(t.b->RightWordCount(), 1);
    t.b->SetAcceptedAnswers(nullptr);
    EXPECT_TRUE(t.Item(1).Typed);  // a completed box keeps what it was typed as
    EXPECT_EQ(BoxAnswerCount(t.Item(2)), 1u);
}

}  // namespace

// A board of three words whose middle one is spelt as given; blanked: its box
// shows a blank for the untyped letters.
struct BlankBoard {
    RandomScript random;
    PanelledBoard b{600, 400};

    BlankBoard(const char *spelling, bool blanked, bool dictation = false)
    {
        random->Fallback = 100;
        b->SetDictation(dictation);
        if (blanked)
            b->SetBlankedBoxes([](int wordIndex) { return wordIndex == 1; });
        b->StartGame({Word("filler", "词"), Word(spelling, "颜色"), Word("dog", "狗")}, nullptr);
        b.Ticks(400);
    }
};

TEST(BoardAnswers, ABlankedBoxDrawsABlankForEachLetterStillToType)
{
    // Untyped, then with two letters typed, the box of "colour" looks like a
    // box of the spelling "______", "co____" in the same state; dictation and
    // a meaning-only display, which hide spellings, still show the blank.
    BlankBoard blank("colour", true);
    BlankBoard blankDictation("colour", true, true);
    blankDictation.b->SetWordDisType(TWordDisType::wdtMean);
    BlankBoard plain("______", false);
    EXPECT_TRUE(blank.b->WordCanvas1().Items.at(1).Blanked);
    EXPECT_FALSE(blank.b->WordCanvas1().Items.at(0).Blanked);
    EXPECT_EQ(blank.b->WordCanvas1().Bitmap, plain.b->WordCanvas1().Bitmap);
    BlankBoard unblankedDictation("colour", false, true);
    unblankedDictation.b->SetWordDisType(TWordDisType::wdtMean);
    EXPECT_NE(blankDictation.b->WordCanvas1().Bitmap, unblankedDictation.b->WordCanvas1().Bitmap);

    BlankBoard typedPlain("co____", false);
    Type(blank.b, "co");
    Type(typedPlain.b, "co");
    EXPECT_EQ(blank.b->WordCanvas1().Bitmap, typedPlain.b->WordCanvas1().Bitmap);
    // Completed as ever: "colour" is the answer, not the blank.
    Type(blank.b, "lour");
    EXPECT_EQ(blank.b->RightWordCount(), 1);

    // Unblanked during the game, the box shows its spelling again.
    BlankBoard later("colour", true);
    later.b->SetBlankedBoxes(nullptr);
    BlankBoard spelt("colour", false);
    EXPECT_FALSE(later.b->WordCanvas1().Items.at(1).Blanked);
    EXPECT_EQ(later.b->WordCanvas1().Bitmap, spelt.b->WordCanvas1().Bitmap);
}
