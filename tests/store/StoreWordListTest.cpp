// Word lists in every layout and encoding the import reads, the layout it
// proposes, and that a stored book holds exactly the rows of its list.
#include "Scramble.h"
#include "Settings.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordFile.h"
#include "WordList.h"
#include "WordTables.h"

namespace {

// One line of a list as the preview shows it: number, reason, pieces (UTF-8).
struct Row {
    int line;
    QString reason;
    std::string spelling, pronunciation, meaning;
    bool operator==(const Row &) const = default;
};

void PrintTo(const Row &r, std::ostream *os)
{
    *os << r.line << " [" << r.reason.toStdString() << "] " << r.spelling << " | "
        << r.pronunciation << " | " << r.meaning;
}

std::vector<Row> RowsOf(const TWordList &list)
{
    std::vector<Row> rows;
    for (const TListLine &line : list.Lines)
        rows.push_back({line.LineNumber, LineErrorReason(line.Error), GbkToUtf8(line.Word.Spelling),
                        GbkToUtf8(line.Word.Pronunciation), GbkToUtf8(line.Word.Meaning)});
    return rows;
}

TWordList Parse(const std::string &bytes, TWordLayout layout, bool scramble = false)
{
    return ParseWordList(SplitWordFileLines(bytes), layout, scramble);
}

const QString kOk;
const QString kNoWord = QStringLiteral("没有单词");
const QString kTooLong = QStringLiteral("超出长度");
const QString kBadChar = QStringLiteral("无法识别的字符");

TEST(StoreWordList, EachLayoutSplitsItsLinesAndNamesItsErrorLines)
{
    struct Case {
        TWordLayout layout;
        std::string file;  // UTF-8 source, converted to GBK
        std::vector<Row> rows;
    };
    const std::string longWord(256, 'x');
    const Case cases[] = {
        {TWordLayout::Brackets,
         "abandon[5'bAnd5n]v.放弃\r\n\r\nword [x]y\r\nnothing here\r\na[b\r\n" + longWord
             + "[]m\r\n",
         {{1, kOk, "abandon", "8'bAnd8n", "v.放弃"},
          {2, kNoWord, "", "", ""},
          {3, kOk, "word ", "x", "y"},
          {4, kNoWord, "", "", ""},
          {5, kOk, "a", "", "a[b"},
          {6, kTooLong, "", "", ""}}},
        {TWordLayout::Tab,
         "apple\t苹果\r\n ice cream \t 冰淇淋，雪糕 \r\nno tab here\r\n\t空\r\n",
         {{1, kOk, "apple", "", "苹果"},
          {2, kOk, "ice cream", "", "冰淇淋，雪糕"},
          {3, kNoWord, "", "", ""},
          {4, kNoWord, "", "", ""}}},
        {TWordLayout::Csv,
         "apple,苹果\r\n\"say \"\"hi\"\"\",\"打招呼, 问好\"\r\nbook, n. 书, "
         "书籍\r\nalone\r\n,空\r\n",
         {{1, kOk, "apple", "", "苹果"},
          {2, kOk, "say \"hi\"", "", "打招呼, 问好"},
          {3, kOk, "book", "", "n. 书, 书籍"},
          {4, kNoWord, "", "", ""},
          {5, kNoWord, "", "", ""}}},
        {TWordLayout::Spaces,
         "apple   n. 苹果\r\nice cream  冰淇淋\r\n  go\t去\r\nsingle space only\r\n",
         {{1, kOk, "apple", "", "n. 苹果"},
          {2, kOk, "ice cream", "", "冰淇淋"},
          {3, kOk, "go", "", "去"},
          {4, kNoWord, "", "", ""}}},
        {TWordLayout::Slashes,
         "abandon /5'bAnd5n/ v.放弃\r\nopen /only v.开\r\nno slash\r\n/x/ y\r\n",
         {{1, kOk, "abandon", "8'bAnd8n", "v.放弃"},
          {2, kOk, "open", "", "only v.开"},
          {3, kNoWord, "", "", ""},
          {4, kNoWord, "", "", ""}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const TWordList list = Parse(Gbk(c.file), c.layout);
        EXPECT_EQ(RowsOf(list), c.rows);
        EXPECT_EQ(list.ErrorLines(), std::count_if(c.rows.begin(), c.rows.end(), [](const Row &r) {
                      return !r.reason.isEmpty();
                  }));
    }
    // One-line files, without a line end.
    EXPECT_EQ(RowsOf(Parse(Gbk("go\t去"), TWordLayout::Tab)),
              (std::vector<Row>{{1, kOk, "go", "", "去"}}));
    EXPECT_EQ(RowsOf(Parse(Gbk("go"), TWordLayout::Csv)),
              (std::vector<Row>{{1, kNoWord, "", "", ""}}));
}

TEST(StoreWordList, EveryEncodingGivesTheSameRowsAndUnholdableCharactersAreErrors)
{
    const QString text = QStringLiteral("apple\t苹果\nbook\t书\n");
    const std::vector<Row> expected{{1, kOk, "apple", "", "苹果"}, {2, kOk, "book", "", "书"}};
    const QByteArray utf8 = text.toUtf8();
    QByteArray utf16le("\xFF\xFE", 2), utf16be("\xFE\xFF", 2), noMark;
    for (const QChar c : text) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    noMark = utf16le.mid(2);
    // Big5 is traditional Chinese: "蘋果", "書", which GBK holds too.
    const std::string big5 = "apple\t\xC4\xAB\xAA\x47\nbook\t\xAE\xD1\n";
    const std::vector<Row> big5Rows{{1, kOk, "apple", "", "蘋果"}, {2, kOk, "book", "", "書"}};

    const auto rows = [](std::string_view bytes, TWordFileEncoding encoding) {
        return RowsOf(
            ParseWordList(SplitWordFileLinesAs(bytes, encoding), TWordLayout::Tab, false));
    };
    EXPECT_EQ(rows(Gbk(text.toStdString()), TWordFileEncoding::Gbk), expected);
    EXPECT_EQ(rows(utf8.toStdString(), TWordFileEncoding::Utf8), expected);
    EXPECT_EQ(rows("\xEF\xBB\xBF" + utf8.toStdString(), TWordFileEncoding::Utf8), expected);
    EXPECT_EQ(rows(utf16le.toStdString(), TWordFileEncoding::Utf16LE), expected);
    // The mark decides the byte order; without one, UTF-16 is little-endian.
    EXPECT_EQ(rows(utf16be.toStdString(), TWordFileEncoding::Utf16LE), expected);
    EXPECT_EQ(rows(noMark.toStdString(), TWordFileEncoding::Utf16LE), expected);
    EXPECT_EQ(rows(big5, TWordFileEncoding::Big5), big5Rows);

    // Switching encodings: the GBK file read as UTF-8 or Big5 is no longer those words.
    const std::string gbk = Gbk(text.toStdString());
    EXPECT_EQ(rows(gbk, TWordFileEncoding::Utf8)[0].reason, kBadChar);
    EXPECT_NE(rows(gbk, TWordFileEncoding::Big5), expected);

    // A character GBK cannot hold, in each Unicode encoding and in Big5.
    EXPECT_EQ(
        rows("caf\xC3\xA9\t\xE2\x82\xAC\xF0\x9F\x98\x80\n", TWordFileEncoding::Utf8)[0].reason,
        kBadChar);
    EXPECT_EQ(rows(std::string("\xFF\xFE"
                               "a\0\t\0=\xD8\0\xDE",
                               10),
                   TWordFileEncoding::Utf16LE)[0]
                  .reason,
              kBadChar);
    EXPECT_EQ(rows("x\t\xFF\xFF\n", TWordFileEncoding::Big5)[0].reason, kBadChar);
    EXPECT_EQ(rows("x\t\x81\n", TWordFileEncoding::Gbk)[0].reason, kBadChar);
}

TEST(StoreWordList, ALineLongerThanATableHoldsIsTooLongAndOnlyItsStartIsRead)
{
    // A megabyte on one line, then a word, in every encoding.
    const std::string start = "abandon[5'bAnd5n]";
    const QString chinese = QString(300000, QChar(0x5F03));  // 弃
    const auto utf16 = [](const QString &text) {
        std::string bytes("\xFF\xFE", 2);
        for (const QChar c : text)
            bytes.append(1, char(c.unicode() & 0xFF)).append(1, char(c.unicode() >> 8));
        return bytes;
    };
    struct Case {
        TWordFileEncoding encoding;
        std::string bytes;
    };
    const Case cases[] = {
        {TWordFileEncoding::Gbk, start + std::string(1 << 20, 'x') + "\r\ngo[g]" + Gbk("去")},
        {TWordFileEncoding::Utf8, "\xEF\xBB\xBF" + start + chinese.toStdString() + "\r\ngo[g]去"},
        {TWordFileEncoding::Utf16LE,
         utf16(QString::fromStdString(start) + chinese + QStringLiteral("\r\ngo[g]去"))},
        // 蘋 in Big5, a two-byte character whose second byte is below 0x80.
        {TWordFileEncoding::Big5, start +
                                      [] {
                                          std::string big5;
                                          for (int k = 0; k < 300000; ++k)
                                              big5 += "\xC4\xAB\xAA\x47";
                                          return big5;
                                      }()
                                      + "\r\ngo[g]x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        const auto lines = SplitWordFileLinesAs(c.bytes, c.encoding);
        ASSERT_EQ(lines.size(), 2u);
        ASSERT_TRUE(lines[0].has_value());
        // Just past the limit, whole characters of the line's start.
        EXPECT_GT(lines[0]->size(), kMaxWordLineBytes);
        EXPECT_LE(lines[0]->size(), kMaxWordLineBytes + 2);
        EXPECT_EQ(lines[0]->substr(0, start.size()), start);
        EXPECT_TRUE(GbkToQStringStrict(*lines[0]).has_value());
        const std::vector<Row> rows = RowsOf(ParseWordList(lines, TWordLayout::Brackets, false));
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0], (Row{1, kTooLong, "", "", ""}));
        EXPECT_EQ(rows[1].reason, kOk);
        EXPECT_EQ(rows[1].spelling, "go");
    }
    // Up to the limit a line is read whole; past it, even blanks that a
    // layout would trim make it too long.
    const std::string full = "w\t" + std::string(kMaxWordLineBytes - 2, 'm');
    EXPECT_EQ(SplitWordFileLinesAs(full, TWordFileEncoding::Gbk)[0], full);
    EXPECT_EQ(CheckWordLine(full, TWordLayout::Tab, false).Error, TLineError::TooLong);
    EXPECT_EQ(
        CheckWordLine("w\t" + std::string(kMaxWordLineBytes, ' ') + "m", TWordLayout::Tab, false)
            .Error,
        TLineError::TooLong);
    // A NUL still makes any line a bad character.
    EXPECT_EQ(
        CheckWordLine(std::string(kMaxWordLineBytes + 5, '\0'), TWordLayout::Tab, false).Error,
        TLineError::BadCharacter);
}

TEST(StoreWordList, TheProposedLayoutFollowsTheFirstTwoHundredLines)
{
    const auto detect = [](const std::string &utf8) {
        return DetectWordLayout(SplitWordFileLines(Gbk(utf8)));
    };
    EXPECT_EQ(detect("apple\t苹果\nbook\t书\n"), TWordLayout::Tab);
    EXPECT_EQ(detect("apple,苹果\nbook,\"书, 书籍\"\n"), TWordLayout::Csv);
    EXPECT_EQ(detect("apple  苹果, 苹果树\nbook   书\n"), TWordLayout::Spaces);
    EXPECT_EQ(detect("apple /5pl/ 苹果\nbook /buk/ 书\n"), TWordLayout::Slashes);
    // Slashes in a tab list's meanings do not make it a slash list.
    EXPECT_EQ(detect("apple\tn./v. 苹果\nbook\tn./v. 书\n"), TWordLayout::Tab);
    // One "[" anywhere in the first 200 lines, even a wrong line, decides.
    EXPECT_EQ(detect("apple\t苹果\n[oops\n"), TWordLayout::Brackets);
    std::string late;
    for (int k = 0; k < 200; ++k)
        late += "w" + std::to_string(k) + "\t词\n";
    EXPECT_EQ(detect(late + "a[b]c\n"), TWordLayout::Tab);
    // Nothing readable, and no lines at all.
    EXPECT_EQ(detect("苹果\n书\n"), TWordLayout::Brackets);
    EXPECT_EQ(detect(""), TWordLayout::Brackets);
}

// The import and the preview read a file line by line without keeping its
// lines; what they give must be exactly the lines' list, hostile files included.
TEST(StoreWordList, AFileParsedLineByLineGivesTheListOfItsLines)
{
    const std::string longLine(kMaxWordLineBytes + 40, 'x');
    const std::string gbk = Gbk("apple[5pl]苹果\r\n\r\n") + std::string("bo\0ok[b]", 8)
                            + Gbk("书\n")
                            + "\x81\x20"
                              "bad\nab[c]"
                            + longLine + Gbk("\nlast[l]末");
    const std::string utf8 = std::string("\xEF\xBB\xBF") + "able[x]能够\r\ncut[k]n. 切\xE6\n"
                             + "ab[c]" + longLine + "\nok[o]好";
    // 中 on a line, a lone surrogate, a NUL, and an odd byte at the end.
    static const char kUtf16[] = "\xFF\xFE"
                                 "a\0[\0b\0]\0\x2D\x4E\n\0"
                                 "\x00\xD8\n\0"
                                 "x\0\0\0\n\0"
                                 "z";
    const std::string utf16(kUtf16, sizeof kUtf16 - 1);
    const std::string big5 = "apple[a]\xC4\xAB\xAA\x47\n\xFF\xFF[x]y\n";
    const struct {
        std::string bytes;
        TWordFileEncoding encoding;
    } files[] = {
        {gbk, TWordFileEncoding::Gbk},       {utf8, TWordFileEncoding::Utf8},
        {utf16, TWordFileEncoding::Utf16LE}, {utf16.substr(2), TWordFileEncoding::Utf16BE},
        {big5, TWordFileEncoding::Big5},     {"", TWordFileEncoding::Gbk},
        {"\n\n", TWordFileEncoding::Utf8},   {"\xFF", TWordFileEncoding::Utf16LE},
    };
    for (const auto &file : files) {
        for (const bool scramble : {false, true}) {
            const TWordList expected = ParseWordList(
                SplitWordFileLinesAs(file.bytes, file.encoding), TWordLayout::Brackets, scramble);
            const TWordList read =
                ParseWordFile(file.bytes, file.encoding, TWordLayout::Brackets, scramble);
            EXPECT_EQ(read.Scramble, scramble);
            EXPECT_EQ(RowsOf(read), RowsOf(expected)) << int(file.encoding);
            ASSERT_EQ(read.Lines.size(), expected.Lines.size());
            for (size_t k = 0; k < read.Lines.size(); ++k)
                EXPECT_EQ(read.Lines[k].Text, expected.Lines[k].Text) << k;
        }
    }
    // Room is made for the lines the file gives, not for every byte pair
    // that would end a line in the other byte order (U+0A00 here).
    std::string gurmukhi("\xFF\xFE", 2);
    for (int k = 0; k < 4000; ++k)
        gurmukhi.append("\0\x0A", 2);
    for (const std::string &bytes : {gurmukhi, gurmukhi.substr(2)}) {
        const TWordList one =
            ParseWordFile(bytes, TWordFileEncoding::Utf16LE, TWordLayout::Brackets, false);
        EXPECT_EQ(one.Lines.size(), 1u);
        EXPECT_LE(one.Lines.capacity(), 2u);
    }
    // The hostile lines are there as error lines, not dropped.
    EXPECT_EQ(ParseWordFile(gbk, TWordFileEncoding::Gbk, TWordLayout::Brackets, false).ErrorLines(),
              4);
}

TEST(StoreWordList, LinesAreGivenOneByOneUntilTheTakerStops)
{
    std::vector<std::optional<std::string>> taken;
    const auto takeTwo = [&taken](std::optional<std::string> &&line) {
        taken.push_back(std::move(line));
        return taken.size() < 2;
    };
    EXPECT_FALSE(ForEachWordFileLine("a\nb\nc\n", TWordFileEncoding::Gbk, takeTwo));
    EXPECT_EQ(taken, (std::vector<std::optional<std::string>>{"a", "b"}));
    taken.clear();
    EXPECT_FALSE(ForEachWordFileLine(std::string("a\0\n\0b\0\n\0c\0", 10),
                                     TWordFileEncoding::Utf16LE, takeTwo));
    EXPECT_EQ(taken, (std::vector<std::optional<std::string>>{"a", "b"}));
    taken.clear();
    EXPECT_TRUE(ForEachWordFileLine("only", TWordFileEncoding::Utf8, takeTwo));
    EXPECT_EQ(taken, (std::vector<std::optional<std::string>>{"only"}));

    // The layout read from a file's bytes looks at its first 200 lines only.
    std::string late;
    for (int k = 0; k < 200; ++k)
        late += "w" + std::to_string(k) + "\t词\n";
    EXPECT_EQ(DetectWordFileLayout(Gbk(late + "a[b]c\n"), TWordFileEncoding::Gbk),
              TWordLayout::Tab);
    EXPECT_EQ(DetectWordFileLayout(Gbk(late.substr(late.find('\n') + 1) + "a[b]c\n"),
                                   TWordFileEncoding::Gbk),
              TWordLayout::Brackets);
    EXPECT_EQ(DetectWordFileLayout(Gbk("a[b]c\n" + late), TWordFileEncoding::Gbk),
              TWordLayout::Brackets);
    EXPECT_EQ(DetectWordFileLayout("apple\t\xC6\xBB\n", TWordFileEncoding::Gbk), TWordLayout::Tab);
}

class StoreWordListImport : public StoreFixture {};

TEST_F(StoreWordListImport, TheStoredBookIsThePreviewsRows)
{
    for (const int encrypt : {0, 1}) {
        SCOPED_TRACE(encrypt);
        WriteConfig(encrypt);
        const std::string file = Gbk("apple,苹果\r\n\r\n\"it's\",\"它是, 它有\"\r\n"
                                     + std::string(114, 'y') + ",long\r\ngo,去\r\n");
        const TWordList list = Parse(file, TWordLayout::Csv, IsScrambleOn());
        // 114 bytes fit a plain row; scrambled they no longer do.
        EXPECT_EQ(list.ErrorLines(), encrypt ? 2 : 1);
        TQuietProgress progress(true);
        const std::string name = "csv" + std::to_string(encrypt);
        ASSERT_TRUE(ImportWordList(list, name, progress, 3));
        // Every error line was asked about, by its line number.
        QStringList asked;
        for (const TListLine &line : list.Lines) {
            if (line.Error != TLineError::None)
                asked << ErrorLineQuestion(line.LineNumber);
        }
        EXPECT_EQ(progress.Questions(), asked);

        std::vector<TWordInfo> preview;
        for (const TListLine &line : list.Lines) {
            if (line.Error == TLineError::None) {
                TWordInfo w;
                w.Spelling = line.Word.Spelling;
                w.Pronunciation = line.Word.Pronunciation;
                w.Meaning = line.Word.Meaning;
                preview.push_back(w);
            }
        }
        const int id = GetBookId(name, 0);
        std::vector<TWordInfo> stored = TableRows(GetBookTableName(id));
        if (encrypt) {
            for (TWordInfo &w : stored) {
                w.Spelling = UnscrambleText(w.Spelling);
                w.Pronunciation = w.Pronunciation.empty() ? "" : UnscrambleText(w.Pronunciation);
                w.Meaning = UnscrambleText(w.Meaning);
            }
        }
        EXPECT_EQ(stored, preview);
        EXPECT_EQ(GetBookWordNumber(id), static_cast<int>(preview.size()));
    }
}

TEST_F(StoreWordListImport, NoToAnErrorLineOfAListStoresNothing)
{
    const TWordList list = Parse("a\tb\r\nbad\r\nc\td\r\n", TWordLayout::Tab);
    TQuietProgress progress(false);
    EXPECT_FALSE(ImportWordList(list, "stopped", progress, 4));
    EXPECT_EQ(progress.Questions(), QStringList{ErrorLineQuestion(2)});
    EXPECT_FALSE(BookNameExists("stopped"));
    EXPECT_FALSE(TableExists("lib1"));
}

}  // namespace
