// The word books shipped in data/wordbooks/ must import cleanly and be
// playable: every line in the import format, every spelling typeable on the
// board, every meaning fitting its word box, every pronunciation shown in IPA.
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "BooksManifest.h"
#include "GbkText.h"
#include "Phonetic.h"
#include "Scramble.h"

namespace {

constexpr size_t kMeaningMaxBytes = 40;  // two lines of a word box
// A scrambled field of n bytes takes 2 × (n + 14) characters; these keep
// every field inside its column even when the store scrambles word text.
constexpr size_t kSpellingMaxBytes = 113;      // column of 255
constexpr size_t kPronunciationMaxBytes = 86;  // column of 200

struct ImportPieces {
    bool hasOpen = false;  // a line without "[" is rejected
    std::string spelling;
    std::string pronunciation;
    std::string meaning;
};

// The import's reading of a line: spelling before the first "[", the
// pronunciation up to the first "]", the meaning after that "]"; both
// positions are found once, and a missing "]" leaves the whole line as meaning.
ImportPieces SplitImportLine(const std::string &line)
{
    ImportPieces p;
    const size_t open = line.find('[');
    const size_t close = line.find(']');
    if (open == std::string::npos)
        return p;
    p.hasOpen = true;
    p.spelling = line.substr(0, open);
    if (close == std::string::npos) {
        p.meaning = line;
    } else if (close < open) {
        p.meaning = line.substr(close + 1);
    } else {
        p.pronunciation = line.substr(open + 1, close - open - 1);
        p.meaning = line.substr(close + 1);
    }
    return p;
}

bool IsBlank(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c <= ' ' || c == 0x7F; });
}

// Lower-case words joined by single blanks or hyphens: what the board's
// accepted keys can type, without a leading or trailing separator.
bool IsTypeable(const std::string &s)
{
    if (s.empty())
        return false;
    bool afterLetter = false;
    for (char c : s) {
        if (c >= 'a' && c <= 'z') {
            afterLetter = true;
        } else if ((c == ' ' || c == '-') && afterLetter) {
            afterLetter = false;
        } else {
            return false;
        }
    }
    return afterLetter;
}

// Collects the problems of one book and reports a handful, not thousands.
class Problems {
public:
    void Add(size_t lineNo, const std::string &what, const std::string &line)
    {
        ++m_count;
        if (m_shown.size() < 10)
            m_shown.push_back("line " + std::to_string(lineNo) + ": " + what + ": "
                              + GbkToUtf8(line));
    }
    size_t Count() const { return m_count; }
    std::string Text() const
    {
        std::string out;
        for (const auto &s : m_shown)
            out += s + "\n";
        return out;
    }

private:
    size_t m_count = 0;
    std::vector<std::string> m_shown;
};

TEST(BooksFilesHelpers, SplitsLikeTheImport)
{
    // The same cases the import is known to handle; the checks below rely
    // on this reading.
    ImportPieces p = SplitImportLine("abandon[5'bAnd5n]v.x");
    EXPECT_TRUE(p.hasOpen);
    EXPECT_EQ(p.spelling, "abandon");
    EXPECT_EQ(p.pronunciation, "5'bAnd5n");
    EXPECT_EQ(p.meaning, "v.x");
    p = SplitImportLine("a[b");
    EXPECT_EQ(p.spelling, "a");
    EXPECT_EQ(p.pronunciation, "");
    EXPECT_EQ(p.meaning, "a[b");
    p = SplitImportLine("x]y[z]w");
    EXPECT_EQ(p.spelling, "x]y");
    EXPECT_EQ(p.pronunciation, "");
    EXPECT_EQ(p.meaning, "y[z]w");
    p = SplitImportLine("word [x]y[z]");
    EXPECT_EQ(p.spelling, "word ");
    EXPECT_EQ(p.meaning, "y[z]");
    EXPECT_FALSE(SplitImportLine("no bracket").hasOpen);

    EXPECT_TRUE(IsTypeable("ice cream"));
    EXPECT_TRUE(IsTypeable("well-known"));
    EXPECT_FALSE(IsTypeable("Monday"));
    EXPECT_FALSE(IsTypeable("don't"));
    EXPECT_FALSE(IsTypeable("a  b"));
    EXPECT_FALSE(IsTypeable("-able"));
    EXPECT_FALSE(IsTypeable("word "));
    EXPECT_FALSE(IsTypeable(""));
}

TEST(BooksFilesManifest, ListsTheEightBooks)
{
    const std::string text = ReadBytes(kBooksDir + "manifest.tsv");
    ASSERT_FALSE(text.empty()) << kBooksDir << "manifest.tsv is missing";
    EXPECT_EQ(text.find('\r'), std::string::npos) << "line ends are LF";

    const std::vector<BookEntry> books = ReadManifest();
    struct Want {
        int id;
        const char *name;
        int bookClass;
    };
    const Want want[] = {
        {101, "《中考英语词汇》", 2},     {102, "《高考英语词汇》", 2},
        {103, "《大学英语四级词汇》", 3}, {104, "《大学英语六级词汇》", 3},
        {105, "《考研英语词汇》", 4},     {106, "《雅思词汇》", 6},
        {107, "《GRE词汇》", 6},          {109, "《最新TOEFL词汇》", 6},
    };
    ASSERT_EQ(books.size(), std::size(want));
    for (size_t i = 0; i < books.size(); ++i) {
        SCOPED_TRACE(books[i].file);
        EXPECT_EQ(books[i].id, want[i].id);
        EXPECT_EQ(books[i].name, want[i].name);
        EXPECT_EQ(books[i].bookClass, want[i].bookClass);
        // A plain name in the folder itself, so both separators and any
        // program folder location work.
        const std::string &f = books[i].file;
        EXPECT_TRUE(f.size() > 4 && f.ends_with(".txt"));
        EXPECT_TRUE(std::all_of(f.begin(), f.end(), [](unsigned char c) {
            return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        }));
        EXPECT_EQ(f.find(".."), std::string::npos);
        EXPECT_FALSE(ReadBytes(kBooksDir + f).empty());
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(books[j].file, f);
    }
}

TEST(BooksFilesLines, EveryLineImportsAsAPlayableWord)
{
    const std::vector<BookEntry> books = ReadManifest();
    ASSERT_FALSE(books.empty());
    const std::map<int, size_t> wantWords = {
        {101, 1553}, {102, 3576}, {103, 3812}, {104, 5365},
        {105, 4782}, {106, 4960}, {107, 7465}, {109, 3480},
    };
    for (const BookEntry &book : books) {
        SCOPED_TRACE(book.file);
        const std::string bytes = ReadBytes(kBooksDir + book.file);
        ASSERT_TRUE(GbkToQStringStrict(bytes).has_value()) << "not valid GBK";
        std::vector<std::string> lines;
        ASSERT_TRUE(SplitCrLfLines(bytes, lines)) << "every line must end in CR LF";
        ASSERT_TRUE(wantWords.count(book.id));
        EXPECT_EQ(lines.size(), wantWords.at(book.id));

        Problems problems;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string &line = lines[i];
            const size_t n = i + 1;
            const ImportPieces p = SplitImportLine(line);
            if (!p.hasOpen || IsBlank(p.spelling)) {
                problems.Add(n, "the import rejects it", line);
                continue;
            }
            // Anything but spelling[pronunciation]meaning would be stored
            // with pieces other than the ones written.
            if (p.spelling + "[" + p.pronunciation + "]" + p.meaning != line)
                problems.Add(n, "not in spelling[pronunciation]meaning form", line);
            if (!IsTypeable(p.spelling))
                problems.Add(n, "spelling not typeable", line);
            if (p.spelling.size() > kSpellingMaxBytes)
                problems.Add(n, "spelling too long", line);

            if (ConvertPhoneticDigits(p.pronunciation) != p.pronunciation)
                problems.Add(n, "pronunciation changed by the digit conversion", line);
            if (p.pronunciation.find_first_of("0123456789=[]") != std::string::npos)
                problems.Add(n, "digit, = or bracket in the pronunciation", line);
            if (std::any_of(p.pronunciation.begin(), p.pronunciation.end(),
                            [](unsigned char c) { return c < 0x20 || c >= 0x7F; }))
                problems.Add(n, "pronunciation is not printable ASCII", line);
            if (p.pronunciation.size() > kPronunciationMaxBytes)
                problems.Add(n, "pronunciation too long", line);
            // The last-word line shows it in IPA only when every symbol has
            // a counterpart.
            if (!PronunciationConverts(p.pronunciation))
                problems.Add(n, "pronunciation symbol without an IPA counterpart", line);

            if (IsBlank(p.meaning))
                problems.Add(n, "empty meaning", line);
            if (p.meaning.size() > kMeaningMaxBytes)
                problems.Add(n, "meaning over " + std::to_string(kMeaningMaxBytes) + " bytes",
                             line);
            // Cut only between characters: the meaning alone must decode.
            if (!GbkToQStringStrict(p.meaning).has_value())
                problems.Add(n, "meaning cut inside a character", line);
            if (std::any_of(p.meaning.begin(), p.meaning.end(),
                            [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
                problems.Add(n, "control character in the meaning", line);
            if (!p.meaning.empty() && (p.meaning.front() == ' ' || p.meaning.back() == ' '))
                problems.Add(n, "meaning has surrounding blanks", line);
        }
        EXPECT_EQ(problems.Count(), 0u) << problems.Text();
    }
}

TEST(BooksFilesLines, BooksAreInAlphabeticalOrderWithoutRepeats)
{
    const std::vector<BookEntry> books = ReadManifest();
    ASSERT_FALSE(books.empty());
    for (const BookEntry &book : books) {
        SCOPED_TRACE(book.file);
        std::vector<std::string> lines;
        ASSERT_TRUE(SplitCrLfLines(ReadBytes(kBooksDir + book.file), lines));
        ASSERT_FALSE(lines.empty());
        Problems problems;
        std::string previous;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string spelling = SplitImportLine(lines[i]).spelling;
            if (i > 0 && !(previous < spelling))
                problems.Add(i + 1, "not after \"" + previous + "\"", lines[i]);
            previous = spelling;
        }
        EXPECT_EQ(problems.Count(), 0u) << problems.Text();
    }
}

TEST(BooksFilesLines, DefaultBookMatchesTheShippedSettings)
{
    // The shipped settings start the player on lib109 with 3480 words.
    const std::vector<BookEntry> books = ReadManifest();
    const auto it =
        std::find_if(books.begin(), books.end(), [](const BookEntry &b) { return b.id == 109; });
    ASSERT_NE(it, books.end());
    const std::string settings =
        GbkToUtf8(ReadBytes(std::string(KIVRO_SOURCE_DIR) + "/data/typeconfig.ini"));
    EXPECT_NE(settings.find("StoreTableName=lib109"), std::string::npos);
    EXPECT_NE(settings.find("WordCount=3480"), std::string::npos);
    EXPECT_NE(settings.find("BookName=" + it->name), std::string::npos);
    std::vector<std::string> lines;
    ASSERT_TRUE(SplitCrLfLines(ReadBytes(kBooksDir + it->file), lines));
    EXPECT_EQ(lines.size(), 3480u);
}

}  // namespace
