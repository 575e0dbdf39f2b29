// The books' ASCII pronunciation notation shown in IPA.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "GbkText.h"
#include "Phonetic.h"

namespace {

TEST(CommonPhonetic, ConvertsEverySymbolOfTheNotation)
{
    EXPECT_EQ(PronunciationToIpa("@'b&nd@n"), QStringLiteral("əˈbændən"));
    EXPECT_EQ(PronunciationToIpa("O:l'Dou"), QStringLiteral("ɔːlˈðou"));
    EXPECT_EQ(PronunciationToIpa("'pleZ@"), QStringLiteral("ˈpleʒə"));
    EXPECT_EQ(PronunciationToIpa("dVz; d@z"), QStringLiteral("dʌz; dəz"));
    EXPECT_EQ(PronunciationToIpa("'TINk"), QStringLiteral("ˈθɪŋk"));
    EXPECT_EQ(PronunciationToIpa("E@ SU"), QStringLiteral("ɛə ʃʊ"));
    EXPECT_EQ(PronunciationToIpa("'gr&ndO:t@(r)"), QStringLiteral("ˈgrændɔːtə(r)"));
    EXPECT_EQ(PronunciationToIpa("jO:'selvz,jU@-,j@-"), QStringLiteral("jɔːˈselvz,jʊə-,jə-"));
    EXPECT_EQ(PronunciationToIpa("tSA:ns"), QStringLiteral("tʃɑːns"));
}

TEST(CommonPhonetic, APointIsSecondaryStressExceptBeforeABlank)
{
    EXPECT_EQ(PronunciationToIpa("senti.mi:t@"), QStringLiteral("sentiˌmiːtə"));
    EXPECT_EQ(PronunciationToIpa("tS&nt. tSA:nt"), QStringLiteral("tʃænt. tʃɑːnt"));
    EXPECT_EQ(PronunciationToIpa(".Vn"), QStringLiteral("ˌʌn"));
}

TEST(CommonPhonetic, WhatDoesNotConvertIsShownAsStored)
{
    // One symbol outside the table (an upper-case letter, a digit, a Chinese
    // text) leaves the whole pronunciation as it was written.
    EXPECT_FALSE(PronunciationConverts("@'bK"));
    EXPECT_EQ(PronunciationToIpa("@'bK"), QStringLiteral("@'bK"));
    EXPECT_EQ(PronunciationToIpa("&3"), QStringLiteral("&3"));
    EXPECT_EQ(PronunciationToIpa(Gbk("读音")), QStringLiteral("读音"));
    EXPECT_TRUE(PronunciationConverts(""));
    EXPECT_EQ(PronunciationToIpa(""), QString());
}

}  // namespace

namespace {

// The American pronunciations shipped in the reference data, by spelling.
std::vector<std::pair<std::string, std::string>> ShippedUsPronunciations()
{
    std::ifstream in(std::string(KIVRO_SOURCE_DIR) + "/data/reference/us-pronunciations.tsv");
    std::vector<std::pair<std::string, std::string>> rows;
    std::string line;
    std::getline(in, line);  // the column names
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            rows.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return rows;
}

TEST(CommonPhonetic, EverySymbolOfTheAmericanPronunciationsConverts)
{
    // What each symbol the generator writes must show as; a symbol missing
    // here fails the test, so a new one is looked at before it ships.
    const std::map<char, QString> expected{
        {'a', QStringLiteral("a")},  {'b', QStringLiteral("b")}, {'d', QStringLiteral("d")},
        {'e', QStringLiteral("e")},  {'f', QStringLiteral("f")}, {'g', QStringLiteral("g")},
        {'h', QStringLiteral("h")},  {'i', QStringLiteral("i")}, {'j', QStringLiteral("j")},
        {'k', QStringLiteral("k")},  {'l', QStringLiteral("l")}, {'m', QStringLiteral("m")},
        {'n', QStringLiteral("n")},  {'o', QStringLiteral("o")}, {'p', QStringLiteral("p")},
        {'r', QStringLiteral("r")},  {'s', QStringLiteral("s")}, {'t', QStringLiteral("t")},
        {'u', QStringLiteral("u")},  {'v', QStringLiteral("v")}, {'w', QStringLiteral("w")},
        {'z', QStringLiteral("z")},  {'@', QStringLiteral("ə")}, {'&', QStringLiteral("æ")},
        {'A', QStringLiteral("ɑ")},  {'O', QStringLiteral("ɔ")}, {'V', QStringLiteral("ʌ")},
        {'U', QStringLiteral("ʊ")},  {'S', QStringLiteral("ʃ")}, {'Z', QStringLiteral("ʒ")},
        {'T', QStringLiteral("θ")},  {'D', QStringLiteral("ð")}, {'N', QStringLiteral("ŋ")},
        {'R', QStringLiteral("ɚ")},  {'X', QStringLiteral("ɝ")}, {':', QStringLiteral("ː")},
        {'\'', QStringLiteral("ˈ")}, {'.', QStringLiteral("ˌ")}, {' ', QStringLiteral(" ")},
        {'-', QStringLiteral("-")},
    };
    const auto rows = ShippedUsPronunciations();
    ASSERT_GT(rows.size(), 10000u);
    std::set<char> used;
    for (const auto &[spelling, pronunciation] : rows) {
        EXPECT_TRUE(PronunciationConverts(pronunciation)) << spelling << " " << pronunciation;
        used.insert(pronunciation.begin(), pronunciation.end());
    }
    for (const char c : used) {
        const auto it = expected.find(c);
        ASSERT_NE(it, expected.end()) << "unexpected symbol '" << c << "'";
        // Alone, a point is a secondary stress; a blank after it would make it a separator.
        EXPECT_EQ(PronunciationToIpa(std::string(1, c)), it->second) << c;
    }
    // The r-coloured vowels and the American diphthong, as the line shows them.
    EXPECT_EQ(PronunciationToIpa("'kVlR"), QStringLiteral("ˈkʌlɚ"));
    EXPECT_EQ(PronunciationToIpa("bXd"), QStringLiteral("bɝd"));
    EXPECT_EQ(PronunciationToIpa("'foUt@.gr&f"), QStringLiteral("ˈfoʊtəˌgræf"));
}

}  // namespace
