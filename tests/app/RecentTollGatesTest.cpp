// The recent toll gates: the file UseRecord.txt (one line per toll gate,
// GBK, CR LF, the last 30) and the menu "最近关卡" built from it.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include "FakeAudioLayer.h"
#include "FakeSpeechLayer.h"
#include "GbkText.h"
#include "OfflineWindowServices.h"
#include "RecentTollGates.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UImpExpLib.h"
#include "UTypeGameType.h"

namespace {

const std::string kToefl = Gbk("《最新TOEFL词汇》");

TGamePara Para(const std::string &table, int wordCount, const std::string &book, int bookType,
               int tollGate, int level)
{
    TGamePara p;
    p.StoreTableName = table;
    p.WordCount = wordCount;
    p.BookName = book;
    p.BookType = bookType;
    p.TollGateIndex = tollGate;
    p.Level = level;
    p.WordsPerGate = 20;
    return p;
}

TGamePara Toefl(int tollGate, int level = 1, int bookType = 0)
{
    return Para("lib109", 3480, kToefl, bookType, tollGate, level);
}

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

class AppRecentFile : public ::testing::Test {
protected:
    bool FileExists() const { return std::filesystem::exists(m_dir.Path("UseRecord.txt")); }
    TempProgramDir m_dir;
};

// ---- the file ---------------------------------------------------------------

TEST_F(AppRecentFile, LinesAreTheSixFieldsInGbkWithCrLfAndTheLastThirtyStay)
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

TEST_F(AppRecentFile, AnEntryAlreadyListedKeepsItsPlaceAndAnotherLevelIsANewEntry)
{
    AddRecentLine(RecentLine(Toefl(1)));
    AddRecentLine(RecentLine(Toefl(2)));
    AddRecentLine(RecentLine(Toefl(3)));
    const std::string before = m_dir.ReadFile("UseRecord.txt");

    AddRecentLine(RecentLine(Toefl(2)));
    AddRecentLine(RecentLine(Toefl(1)));
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), before);

    AddRecentLine(RecentLine(Toefl(2, 3)));      // another level
    AddRecentLine(RecentLine(Toefl(2, 1, 2)));   // the shuffled copy
    const std::vector<std::string> lines = FileLines(m_dir);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], RecentLine(Toefl(2, 3)));
    EXPECT_EQ(lines[4], RecentLine(Toefl(2, 1, 2)));
}

TEST_F(AppRecentFile, BookNamesCompareWithoutTheCaseOfLatinLettersOnly)
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

TEST_F(AppRecentFile, ReadingStripsCrAndAFinalLineEndMakesNoEmptyLine)
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
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), a + "\r\n" + b + "\r\n" + RecentLine(Toefl(3)) + "\r\n");
}

TEST_F(AppRecentFile, ALineOfFewerThanSixFieldsEndsTheListAndDeletesTheFile)
{
    const std::string good = RecentLine(Toefl(1));
    m_dir.WriteFile("UseRecord.txt",
                    good + "\r\nlib109#@#3480#@#" + kToefl + "#@#0#@#2\r\n" + RecentLine(Toefl(3)) + "\r\n");
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

TEST_F(AppRecentFile, AFailedWriteLeavesTheOldListWholeAndNoTemporaryFileBehind)
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

TEST_F(AppRecentFile, TheTemporaryFileHasANameOfItsOwn)
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

TEST_F(AppRecentFile, OnlyGamesWhoseLineReadsBackAsTheSameGameFit)
{
    for (const std::string &name : {Gbk("旧#@#书"), std::string("#@#"), std::string("a\rb"),
                                    std::string("a\nb"), std::string("a#@"), std::string("x#@#")})
        EXPECT_FALSE(FitsRecentList(Para("lib5", 40, name, 0, 1, 1))) << name;
    EXPECT_FALSE(FitsRecentList(Para("lib#@#5", 40, "book", 0, 1, 1)));
    EXPECT_FALSE(FitsRecentList(Para("lib5#@", 40, "book", 0, 1, 1)));
    for (const std::string &name : {kToefl, std::string("a#@b"), std::string("@#b"), std::string("#"),
                                    std::string("a##"), std::string()})
        EXPECT_TRUE(FitsRecentList(Para("lib5", 40, name, 0, 1, 1))) << name;
}

// ---- captions and entries ---------------------------------------------------

TEST(AppRecentCaption, CaptionsNameTheBookTheOrderTheTollGateAndTheLevel)
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

TEST(AppRecentCaption, AnEntryWithANumberFieldThatIsNotAWholeNumberIsNoEntry)
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

// ---- the menu in the main window --------------------------------------------

class AppRecentWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedMessageBoxes::Global().Clear();
        ASSERT_TRUE(m_db.ConnectDatabase());
        SetDataInterface(&m_db);
    }
    void TearDown() override
    {
        m_window.reset();
        SetDataInterface(nullptr);
    }

    TFrmType &Open()
    {
        m_window = std::make_unique<TFrmType>(OfflineWindowServices(m_speech, m_audio));
        m_window->show();
        QApplication::processEvents();
        return *m_window;
    }

    // Drops a key from the copied settings file.
    void RemoveSetting(TSettingKey key)
    {
        const std::string text = m_dir.ReadFile("data/typeconfig.ini");
        std::string kept;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            const std::string line = text.substr(start, end - start);
            if (line.rfind(std::string(key.Name()) + "=", 0) != 0)
                kept += line;
            start = end;
        }
        m_dir.WriteFile("data/typeconfig.ini", kept);
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (const QAction *item : m_window->nRecently->actions())
            captions << item->text();
        return captions;
    }

    QAction *Item(const QString &caption) const
    {
        for (QAction *item : m_window->nRecently->actions()) {
            if (item->text() == caption)
                return item;
        }
        return nullptr;
    }

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
    TDataInterface m_db;
    FakeSpeechLayer m_speech{{"Microsoft Anna - English (United States)"}};
    FakeAudioLayer m_audio;
    std::unique_ptr<TFrmType> m_window;
};

TEST_F(AppRecentWindow, StartUpAddsTheGameAndBookTypeOneReadsShuffledInTheMenuOnly)
{
    // Without the key the book type is 1, which the label calls the book's
    // own order and the menu the shuffled copy.
    RemoveSetting(Setting::BookType);
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(3, 2)) + "\r\n");
    TFrmType &window = Open();

    EXPECT_EQ(window.FGamePara.BookType, 1);
    EXPECT_EQ(window.labBook->text(), QStringLiteral("《最新TOEFL词汇》-顺序"));
    EXPECT_EQ(Captions(), QStringList({QStringLiteral("《最新TOEFL词汇》-顺序 第3关 较难"),
                                       QStringLiteral("《最新TOEFL词汇》-打乱 第1关 容易")}));
    // The stored line is the item's hidden text: kept for the click, never
    // shown in the status bar while the item is hovered.
    EXPECT_EQ(window.nRecently->actions().back()->data().toByteArray().toStdString(),
              RecentLine(Toefl(1, 1, 1)));
    for (const QAction *item : window.nRecently->actions())
        EXPECT_TRUE(item->statusTip().isEmpty()) << item->text().toStdString();
}

TEST_F(AppRecentWindow, AnEntryBeyondItsBookIsBroughtIntoRangeLikeTheSavedTollGate)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(999, 2)) + "\r\n" + RecentLine(Toefl(-3, 1)) + "\r\n");
    window.BuildRecentMenu();
    for (const auto &[caption, gate] : {std::pair{QStringLiteral("《最新TOEFL词汇》-顺序 第999关 较难"), 174},
                                        std::pair{QStringLiteral("《最新TOEFL词汇》-顺序 第-3关 容易"), 1}}) {
        SCOPED_TRACE(caption.toStdString());
        QAction *item = Item(caption);
        ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();
        item->trigger();
        QApplication::processEvents();
        EXPECT_EQ(window.FGamePara.TollGateIndex, gate);
        EXPECT_EQ(window.labGate->text(), QStringLiteral("关卡：第%1关（共174关）").arg(gate));
        EXPECT_EQ(window.FTypeGame()->Words().size(), 20u);
    }
}

TEST_F(AppRecentWindow, ADamagedFileGivesTheItemsBeforeTheBadLineAndIsDeleted)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(7)) + "\r\nlib109#@#3480#@#" + kToefl
                                         + "#@#0#@#8\r\n" + RecentLine(Toefl(9)) + "\r\n");
    window.BuildRecentMenu();
    EXPECT_EQ(Captions(), QStringList({QStringLiteral("《最新TOEFL词汇》-顺序 第7关 容易")}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("UseRecord.txt")));

    // The next rebuild finds no file: the menu is empty.
    window.BuildRecentMenu();
    EXPECT_TRUE(Captions().isEmpty());
}

TEST_F(AppRecentWindow, AnAmpersandInABookNameIsShownAsItIs)
{
    TFrmType &window = Open();
    window.AddRecentTollGate(Para("lib200", 40, Gbk("《R&D词汇》"), 0, 2, 1));
    ASSERT_FALSE(Captions().isEmpty());
    // "&&" is how a menu shows one '&'.
    EXPECT_EQ(Captions().back(), QStringLiteral("《R&&D词汇》-顺序 第2关 容易"));
}

TEST_F(AppRecentWindow, ChoosingAnotherBookWhilePlayingGivesReadyAtThatTollGate)
{
    TFrmType &window = Open();
    TTypeGameType &board = *window.FTypeGame();
    // A few points on the toefl book first.
    window.sbStartClick();
    ASSERT_TRUE(board.IsPlaying());
    window.FPrevScore = 300;
    window.labScore->setText(QStringLiteral("300"));

    const TGamePara cet4 = Para("lib103", 3812, Gbk("《大学英语四级词汇》"), 0, 5, 2);
    window.AddRecentTollGate(cet4);
    const int items = window.nRecently->actions().size();
    QAction *item = Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 较难"));
    ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();

    item->trigger();
    // The click is handled after the menu is done with its item.
    EXPECT_EQ(window.FGamePara.StoreTableName, "lib109");
    QApplication::processEvents();

    EXPECT_EQ(window.FGamePara.StoreTableName, "lib103");
    EXPECT_EQ(window.FGamePara.BookName, cet4.BookName);
    EXPECT_EQ(window.FGamePara.WordCount, 3812);
    EXPECT_EQ(window.FGamePara.BookType, 0);
    EXPECT_EQ(window.FGamePara.TollGateIndex, 5);
    EXPECT_EQ(window.FGamePara.TollGateCount, 191);
    EXPECT_EQ(window.FGamePara.Level, 2);

    // Ready: standing still with the words of that toll gate, counts 0.
    EXPECT_FALSE(board.IsPlaying());
    EXPECT_FALSE(board.RunManualTick());
    TWordInfos expected;
    ASSERT_TRUE(LoadTollGateWords(window.FGamePara, 5, expected));
    ASSERT_EQ(board.Words().size(), 20u);
    EXPECT_EQ(board.Words().front().Spelling, expected.front().Spelling);
    EXPECT_EQ(board.Words().back().Spelling, expected.back().Spelling);
    EXPECT_EQ(board.Level(), 2);
    EXPECT_EQ(board.RightWordCount() + board.ErrorWordCount(), 0);
    EXPECT_TRUE(window.sbStart->isEnabled());
    EXPECT_FALSE(window.btnPause->isEnabled());
    EXPECT_FALSE(window.sbReStart->isEnabled());
    EXPECT_EQ(window.labBook->text(), QStringLiteral("《大学英语四级词汇》-顺序"));
    EXPECT_EQ(window.labGate->text(), QStringLiteral("关卡：第5关（共191关）"));
    EXPECT_EQ(window.labScore->text(), QStringLiteral("0"));
    EXPECT_EQ(window.labRightCount->text(), QStringLiteral("0"));
    EXPECT_EQ(window.labErrorCount->text(), QStringLiteral("0"));
    EXPECT_EQ(window.FPrevScore, 0);
    EXPECT_EQ(window.sbLevel->text(), QStringLiteral("较难"));
    EXPECT_TRUE(window.N9->isChecked());
    EXPECT_FALSE(window.N8->isChecked());

    // The entry was found in the list again: the menu is rebuilt, not longer.
    EXPECT_EQ(window.nRecently->actions().size(), items);
    EXPECT_NE(Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 较难")), nullptr);

    // "开始游戏" plays the chosen toll gate.
    window.sbStartClick();
    EXPECT_TRUE(board.RunManualTick());
}

TEST_F(AppRecentWindow, AnEntryWithANonNumericFieldChangesNothing)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt", "lib103#@#3812#@#" + Gbk("《大学英语四级词汇》") + "#@#0#@#5#@#hard\r\n");
    window.BuildRecentMenu();
    QAction *item = Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 "));
    ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();
    const std::vector<std::string> before = {window.FGamePara.StoreTableName,
                                             window.labBook->text().toStdString(),
                                             window.labGate->text().toStdString()};

    item->trigger();
    QApplication::processEvents();

    EXPECT_EQ(window.FGamePara.StoreTableName, "lib109");
    EXPECT_EQ(window.FGamePara.TollGateIndex, 1);
    const std::vector<std::string> after = {window.FGamePara.StoreTableName,
                                            window.labBook->text().toStdString(),
                                            window.labGate->text().toStdString()};
    EXPECT_EQ(after, before);
    EXPECT_EQ(Captions().size(), 1);  // no new entry was added
}

TEST_F(AppRecentWindow, ABookWhoseOldNameHoldsTheSeparatorIsPlayedButNotListed)
{
    // An older database could name a book anything.
    const std::string name = Gbk("旧#@#书");
    ASSERT_TRUE(AddLibraryBookInfo(name, "lib109", 3480, 900, 0, 7, 1));
    WriteSysString(Setting::StoreTableName, "lib109");
    WriteSysString(Setting::BookName, name);
    WriteSysInteger(Setting::WordCount, 3480);
    WriteSysInteger(Setting::BookType, 0);
    WriteSysInteger(Setting::TollGateIndex, 1);
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(3, 2)) + "\r\n");
    const std::string before = m_dir.ReadFile("UseRecord.txt");

    TFrmType &window = Open();
    EXPECT_EQ(window.FGamePara.BookName, name);
    EXPECT_EQ(window.labBook->text(), QStringLiteral("旧#@#书-顺序"));
    EXPECT_EQ(window.FTypeGame()->Words().size(), 40u);
    // The next toll gate is put on the board and still not listed.
    window.FGamePara.TollGateIndex = 2;
    window.LoadTollGate(2);
    EXPECT_EQ(window.labGate->text(), QStringLiteral("关卡：第2关（共174关）"));
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), before);
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("《最新TOEFL词汇》-顺序 第3关 较难")});
}

} // namespace
