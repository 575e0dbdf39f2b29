// The recent toll gates' file UseRecord.txt (one line per toll gate, GBK,
// CR LF, the last 30), its lines, captions and entries.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include "GameParaSupport.h"
#include "GbkText.h"
#include "RecentTollGates.h"
#include "TempProgramDir.h"
#include "TextUtils.h"

namespace {

std::vector<std::string> FileLines(const TempProgramDir &dir)
{
    const std::string text = dir.ReadFile("UseRecord.txt");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF at the end of the file";
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class FlowRecentFile : public ::testing::Test {
protected:
    bool FileExists() const { return std::filesystem::exists(m_dir.Path("UseRecord.txt")); }
    TempProgramDir m_dir;
};

// ---- the file ---------------------------------------------------------------

TEST_F(FlowRecentFile, LinesAreTheSixFieldsInGbkWithCrLfAndTheLastThirtyStay)
{
    EXPECT_EQ(RecentLine(Toefl(3, 2)), "lib109#@#3480#@#" + kToefl + "#@#0#@#3#@#2");

    for (int gate = 1; gate <= 31; ++gate)
        AddRecentLine(RecentLine(Toefl(gate)));

    const std::vector<std::string> lines = FileLines(m_dir);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines.front(), RecentLine(Toefl(2)));  // the first one played is gone
    EXPECT_EQ(lines.back(), RecentLine(Toefl(31)));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], RecentLine(Toefl(static_cast<int>(i) + 2)));
    // The book name is stored as GBK bytes, not UTF-8.
    EXPECT_NE(m_dir.ReadFile("UseRecord.txt").find(kToefl), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("UseRecord.txt.new")));
}

TEST_F(FlowRecentFile, AnEntryAlreadyListedKeepsItsPlaceAndAnotherLevelIsANewEntry)
{
    AddRecentLine(RecentLine(Toefl(1)));
    AddRecentLine(RecentLine(Toefl(2)));
    AddRecentLine(RecentLine(Toefl(3)));
    const std::string before = m_dir.ReadFile("UseRecord.txt");

    AddRecentLine(RecentLine(Toefl(2)));
    AddRecentLine(RecentLine(Toefl(1)));
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), before);

    AddRecentLine(RecentLine(Toefl(2, 3)));     // another level
    AddRecentLine(RecentLine(Toefl(2, 1, 2)));  // the shuffled copy
    const std::vector<std::string> lines = FileLines(m_dir);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], RecentLine(Toefl(2, 3)));
    EXPECT_EQ(lines[4], RecentLine(Toefl(2, 1, 2)));
}

TEST_F(FlowRecentFile, BookNamesCompareWithoutTheCaseOfLatinLettersOnly)
{
    AddRecentLine(RecentLine(Toefl(4)));
    AddRecentLine(RecentLine(Para("LIB109", 3480, Gbk("《最新toefl词汇》"), 0, 4, 1)));
    EXPECT_EQ(FileLines(m_dir).size(), 1u);

    // 0x81 0x41 and 0x81 0x61 are two different double-byte characters whose
    // trail bytes happen to be 'A' and 'a'.
    const std::string upperTrail = "\x81\x41";
    const std::string lowerTrail = "\x81\x61";
    EXPECT_FALSE(GbkSameText(upperTrail, lowerTrail));
    EXPECT_TRUE(GbkSameText("x" + upperTrail + "Y", "X" + upperTrail + "y"));
    EXPECT_FALSE(GbkSameText("ab", "abc"));
    AddRecentLine(RecentLine(Para("lib1", 20, upperTrail, 0, 1, 1)));
    AddRecentLine(RecentLine(Para("lib1", 20, lowerTrail, 0, 1, 1)));
    EXPECT_EQ(FileLines(m_dir).size(), 3u);
}

TEST_F(FlowRecentFile, ReadingStripsCrAndAFinalLineEndMakesNoEmptyLine)
{
    const std::string a = RecentLine(Toefl(1));
    const std::string b = RecentLine(Toefl(2));

    m_dir.WriteFile("UseRecord.txt", a + "\r\n" + b + "\r\n");
    std::vector<TRecentEntry> entries = ReadRecentEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Line, a);
    EXPECT_EQ(entries[1].Line, b);
    EXPECT_EQ(entries[1].Fields.back(), "1");
    EXPECT_TRUE(FileExists());

    // Without the last line end, and with bare LF line ends, as an editor may leave it.
    m_dir.WriteFile("UseRecord.txt", a + "\n" + b);
    entries = ReadRecentEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].Line, b);
    EXPECT_TRUE(FileExists());

    // Adding to such a file writes it back in CR LF.
    AddRecentLine(RecentLine(Toefl(3)));
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"),
              a + "\r\n" + b + "\r\n" + RecentLine(Toefl(3)) + "\r\n");
}

TEST_F(FlowRecentFile, ALineOfFewerThanSixFieldsEndsTheListAndDeletesTheFile)
{
    const std::string good = RecentLine(Toefl(1));
    m_dir.WriteFile("UseRecord.txt", good + "\r\nlib109#@#3480#@#" + kToefl + "#@#0#@#2\r\n"
                                         + RecentLine(Toefl(3)) + "\r\n");
    const std::vector<TRecentEntry> entries = ReadRecentEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Line, good);
    EXPECT_FALSE(FileExists());

    // An empty line in the middle is damage too.
    m_dir.WriteFile("UseRecord.txt", good + "\r\n\r\n" + good + "\r\n");
    EXPECT_EQ(ReadRecentEntries().size(), 1u);
    EXPECT_FALSE(FileExists());

    // A missing file is an empty list, and the next entry makes a new file.
    EXPECT_TRUE(ReadRecentEntries().empty());
    AddRecentLine(good);
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), good + "\r\n");
}

// Files may grow to a few bytes while it lives; a larger write fails with
// EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(FlowRecentFile, AFailedWriteLeavesTheOldListWholeAndNoTemporaryFileBehind)
{
    AddRecentLine(RecentLine(Toefl(1)));
    AddRecentLine(RecentLine(Toefl(2)));
    const std::string before = m_dir.ReadFile("UseRecord.txt");
    {
        const FileSizeLimit full(16);
        AddRecentLine(RecentLine(Toefl(3)));
    }
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), before);
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(m_dir.Dir()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string &n) { return n.rfind("UseRecord", 0) == 0; }),
              1);

    AddRecentLine(RecentLine(Toefl(3)));
    EXPECT_EQ(FileLines(m_dir).size(), 3u);
}

TEST_F(FlowRecentFile, TheTemporaryFileHasANameOfItsOwn)
{
    // What another writer left under the name every writer used to share is
    // neither in the way nor overwritten.
    m_dir.WriteFile("UseRecord.txt.new", "another writer's list\r\n");
    AddRecentLine(RecentLine(Toefl(1)));
    EXPECT_EQ(FileLines(m_dir), std::vector<std::string>{RecentLine(Toefl(1))});
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt.new"), "another writer's list\r\n");
    std::filesystem::remove(m_dir.Path("UseRecord.txt.new"));
    std::filesystem::create_directory(m_dir.Path("UseRecord.txt.new"));
    AddRecentLine(RecentLine(Toefl(2)));
    EXPECT_EQ(FileLines(m_dir).size(), 2u);
}

TEST_F(FlowRecentFile, OnlyGamesWhoseLineReadsBackAsTheSameGameFit)
{
    for (const std::string &name : {Gbk("旧#@#书"), std::string("#@#"), std::string("a\rb"),
                                    std::string("a\nb"), std::string("a#@"), std::string("x#@#")})
        EXPECT_FALSE(FitsRecentList(Para("lib5", 40, name, 0, 1, 1))) << name;
    EXPECT_FALSE(FitsRecentList(Para("lib#@#5", 40, "book", 0, 1, 1)));
    EXPECT_FALSE(FitsRecentList(Para("lib5#@", 40, "book", 0, 1, 1)));
    for (const std::string &name : {kToefl, std::string("a#@b"), std::string("@#b"),
                                    std::string("#"), std::string("a##"), std::string()})
        EXPECT_TRUE(FitsRecentList(Para("lib5", 40, name, 0, 1, 1))) << name;
}

// ---- captions and entries ---------------------------------------------------

TEST(FlowRecentCaption, CaptionsNameTheBookTheOrderTheTollGateAndTheLevel)
{
    const auto caption = [](const TGamePara &p) {
        TStringList fields;
        SplitText(RecentLine(p), kRecentSeparator, fields);
        return RecentCaption(fields);
    };
    EXPECT_EQ(caption(Toefl(3, 2, 0)), QStringLiteral("《最新TOEFL词汇》-顺序 第3关 较难"));
    EXPECT_EQ(caption(Toefl(1, 1, 1)), QStringLiteral("《最新TOEFL词汇》-打乱 第1关 容易"));
    EXPECT_EQ(caption(Toefl(174, 3, 2)), QStringLiteral("《最新TOEFL词汇》-打乱 第174关 困难"));
    EXPECT_EQ(caption(Toefl(5, 4, 0)), QStringLiteral("《最新TOEFL词汇》-顺序 第5关 "));

    // Fields are taken as written: only exactly "0" is the book's own order,
    // only exactly "1" … "3" name a level.
    TStringList fields = {"lib109", "3480", kToefl, "00", "7", "02"};
    EXPECT_EQ(RecentCaption(fields), QStringLiteral("《最新TOEFL词汇》-打乱 第7关 "));
}

TEST(FlowRecentCaption, AnEntryWithANumberFieldThatIsNotAWholeNumberIsNoEntry)
{
    const std::optional<TGamePara> p = ParseRecentEntry(RecentLine(Toefl(9, 3, 2)));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->StoreTableName, "lib109");
    EXPECT_EQ(p->WordCount, 3480);
    EXPECT_EQ(p->BookName, kToefl);
    EXPECT_EQ(p->BookType, 2);
    EXPECT_EQ(p->TollGateIndex, 9);
    EXPECT_EQ(p->Level, 3);

    const std::string book = "#@#" + kToefl + "#@#";
    for (const std::string &line :
         {"lib109#@#many" + book + "0#@#1#@#1", "lib109#@#3480" + book + "x#@#1#@#1",
          "lib109#@#3480" + book + "0#@#1.5#@#1", "lib109#@#3480" + book + "0#@#1#@#",
          "lib109#@#3480" + book + "0#@#1#@# 1", "lib109#@#3480" + book + "0#@#1"}) {
        EXPECT_FALSE(ParseRecentEntry(line).has_value()) << GbkToUtf8(line);
    }
}

}  // namespace
