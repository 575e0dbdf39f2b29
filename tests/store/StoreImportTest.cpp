#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "Scramble.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordFile.h"
#include "WordLine.h"
#include "WordTables.h"

namespace {

class StoreImport : public StoreFixture {
protected:
    // Imports the bytes as file "list.txt" with scripted answers.
    bool Import(const std::string &bytes, TQuietProgress &progress,
                const std::string &name = "book", int bookClass = 4)
    {
        return ImportWordLibrary(WriteWordFile("list.txt", bytes), name, progress, bookClass);
    }
};

TEST(StoreImportLine, SplitsAtTheFirstBrackets)
{
    const auto split = [](const std::string &line) {
        const TWordLine w = SplitWordLine(line);
        return std::vector<std::string>{w.Spelling, w.Pronunciation, w.Meaning};
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(split("abandon[5'bAnd5n]v.x"), (V{"abandon", "5'bAnd5n", "v.x"}));
    EXPECT_EQ(split("word [x]y"), (V{"word ", "x", "y"}));
    EXPECT_EQ(split("a[b"), (V{"a", "", "a[b"}));
    EXPECT_EQ(split("x]ab[cd"), (V{"x]ab", "", "ab[cd"}));
    EXPECT_EQ(split("a[b]c[d]e]"), (V{"a", "b", "c[d]e]"}));
    EXPECT_EQ(split("no brackets"), (V{"", "", ""}));
    EXPECT_EQ(split(""), (V{"", "", ""}));
    EXPECT_EQ(split("[p]m"), (V{"", "p", "m"}));
    // 0x81 0x5B and 0x81 0x5D are double-byte characters, not brackets.
    EXPECT_EQ(split("a\x81\x5B[p\x81\x5Dq]m"), (V{"a\x81\x5B", "p\x81\x5Dq", "m"}));

    EXPECT_TRUE(IsBlankText(" \t\x01 "));
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_FALSE(IsBlankText(" a "));
}

TEST_F(StoreImport, LinesAreStoredAsTheFileHasThem)
{
    TQuietProgress progress;
    ASSERT_TRUE(Import("abandon[5'bAnd5n]v." + Gbk("放弃")
                           + "\r\n"
                             "word [x]y\r\n"
                             "a[b\r\n"
                             "c]d[e\r\n"
                             "f[g]h[i]j]\r\n"
                             "don't[x]y",
                       progress));
    EXPECT_TRUE(progress.Questions().isEmpty());
    const std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].Spelling, "abandon");
    EXPECT_EQ(rows[0].Pronunciation, "8'bAnd8n");
    EXPECT_EQ(rows[0].Meaning, "v." + Gbk("放弃"));
    EXPECT_EQ(rows[1].Spelling, "word ");
    EXPECT_EQ((std::vector<std::string>{rows[2].Spelling, rows[2].Pronunciation, rows[2].Meaning}),
              (std::vector<std::string>{"a", "", "a[b"}));
    EXPECT_EQ(rows[3].Spelling, "c]d");
    EXPECT_EQ(rows[3].Meaning, "d[e");
    EXPECT_EQ(rows[4].Meaning, "h[i]j]");
    EXPECT_EQ(rows[5].Spelling, "don't");

    EXPECT_EQ(GetBookWordNumber(1), 6);
    EXPECT_EQ(GetBookClass(1), 4);
    EXPECT_EQ(Scalar("SELECT isdefault FROM bookinfo WHERE id = 1"), 1);
    EXPECT_EQ(Scalar("SELECT booktype FROM bookinfo WHERE id = 1"), 0);
    EXPECT_EQ(Scalar("SELECT max(id) FROM lib1"), 6);
}

TEST_F(StoreImport, AnErrorLineAsksWithItsNumberAndYesSkipsIt)
{
    TQuietProgress progress(true);
    ASSERT_TRUE(Import("a[1]x\n\nno bracket\n  [x]y\nb[2]z\n", progress));
    EXPECT_EQ(progress.Questions(),
              (QStringList{ErrorLineQuestion(2), ErrorLineQuestion(3), ErrorLineQuestion(4)}));
    EXPECT_EQ(ErrorLineQuestion(2),
              QStringLiteral("导入的词库中第2条有错误,是否略过继续执行导入?"));
    const std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Spelling, "b");
    // The book counts the words it holds, so no empty toll gate follows.
    EXPECT_EQ(GetBookWordNumber(1), 2);
    EXPECT_EQ(Scalar("SELECT max(id) FROM lib1"), 2);
    // Checking and writing each count once per line.
    EXPECT_EQ(progress.Maximum(), 10);
    EXPECT_EQ(progress.Position(), 10);
}

TEST_F(StoreImport, NoWritesNothingAndTheNextImportTakesTheSameId)
{
    TQuietProgress no(false);
    EXPECT_FALSE(Import("a[1]x\nb[2]y\n\nc[3]z\n", no));
    EXPECT_EQ(no.Questions(), QStringList{ErrorLineQuestion(3)});
    EXPECT_FALSE(TableExists("lib1"));
    EXPECT_FALSE(BookNameExists("book"));
    // An older version's stopped import left its table: the next import replaces it.
    ASSERT_TRUE(CreateLibraryTable("lib1"));
    ASSERT_TRUE(ImportWordLine("left[1]over", "lib1"));

    TQuietProgress yes(true);
    ASSERT_TRUE(Import("only[1]one\n", yes));
    EXPECT_EQ(GetBookId("book", 0), 1);
    const std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Spelling, "only");
}

TEST_F(StoreImport, ScrambledSpellingsFitUpTo113Bytes)
{
    WriteConfig(1);
    TQuietProgress progress(true);
    ASSERT_TRUE(
        Import(std::string(113, 'a') + "[]\n" + std::string(114, 'b') + "[x]y\nc[]\n", progress));
    EXPECT_EQ(progress.Questions(), QStringList{ErrorLineQuestion(2)});
    TGamePara para;
    para.StoreTableName = "lib1";
    TWordInfos words;
    ASSERT_TRUE(LoadTollGateWords(para, 1, words));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].Spelling, std::string(113, 'a'));
    EXPECT_EQ(words[0].Pronunciation, "");
    EXPECT_EQ(words[1].Spelling, "c");
    EXPECT_EQ(words[1].Meaning, "");
    EXPECT_EQ(TableRows("lib1")[0].Spelling.size(), 254u);
}

TEST_F(StoreImport, Utf8AndCrLfListsAreReadAsTextNotAsBytes)
{
    TQuietProgress progress;
    // UTF-8 without a mark, CR LF line ends.
    ASSERT_TRUE(Import("apple[5pl]苹果\r\npear[x]梨\r\n", progress, "utf8"));
    std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Meaning, Gbk("苹果"));
    EXPECT_EQ(rows[1].Meaning, Gbk("梨"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM lib1 WHERE meaning LIKE '%' || char(13) || '%'"), 0);

    // A byte-order mark makes even an ASCII list UTF-8 (and is not part of the word).
    ASSERT_TRUE(Import("\xEF\xBB\xBFkiwi[k]k\n", progress, "bom"));
    EXPECT_EQ(TableRows("lib2")[0].Spelling, "kiwi");

    // GBK stays GBK.
    ASSERT_TRUE(Import("plum[p]" + Gbk("李子") + "\r\n", progress, "gbk"));
    EXPECT_EQ(TableRows("lib3")[0].Meaning, Gbk("李子"));
    EXPECT_TRUE(progress.Questions().isEmpty());
}

TEST_F(StoreImport, TextThatIsNotGbkIsAnErrorLineNeverAChangedWord)
{
    TQuietProgress progress(true);
    // Line 2 ends in a lone lead byte; line 3 has a byte GBK never uses.
    ASSERT_TRUE(Import("a[x]" + Gbk("好") + "\nb[x]\x81\nc[x]\xFF\xFF\nd[x]y\n", progress));
    EXPECT_EQ(progress.Questions(), (QStringList{ErrorLineQuestion(2), ErrorLineQuestion(3)}));
    EXPECT_EQ(TableRows("lib1").size(), 2u);

    // A UTF-8 list with a character GBK cannot hold.
    TQuietProgress utf8(true);
    ASSERT_TRUE(Import("smile[s]笑\ngrin[g]\xF0\x9F\x98\x80\n", utf8, "emoji"));
    EXPECT_EQ(utf8.Questions(), QStringList{ErrorLineQuestion(2)});
    EXPECT_EQ(TableRows("lib2").size(), 1u);
}

TEST_F(StoreImport, AUtf8CharacterCutOffIsAnErrorLineNeverAShorterWord)
{
    // As printf '\xef\xbb\xbfable[x]能够\r\ncut[k]n. 切\xe6' writes it: the
    // last character of the file is cut off after its first byte.
    const std::string cut = "\xEF\xBB\xBF"
                            "able[x]能够\r\ncut[k]n. 切\xE6";
    TQuietProgress yes(true);
    ASSERT_TRUE(Import(cut, yes, "cut"));
    EXPECT_EQ(yes.Questions(), QStringList{ErrorLineQuestion(2)});
    const std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Meaning, Gbk("能够"));

    // Cut off at the end of a line inside the file, and No to it.
    TQuietProgress no(false);
    EXPECT_FALSE(Import("\xEF\xBB\xBF"
                        "cut[k]n. 切\xE6\xB8\r\nable[x]能够\r\n",
                        no, "inside"));
    EXPECT_EQ(no.Questions(), QStringList{ErrorLineQuestion(1)});
    EXPECT_FALSE(TableExists("lib2"));
}

TEST_F(StoreImport, AFileThatGivesNoRowIsNoBookAndItsNameStaysFree)
{
    TQuietProgress progress(true);
    EXPECT_FALSE(Import("", progress));
    EXPECT_TRUE(progress.Questions().isEmpty());
    // Every line an error line answered Yes; blank lines; a binary file.
    for (const std::string &bytes : {std::string("x\n\ny\n"), std::string("\r\n \r\n\t\r\n"),
                                     std::string("\x7F"
                                                 "ELF\x02\x01\x01\0\0\xFF\xFE\n\x01",
                                                 13)}) {
        TQuietProgress yes(true);
        EXPECT_FALSE(Import(bytes, yes));
        EXPECT_FALSE(yes.Questions().isEmpty());
    }
    EXPECT_FALSE(TableExists("lib1"));
    EXPECT_FALSE(BookNameExists("book"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 0);
    TQuietProgress later;
    ASSERT_TRUE(Import("a[b]c\n", later));
    EXPECT_EQ(GetBookId("book", 0), 1);
}

TEST_F(StoreImport, AnUnreadableFileThrowsAndChangesNothing)
{
    TQuietProgress progress;
    EXPECT_THROW(ImportWordLibrary(QString::fromStdString(dir.Path("none.txt")), "b", progress, 1),
                 EWordFileError);
    EXPECT_FALSE(TableExists("lib1"));
    EXPECT_FALSE(db->Connection().InTransaction());
}

TEST_F(StoreImport, AnIdTheCatalogueHoldsIsRefused)
{
    const int id = ImportNumberedBook("first", 3);
    TQuietProgress progress;
    EXPECT_FALSE(ImportWordLibraryAs(WriteWordFile("x.txt", "a[b]c\n"), "second", progress, 1, id));
    EXPECT_EQ(TableRows("lib1").size(), 3u);
    EXPECT_FALSE(BookNameExists("second"));
}

TEST_F(StoreImport, ProgressMovesAndEventsAreProcessedEveryLine)
{
    class Counting final : public TQuietProgress {
    public:
        void ProcessPendingEvents() override { ++events; }
        void SetPosition(int p) override
        {
            positions.push_back(p);
            TQuietProgress::SetPosition(p);
        }
        int events = 0;
        std::vector<int> positions;
    } progress;
    ASSERT_TRUE(Import("a[]\nb[]\nc[]", progress));
    EXPECT_EQ(progress.events, 6);
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(StoreImport, AnImportKilledMidWayLeavesOnlyCompleteBooks)
{
    ImportNumberedBook("complete", 10);
    std::string bytes;
    for (int k = 0; k < 2000; ++k)
        bytes.append("w").append(std::to_string(k)).append("[p]m\n");
    const QString file = WriteWordFile("big.txt", bytes);

    // A connection must not cross fork(): the child opens its own.
    db->CloseDatabase();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        class Killer final : public TQuietProgress {
        public:
            void SetPosition(int p) override
            {
                if (p == 3000)  // half-way through writing the rows
                    ::raise(SIGKILL);
                TQuietProgress::SetPosition(p);
            }
        } killer;
        TDataInterface own;
        SetDataInterface(&own);
        if (own.ConnectDatabase())
            ImportWordLibrary(file, "killed", killer, 1);
        ::_exit(3);  // never reached when the kill happened
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 1);
    EXPECT_TRUE(BookNameExists("complete"));
    EXPECT_FALSE(TableExists("lib2"));
    TSqlQuery check = db->Query("PRAGMA integrity_check");
    ASSERT_TRUE(check.Next());
    EXPECT_EQ(check.Text(0), "ok");
    // The next import takes the id the killed one had.
    EXPECT_EQ(ImportNumberedBook("next", 5), 2);
}

// Progress that asks the import to stop once a number of lines is read.
class StoppingProgress final : public TStoreProgress {
public:
    explicit StoppingProgress(int stopAt) : m_stopAt(stopAt) {}
    void SetMaximum(int) override {}
    void SetPosition(int position) override { m_position = position; }
    int Position() const override { return m_position; }
    void ProcessPendingEvents() override {}
    bool AskYesNo(const QString &) override
    {
        ++questions;
        return true;
    }
    bool StopRequested() override { return m_position >= m_stopAt; }
    int questions = 0;

private:
    int m_stopAt;
    int m_position = 0;
};

TEST_F(StoreImport, AnImportAskedToStopEndsAsOnNoWithoutAQuestion)
{
    const auto leftRows = [this] {
        return TableExists("lib1") ? TableRows("lib1").size() : size_t{0};
    };
    std::string bytes;
    for (int k = 1; k <= 10; ++k)
        bytes += "w" + std::to_string(k) + "[p]m\n";
    StoppingProgress stop(3);
    EXPECT_FALSE(ImportWordLibrary(WriteWordFile("ten.txt", bytes), "stopped", stop, 4));
    EXPECT_EQ(stop.questions, 0);
    EXPECT_EQ(stop.Position(), 3);
    EXPECT_FALSE(BookNameExists("stopped"));
    EXPECT_FALSE(db->Connection().InTransaction());
    const size_t afterStop = leftRows();

    // Whatever No at the fourth line leaves of a book, the stop leaves the same.
    TQuietProgress no(false);
    EXPECT_FALSE(Import("w1[p]m\nw2[p]m\nw3[p]m\n\nw5[p]m\n", no, "refused"));
    EXPECT_EQ(no.Questions(), QStringList{ErrorLineQuestion(4)});
    EXPECT_EQ(leftRows(), afterStop);
    EXPECT_FALSE(BookNameExists("refused"));
}

}  // namespace
