#include <algorithm>
#include <deque>
#include <numeric>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "Random.h"
#include "Records.h"
#include "TextUtils.h"

namespace {

// Answers RandomInt from a script, recording each range asked for.
class ScriptedRandom final : public TRandom {
public:
    std::deque<int> values;
    std::vector<std::pair<int, int>> ranges;
    int RandomInt(int lo, int hi) override
    {
        ranges.emplace_back(lo, hi);
        if (values.empty())
            return lo;
        const int v = values.front();
        values.pop_front();
        return v;
    }
};

class RandomGuard {
public:
    ~RandomGuard() { SetProgramRandom(nullptr); }
};

TEST(CommonText, CeilDiv)
{
    EXPECT_EQ(CeilDiv(20, 40), 2);
    EXPECT_EQ(CeilDiv(20, 41), 3);
    EXPECT_EQ(CeilDiv(20, 0), 0);
    EXPECT_EQ(CeilDiv(20, 19), 1);
    EXPECT_EQ(CeilDiv(20, 3480), 174);
    EXPECT_EQ(CeilDiv(20, 3481), 175);
    // Truncation towards zero and no rounding up of a negative remainder.
    EXPECT_EQ(CeilDiv(20, -5), 0);
    EXPECT_EQ(CeilDiv(20, -25), -1);
}

// The one count of a book's toll gates: a book without words, or a count
// that makes no sense, has none (never a negative count or a division by 0).
TEST(CommonText, TollGateCountOfABook)
{
    TGamePara para;
    const auto count = [&para](int words, int perGate) {
        para.WordCount = words;
        para.WordsPerGate = perGate;
        return TollGateCountOf(para);
    };
    EXPECT_EQ(count(3480, 20), 174);
    EXPECT_EQ(count(3481, 20), 175);
    EXPECT_EQ(count(1, 20), 1);
    EXPECT_EQ(count(20, 20), 1);
    EXPECT_EQ(count(0, 20), 0);
    EXPECT_EQ(count(-25, 20), 0);
    EXPECT_EQ(count(40, 0), 0);
    EXPECT_EQ(count(40, -20), 0);
}

TEST(CommonText, ExtractBaseName)
{
    EXPECT_EQ(ExtractBaseName("d:\\lib\\cet4.txt"), "cet4");
    EXPECT_EQ(ExtractBaseName("d:\\lib\\a.b.txt"), "a");
    EXPECT_EQ(ExtractBaseName("d:\\lib\\readme"), "");
    EXPECT_EQ(ExtractBaseName("C:\\words\\toefl.list.txt"), "toefl");
    EXPECT_EQ(ExtractBaseName("/home/me/lib.d/cet6.txt"), "cet6");
    EXPECT_EQ(ExtractBaseName("/home/me/mixed\\dir/gre.TXT"), "gre");
    EXPECT_EQ(ExtractBaseName(Gbk("/词库/考研.txt")), Gbk("考研"));
    EXPECT_EQ(ExtractBaseName(".hidden"), "");
}

TEST(CommonText, ShuffleIntAryKeepsAPermutationAndMovesTheFirstLast)
{
    RandomGuard guard;
    TIntAry empty;
    ShuffleIntAry(empty);
    EXPECT_TRUE(empty.empty());
    TIntAry one{7};
    ShuffleIntAry(one);
    EXPECT_EQ(one, TIntAry{7});
    TIntAry two{0, 1};
    ShuffleIntAry(two);
    EXPECT_EQ(two, (TIntAry{1, 0}));
    TIntAry three{0, 1, 2};
    ShuffleIntAry(three);
    EXPECT_EQ(three.back(), 0);

    SeedProgramRandom(12345);
    for (int n = 3; n < 60; ++n) {
        TIntAry a(static_cast<size_t>(n));
        std::iota(a.begin(), a.end(), 0);
        ShuffleIntAry(a);
        EXPECT_EQ(a.back(), 0);
        TIntAry sorted = a;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sorted[static_cast<size_t>(i)], i);
    }
}

TEST(CommonText, ShuffleIntAryDrawsFromOneToLastPosition)
{
    RandomGuard guard;
    auto random = std::make_shared<ScriptedRandom>();
    random->values = {1, 3, 2, 2, 3, 1, 1, 1};
    SetProgramRandom(random);
    TIntAry a{10, 11, 12, 13};
    ShuffleIntAry(a);
    ASSERT_EQ(random->ranges.size(), 8u);
    for (const auto &r : random->ranges)
        EXPECT_EQ(r, std::make_pair(1, 3));
    // swap(1,3) → 10 13 12 11; swap(2,2); swap(3,1) → 10 11 12 13; swap(1,1); then first↔last.
    EXPECT_EQ(a, (TIntAry{13, 11, 12, 10}));
}

TEST(CommonText, SplitTextCells)
{
    const auto cells = [](const std::string &text) {
        TStringList list;
        SplitTextCells(text, list);
        return list;
    };
    EXPECT_EQ(cells("hello"), (TStringList{"he", "ll", "o"}));
    EXPECT_EQ(cells("abc"), (TStringList{"ab", "c"}));
    EXPECT_EQ(cells(Gbk("中文")), (TStringList{Gbk("中"), Gbk("文")}));
    EXPECT_EQ(cells(Gbk("a中")), (TStringList{"a", Gbk("中")}));
    EXPECT_EQ(cells(Gbk("中ab")), (TStringList{Gbk("中"), "ab"}));
    EXPECT_EQ(cells("ab\xD6"), (TStringList{"ab", "\xD6"}));
    // A double-byte character with a low second byte is split.
    EXPECT_EQ(cells("\x81\x40x"), (TStringList{"\x81", "@x"}));
    EXPECT_TRUE(cells("").empty());
    TStringList appended{"keep"};
    SplitTextCells("a", appended);
    EXPECT_EQ(appended, (TStringList{"keep", "a"}));
}

TEST(CommonText, GbkPrefixNeverCutsACharacter)
{
    const std::string text = "ab" + Gbk("中文") + "c";
    EXPECT_EQ(GbkPrefix(text, 0), "");
    EXPECT_EQ(GbkPrefix(text, 3), "ab");  // not half of 中
    EXPECT_EQ(GbkPrefix(text, 4), "ab" + Gbk("中"));
    EXPECT_EQ(GbkPrefix(text, 7), text);
    EXPECT_EQ(GbkPrefix(text, 100), text);
    // A lone lead byte at the end is one byte; 0x80 (the euro sign) stands alone.
    EXPECT_EQ(GbkPrefix("a\xD6", 2), "a\xD6");
    EXPECT_EQ(GbkPrefix("\x80\x80", 1), "\x80");
}

TEST(CommonText, WrapTextByWidth)
{
    const TTextWidthFn sixPixels = [](std::string_view s) {
        return static_cast<int>(s.size()) * 6;
    };
    TStringList lines;
    WrapTextByWidth(std::string(60, 'x'), 180, sixPixels, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 28u);
    EXPECT_EQ(lines[1].size(), 28u);
    EXPECT_EQ(lines[2].size(), 4u);

    lines.clear();
    WrapTextByWidth("", 180, sixPixels, lines);
    EXPECT_TRUE(lines.empty());

    // An over-wide first cell gives a leading empty line.
    lines.clear();
    const TTextWidthFn wide = [](std::string_view s) { return static_cast<int>(s.size()) * 100; };
    WrapTextByWidth("abcd", 150, wide, lines);
    EXPECT_EQ(lines, (TStringList{"", "ab", "cd"}));

    // Chinese: two-byte cells, each 13 pixels wide.
    lines.clear();
    const TTextWidthFn chinese = [](std::string_view s) {
        return static_cast<int>(s.size()) / 2 * 13;
    };
    WrapTextByWidth(Gbk("一二三四五六七八九十"), 50, chinese, lines);
    EXPECT_EQ(lines, (TStringList{Gbk("一二三"), Gbk("四五六"), Gbk("七八九"), Gbk("十")}));
}

TEST(CommonText, SplitText)
{
    const auto split = [](const std::string &text, const std::string &sep) {
        TStringList list;
        SplitText(text, sep, list);
        return list;
    };
    EXPECT_EQ(split("a#@#b", "#@#"), (TStringList{"a", "b"}));
    EXPECT_EQ(split("a#@##@#b", "#@#"), (TStringList{"a", "", "b"}));
    EXPECT_EQ(split("a#@#", "#@#"), (TStringList{"a"}));
    EXPECT_EQ(split("#@#a", "#@#"), (TStringList{"", "a"}));
    EXPECT_EQ(split("a#@#b", ""), (TStringList{"a#@#b"}));
    EXPECT_TRUE(split("", "#@#").empty());
}

TEST(CommonText, RectCornerInRect)
{
    EXPECT_TRUE(RectCornerInRect({0, 0, 10, 10}, {10, 10, 20, 20}));
    EXPECT_TRUE(RectCornerInRect({5, 5, 30, 30}, {0, 0, 10, 10}));
    EXPECT_FALSE(RectCornerInRect({11, 0, 20, 10}, {0, 0, 10, 10}));
    // B wholly inside A: no corner of A lies in B.
    EXPECT_FALSE(RectCornerInRect({0, 0, 100, 100}, {10, 10, 20, 20}));
    EXPECT_TRUE(RectCornerInRect({10, 10, 20, 20}, {0, 0, 100, 100}));
    // A plus sign: neither holds a corner of the other.
    EXPECT_FALSE(RectCornerInRect({0, 10, 30, 20}, {10, 0, 20, 30}));
    // Each corner alone counts.
    EXPECT_TRUE(RectCornerInRect({-10, 5, 5, 50}, {0, 0, 10, 10}));  // right top
    EXPECT_TRUE(RectCornerInRect({5, -50, 50, 5}, {0, 0, 10, 10}));  // left bottom
    EXPECT_TRUE(RectCornerInRect({-5, -5, 5, 5}, {0, 0, 10, 10}));   // right bottom
}

TEST(CommonText, AsciiCaseFoldingTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(LowerAscii("Mp3Voice_LIB109.ASZ"), "mp3voice_lib109.asz");
    EXPECT_EQ(LowerAscii(Gbk("《最新TOEFL词汇》")), Gbk("《最新toefl词汇》"));
    EXPECT_EQ(LowerAscii("\xC0\xDE\xC9"), "\xC0\xDE\xC9");  // capitals of other code pages
    EXPECT_TRUE(SameTextAscii("LevelInterval1", "levelINTERVAL1"));
    EXPECT_TRUE(SameTextAscii("", ""));
    EXPECT_FALSE(SameTextAscii("Level", "Level1"));
    // Pairs 0x20 apart that are not letters.
    EXPECT_FALSE(SameTextAscii("[", "{"));
    EXPECT_FALSE(SameTextAscii("@", "`"));
    EXPECT_FALSE(SameTextAscii("\xC1", "\xE1"));
}

TEST(CommonText, RoundHalfEven)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(37.5), 38);
    EXPECT_EQ(RoundHalfEven(42.5), 42);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

}  // namespace
