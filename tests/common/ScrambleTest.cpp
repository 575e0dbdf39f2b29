#include <random>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "Scramble.h"

namespace {

TEST(CommonScramble, HexForms)
{
    EXPECT_EQ(TextToHex("abc"), "616263");
    EXPECT_EQ(TextToHex(""), "");
    EXPECT_EQ(TextToHex("\xFF\x80\x0A"), "FF800A");
    EXPECT_EQ(HexToText("616263"), "abc");
    EXPECT_EQ(HexToText("6a6B"), "jk");
    // A last single digit is read on its own.
    EXPECT_EQ(HexToText("616"), std::string("a\x06"));
    EXPECT_THROW(HexToText("6G"), EHexConvertError);
    EXPECT_THROW(HexToText("ap"), EHexConvertError);
    EXPECT_EQ(GetScrambleKey(), "#TROV@MKDpaqL%");
}

TEST(CommonScramble, EmptyTexts)
{
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(UnscrambleText(""), "");
}

TEST(CommonScramble, KnownScrambledForm)
{
    // "a" + key in hex, half-swapped, pair-swapped, half-swapped again.
    const std::string hex = TextToHex("a") + TextToHex(GetScrambleKey());
    std::string s = hex.substr(hex.size() / 2) + hex.substr(0, hex.size() / 2);
    for (size_t k = 0; k + 1 < s.size(); k += 2)
        std::swap(s[k], s[k + 1]);
    s = s.substr(s.size() / 2) + s.substr(0, s.size() / 2);
    EXPECT_EQ(ScrambleText("a"), s);
    EXPECT_NE(ScrambleText("a"), hex);
}

TEST(CommonScramble, RoundTripsEveryByteString)
{
    std::mt19937 engine(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 120);
    for (int round = 0; round < 2000; ++round) {
        std::string text(static_cast<size_t>(length(engine)), '\0');
        for (char &c : text)
            c = static_cast<char>(byte(engine));
        const std::string scrambled = ScrambleText(text);
        ASSERT_EQ(scrambled.size(), 2 * (text.size() + 14));
        ASSERT_EQ(scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        ASSERT_EQ(UnscrambleText(scrambled), text);
    }
    const std::string chinese = Gbk("放弃；抛弃");
    EXPECT_EQ(UnscrambleText(ScrambleText(chinese)), chinese);
}

TEST(CommonScramble, PlainTextUnscramblesToEmpty)
{
    EXPECT_EQ(UnscrambleText("apple"), "");
    EXPECT_EQ(UnscrambleText("abandon"), "");
    EXPECT_EQ(UnscrambleText(Gbk("放弃")), "");
}

TEST(CommonScramble, ConvertPhoneticDigits)
{
    EXPECT_EQ(ConvertPhoneticDigits("0123456789="), "6134087=954");
    EXPECT_EQ(ConvertPhoneticDigits("ab'c"), "ab'c");
    EXPECT_EQ(ConvertPhoneticDigits("8'bAnd8n"), "9'bAnd9n");
    EXPECT_EQ(ConvertPhoneticDigits(""), "");
}

}  // namespace
