#include <gtest/gtest.h>

#include "GbkText.h"

namespace {

const QChar kReplacement(0xFFFD);

TEST(CommonGbk, DisplayConversionNeverFails)
{
    EXPECT_EQ(GbkToQString(Gbk("提示信息")), QStringLiteral("提示信息"));
    EXPECT_EQ(GbkToQString("abc"), QStringLiteral("abc"));
    // The euro sign of code page 936.
    EXPECT_EQ(GbkToQString("\x80"), QString(QChar(0x20AC)));
    // A lone lead byte at the end is shown, not dropped.
    EXPECT_EQ(GbkToQString("ab\xD6"), QStringLiteral("ab") + kReplacement);
    // 0xFF never starts a character; decoding goes on after it.
    EXPECT_EQ(GbkToQString("a\xFF"
                           "b"),
              QStringLiteral("a") + kReplacement + QStringLiteral("b"));
    // A lead byte followed by a byte that cannot trail it.
    const QString mixed = GbkToQString(std::string("\xD6\x0Ax", 3));
    EXPECT_EQ(mixed, kReplacement + QStringLiteral("\nx"));
    EXPECT_EQ(GbkToQString(""), QString());
    const std::string longText(5000, 'a');
    EXPECT_EQ(GbkToQString(longText).size(), 5000);
}

TEST(CommonGbk, UnicodeToGbkReplacesWhatGbkCannotHold)
{
    EXPECT_EQ(QStringToGbk(QStringLiteral("中文 abc")), Gbk("中文 abc"));
    EXPECT_EQ(QStringToGbk(QStringLiteral("a\u0E01b")), "a?b");          // Thai
    EXPECT_EQ(QStringToGbk(QString::fromUcs4(U"x\U0001F600y")), "x?y");  // emoji
    EXPECT_EQ(QStringToGbk(QString()), "");
    EXPECT_EQ(Utf8ToGbk("《最新TOEFL词汇》").size(), 17u);
    EXPECT_EQ(GbkToUtf8(Gbk("默认背景音乐")), "默认背景音乐");
}

TEST(CommonGbk, NoCharacterIsDroppedOnTheWayToGbk)
{
    // iconv swallows the tag characters without an error; a byte order mark
    // inside or at the start of a text is a character like any other.
    EXPECT_EQ(QStringToGbk(QString::fromUcs4(U"a\U000E0001b\U000E007F")), "a?b?");
    const QString bom(QChar(0xFEFF));  // QString::fromUcs4 would drop a leading one
    EXPECT_EQ(QStringToGbk(bom + u'a' + bom), "?a?");
    EXPECT_EQ(Utf8ToGbk("\xEF\xBB\xBF"
                        "a"),
              "?a");
    EXPECT_EQ(Utf8ToQString("\xEF\xBB\xBF"
                            "a"),
              bom + u'a');
    // Mixed with text GBK holds, in a text long enough for several buffers.
    const QString longText = QString(600, QChar(0x4E2D)) + QString::fromUcs4(U"\U000E0041") + u'x';
    const std::string gbk = QStringToGbk(longText);
    EXPECT_EQ(gbk, Gbk(QString(600, QChar(0x4E2D)).toStdString()) + "?x");
    // Every input character is still there, one GBK character each.
    EXPECT_EQ(GbkToQString(gbk).size(), longText.size() - 1);  // the tag was a surrogate pair
}

TEST(CommonGbk, BadUtf8IsReplacedAndReportedNeverDropped)
{
    bool replaced = true;
    EXPECT_EQ(Utf8ToGbk("a能够", &replaced), Gbk("a能够"));
    EXPECT_FALSE(replaced);
    // A character cut off at the end of the text, inside it, and a byte
    // that never starts one: each leaves a mark where it was.
    EXPECT_EQ(Utf8ToGbk("a\xE4\xB8", &replaced), "a??");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(Utf8ToGbk("\xE6"), "?");
    EXPECT_EQ(Utf8ToQString("\xE4\xB8x\xFFy", &replaced),
              QString(kReplacement) + kReplacement + u'x' + kReplacement + u'y');
    EXPECT_TRUE(replaced);
    // One conversion never leaks into the next (a decoder holding bytes back would).
    EXPECT_EQ(Utf8ToQString("\xE4"), QString(kReplacement));
    EXPECT_EQ(Utf8ToQString("\xB8\xAD"), QString(2, kReplacement));
    EXPECT_EQ(Utf8ToQString("", &replaced), QString());
    EXPECT_FALSE(replaced);
}

TEST(CommonGbk, StrictEncoderRefusesWhatGbkCannotHold)
{
    EXPECT_EQ(QStringToGbkStrict(QStringLiteral("张 三'")), std::optional(Gbk("张 三'")));
    EXPECT_EQ(QStringToGbkStrict(QStringLiteral("a?b")), std::optional<std::string>("a?b"));
    EXPECT_EQ(QStringToGbkStrict(QString()), std::optional<std::string>(""));
    for (const QString &text :
         {QString::fromUcs4(U"Zo\u00EB\U0001F600"), QStringLiteral("\uFEFFab"),
          QString::fromUcs4(U"ab\U000E0020"), QStringLiteral("a\u0E01"), QString(QChar(0xFFFD))})
        EXPECT_FALSE(QStringToGbkStrict(text).has_value()) << text.toStdString();
}

TEST(CommonGbk, StrictDecoderReportsBadBytes)
{
    EXPECT_EQ(GbkToQStringStrict(Gbk("放弃")), std::optional<QString>(QStringLiteral("放弃")));
    EXPECT_FALSE(GbkToQStringStrict("ab\xD6").has_value());
    EXPECT_FALSE(GbkToQStringStrict("a\xFF").has_value());
    // A lead byte followed by a blank.
    EXPECT_FALSE(GbkToQStringStrict("\xA1 x").has_value());
    EXPECT_TRUE(GbkToQStringStrict("").has_value());

    // The test the import makes of every line answers as the decoder does,
    // after an ASCII line (its shortcut) and after a bad one (its buffer).
    for (const std::string &text :
         {Gbk("放弃"), std::string("ab\xD6"), std::string("a\xFF"), std::string("\xA1 x"),
          std::string(), std::string("plain ascii\t~\x7F"), std::string("\x80"),
          Gbk("n.放弃；放纵"), std::string("\x81\x20"), Gbk("末") + "\xFE"})
        EXPECT_EQ(IsGbkText(text), GbkToQStringStrict(text).has_value()) << text;
    EXPECT_FALSE(IsGbkText("ab\xD6"));
    EXPECT_TRUE(IsGbkText(Gbk("放弃")));
}

}  // namespace
