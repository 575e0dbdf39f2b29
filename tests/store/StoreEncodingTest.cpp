// Which encoding an import file is read in, and what its lines become.
#include <cstdio>
#include <random>

#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordFile.h"
#include "WordTables.h"

namespace {

// Short word lists as people write them, one entry a file: each must be read
// right in GBK and in UTF-8 without a byte-order mark.
const char *const kShortLists[] = {
    "hi[hai]interj. 喂",  "deer[di@]n. 鹿",       "acre['eik@]n. 英亩",
    "study[stVdi]v.学习", "gun[gVn]n. 枪",        "abandon[5'bAnd5n]v.放弃",
    "apple[5pl]n.苹果",   "book[buk]n.书；书籍",  "cat[kAt]n.猫",
    "dog[dCg]n.狗",       "egg[eg]n.蛋",          "fish[fiS]n.鱼",
    "go[gEu]v.去",        "hot[hCt]a.热的",       "ice[ais]n.冰",
    "jam[dVAm]n.果酱",    "key[ki:]n.钥匙",       "lion['laiEn]n.狮子",
    "milk[milk]n.牛奶",   "no[nEu]ad.不",         "pen[pen]n.钢笔",
    "queen[kwi:n]n.女王", "red[red]a.红色的",     "sun[sQn]n.太阳",
    "tea[ti:]n.茶",       "up[Qp]ad.向上",        "van[vAn]n.货车",
    "water['wC:tE]n.水",  "yes[jes]ad.是",        "zoo[zu:]n.动物园",
    "ox[Cks]n.牛",        "ant[Ant]n.蚂蚁",       "one[wQn]num.一",
    "two[tu:]num.二",     "bee[bi:]n.蜜蜂",       "sky[skai]n.天空",
    "wind[wind]n.风",     "rain[rein]n.雨",       "snow[snEu]n.雪",
    "moon[mu:n]n.月亮",   "star[stB:]n.星",       "tree[tri:]n.树",
    "bird[bE:d]n.鸟",     "cow[kau]n.母牛",       "pig[pig]n.猪",
    "duck[dQk]n.鸭子",    "hen[hen]n.母鸡",       "ear[iE]n.耳朵",
    "eye[ai]n.眼睛",      "leg[leg]n.腿",         "run[rQn]v.跑，奔跑",
    "say[sei]v.说（话）", "mum[mQm]n.妈妈",       "dad[dAd]n.爸爸",
    "tall[tC:l]a.高的",   "old[Eld]a.老的；旧的", "we[wi:]pron.我们",
    "do[du:]v.做",        "it[it]pron.它",        "rice[rais]n.米饭",
    "car[kB:]n.汽车",     "bus[bQs]n.公共汽车",   "arm[B:m]n.手臂",
    "sea[si:]n.海",       "box[bCks]n.盒子",      "cup[kQp]n.杯子",
    "map[mAp]n.地图",     "man[mAn]n.男人",       "boy[bCi]n.男孩",
    "bag[bAg]n.书包",     "top[tCp]n.顶部",       "new[nju:]a.新的",
    "big[big]a.大的",     "win[win]v.赢",         "sad[sAd]a.难过的",
    "toy[tCi]n.玩具",
};

TEST(StoreImportEncoding, ShortListsAreReadAsTheyWereWritten)
{
    int checked = 0;
    for (const char *utf8 : kShortLists) {
        const std::string gbk = Gbk(utf8);
        ASSERT_NE(gbk, utf8);
        EXPECT_EQ(DecideWordFileEncoding(gbk).Encoding, TWordFileEncoding::Gbk) << utf8;
        EXPECT_EQ(DecideWordFileEncoding(utf8).Encoding, TWordFileEncoding::Utf8) << utf8;
        // Both read back as the same GBK line, with or without a line end.
        EXPECT_EQ(SplitWordFileLines(gbk + "\r\n"), std::vector<std::optional<std::string>>{gbk});
        EXPECT_EQ(SplitWordFileLines(utf8), std::vector<std::optional<std::string>>{gbk});
        ++checked;
    }
    EXPECT_EQ(checked, 76);
}

// Thousands of one-line lists with random common hanzi (GB2312 level 1,
// rows B0 … D7, a tenth from level 2): almost none may be misread.
TEST(StoreImportEncoding, RandomOneLineListsAreAlmostNeverMisread)
{
    std::mt19937 random(17);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int misreadGbk = 0, misreadUtf8 = 0, ambiguous = 0;
    const int lines = 20000;
    for (int k = 0; k < lines; ++k) {
        std::string gbk;
        for (int n = pick(2, 8); n > 0; --n)
            gbk.push_back(static_cast<char>(pick('a', 'z')));
        gbk += "[x]n.";
        for (int n = pick(1, 4); n > 0; --n) {
            const int lead = pick(0, 9) == 0 ? pick(0xD8, 0xF7) : pick(0xB0, 0xD6);
            gbk.push_back(static_cast<char>(lead));
            gbk.push_back(static_cast<char>(pick(0xA1, 0xFE)));
        }
        const std::string utf8 = GbkToUtf8(gbk);
        ambiguous += IsValidUtf8(gbk) ? 1 : 0;
        misreadGbk += DecideWordFileEncoding(gbk).Encoding != TWordFileEncoding::Gbk ? 1 : 0;
        misreadUtf8 += DecideWordFileEncoding(utf8).Encoding != TWordFileEncoding::Utf8 ? 1 : 0;
    }
    RecordProperty("ValidBothWays", ambiguous);
    RecordProperty("MisreadGbk", misreadGbk);
    RecordProperty("MisreadUtf8", misreadUtf8);
    std::printf("%d lines, %d valid both ways; misread: %d GBK, %d UTF-8\n", lines, ambiguous,
                misreadGbk, misreadUtf8);
    EXPECT_GT(ambiguous, 300);  // the case is real: hundreds of such lines
    EXPECT_LE(misreadGbk, 5);
    EXPECT_LE(misreadUtf8, 5);
}

TEST(StoreImportEncoding, MarksDecideAndUndecidableTextIsGbk)
{
    using E = TWordFileEncoding;
    EXPECT_EQ(DecideWordFileEncoding("\xEF\xBB\xBF"
                                     "a[b]c")
                  .Encoding,
              E::Utf8);
    EXPECT_EQ(DecideWordFileEncoding("\xEF\xBB\xBF"
                                     "a[b]c")
                  .MarkLength,
              3u);
    EXPECT_EQ(DecideWordFileEncoding(std::string("\xFF\xFE"
                                                 "a\0",
                                                 4))
                  .Encoding,
              E::Utf16LE);
    EXPECT_EQ(DecideWordFileEncoding(std::string("\xFE\xFF\0a", 4)).Encoding, E::Utf16BE);
    EXPECT_EQ(DecideWordFileEncoding("plain[p]ascii").Encoding, E::Gbk);
    EXPECT_EQ(DecideWordFileEncoding("").Encoding, E::Gbk);
    // Not UTF-8 at all.
    EXPECT_EQ(DecideWordFileEncoding("a[b]\xB0\xA1").Encoding, E::Gbk);
    // Accented Latin alone counts against UTF-8: it is what GBK hanzi look
    // like when they are misread.
    EXPECT_EQ(DecideWordFileEncoding("caf\xC3\xA9").Encoding, E::Gbk);
    EXPECT_EQ(DecideWordFileEncoding("caf\xC3\xA9[k]咖啡馆").Encoding, E::Utf8);
    // A long UTF-8 list is decided on its start, cut at a character boundary.
    std::string list;
    while (list.size() < 70000)
        list += "apple[5pl]n.苹果\n";
    EXPECT_EQ(DecideWordFileEncoding(list).Encoding, E::Utf8);
}

TEST(StoreImportEncoding, Utf16WithAMarkIsDecodedAndNoNulReachesAWord)
{
    const auto utf16 = [](const QString &text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return bytes;
    };
    const QString text = QStringLiteral("apple[5pl]苹果\r\npear[x]梨\n");
    using Lines = std::vector<std::optional<std::string>>;
    const Lines expected{Gbk("apple[5pl]苹果"), Gbk("pear[x]梨")};
    EXPECT_EQ(SplitWordFileLines(utf16(text, false)), expected);
    EXPECT_EQ(SplitWordFileLines(utf16(text, true)), expected);
    // A lone surrogate, a NUL and a character GBK lacks make error lines; a
    // half character at the end too.
    const QString bad = QStringLiteral("a[b]c\n") + QChar(0xD800) + QStringLiteral("x\nn[")
                        + QChar(u'\0') + QStringLiteral("]m\nsmile[s]😀\nok[o]好");
    EXPECT_EQ(SplitWordFileLines(utf16(bad, false)),
              (Lines{"a[b]c", std::nullopt, std::nullopt, std::nullopt, Gbk("ok[o]好")}));
    EXPECT_EQ(SplitWordFileLines(utf16(QStringLiteral("a[b]c\nd"), false) + "e"),
              (Lines{"a[b]c", std::nullopt}));
    // NULs in a GBK or UTF-8 file (UTF-16 without a mark) are error lines.
    EXPECT_EQ(SplitWordFileLines(std::string("a\0[\0b\0]\0c\0\n\0", 12)),
              (Lines{std::nullopt, std::nullopt}));
}

class StoreImportFiles : public StoreFixture {};

TEST_F(StoreImportFiles, AOneLineGbkListThatLooksLikeUtf8IsStoredInChinese)
{
    TQuietProgress progress(false);
    ASSERT_TRUE(
        ImportWordLibrary(WriteWordFile("hi.txt", Gbk("hi[hai]interj. 喂")), "hi", progress, 4));
    EXPECT_TRUE(progress.Questions().isEmpty());
    ASSERT_EQ(TableRows("lib1").size(), 1u);
    EXPECT_EQ(TableRows("lib1")[0].Meaning, Gbk("interj. 喂"));
    for (const char *line :
         {"deer[di@]n. 鹿", "acre['eik@]n. 英亩", "study[stVdi]v.学习", "gun[gVn]n. 枪"}) {
        TQuietProgress quiet(false);
        const std::string name = std::string(line).substr(0, 3);
        ASSERT_TRUE(
            ImportWordLibrary(WriteWordFile(name + ".txt", Gbk(line) + "\r\n"), name, quiet, 4))
            << line;
    }
}

TEST_F(StoreImportFiles, AUtf16ListImportsAndAFileWithoutAnyRowIsNoBook)
{
    std::string bytes = "\xFF\xFE";
    for (const QChar c : QStringLiteral("pear[x]梨\r\n"))
        bytes +=
            std::string{static_cast<char>(c.unicode() & 0xFF), static_cast<char>(c.unicode() >> 8)};
    TQuietProgress progress(false);
    ASSERT_TRUE(ImportWordLibrary(WriteWordFile("u16.txt", bytes), "u16", progress, 4));
    EXPECT_EQ(TableRows("lib1")[0].Meaning, Gbk("梨"));

    // The same without its mark: NULs everywhere, every line an error line.
    TQuietProgress yes(true);
    EXPECT_FALSE(ImportWordLibrary(WriteWordFile("nomark.txt", bytes.substr(2)), "nomark", yes, 4));
    EXPECT_EQ(yes.Questions().size(), 2);
    EXPECT_FALSE(BookNameExists("nomark"));
    EXPECT_FALSE(TableExists("lib2"));
}

}  // namespace
