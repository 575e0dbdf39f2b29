// The last-word line: both pronunciations where they differ, the chosen
// accent's first, and the word's other spelling.
#include <gtest/gtest.h>

#include "GbkText.h"
#include "LastWordLine.h"

namespace {

TWordInfo Colour()
{
    TWordInfo word;
    word.Spelling = "colour";
    word.Pronunciation = "'kVl@";
    word.Meaning = Gbk("n. 颜色");
    return word;
}

TEST(AppLastWordLine, BothPronunciationsTheChosenAccentFirst)
{
    const TWordVariants variants{"'kVlR", "color", TAccent::American};
    EXPECT_EQ(LastWordLine(Colour(), variants, TAccent::British, true),
              QStringLiteral("colour  英 [ˈkʌlə]  美 [ˈkʌlɚ]  n. 颜色  美式拼写：color"));
    EXPECT_EQ(LastWordLine(Colour(), variants, TAccent::American, true),
              QStringLiteral("colour  美 [ˈkʌlɚ]  英 [ˈkʌlə]  n. 颜色  美式拼写：color"));
    // Both spellings not accepted: the other one is not named.
    EXPECT_EQ(LastWordLine(Colour(), variants, TAccent::British, false),
              QStringLiteral("colour  英 [ˈkʌlə]  美 [ˈkʌlɚ]  n. 颜色"));
    // A book's American spelling names the British one.
    TWordInfo color = Colour();
    color.Spelling = "color";
    EXPECT_EQ(LastWordLine(color, {"'kVlR", "colour", TAccent::British}, TAccent::British, true),
              QStringLiteral("color  英 [ˈkʌlə]  美 [ˈkʌlɚ]  n. 颜色  英式拼写：colour"));
}

TEST(AppLastWordLine, OnePronunciationWhereTheyAgreeOrOneIsMissing)
{
    TWordInfo abandon;
    abandon.Spelling = "abandon";
    abandon.Pronunciation = "@'b&nd@n";
    // The same in both: shown once, unmarked, whatever the accent.
    for (const TAccent accent : {TAccent::British, TAccent::American})
        EXPECT_EQ(LastWordLine(abandon, {"@'b&nd@n", "", TAccent::American}, accent, true),
                  QStringLiteral("abandon  [əˈbændən]"));
    // No American one known: the book's, as it always was.
    EXPECT_EQ(LastWordLine(abandon, {}, TAccent::American, true),
              QStringLiteral("abandon  [əˈbændən]"));
    // The book has none: the American one, marked.
    TWordInfo iceCream;
    iceCream.Spelling = "ice cream";
    iceCream.Meaning = Gbk("冰淇淋");
    EXPECT_EQ(LastWordLine(iceCream, {"ais kri:m", "", TAccent::American}, TAccent::British, true),
              QStringLiteral("ice cream  美 [ais kriːm]  冰淇淋"));
    EXPECT_EQ(LastWordLine(iceCream, {}, TAccent::British, true),
              QStringLiteral("ice cream  冰淇淋"));
}

}  // namespace
