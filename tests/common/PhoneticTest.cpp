// The books' ASCII pronunciation notation shown in IPA.
#include <gtest/gtest.h>

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
