// A game over a whole book: toll gate after toll gate with running totals,
// the end of the game, the game buttons and levels, and the book, import,
// leaderboard and record commands.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "ChildProcess.h"
#include "Clock.h"
#include "DayChangeTimer.h"
#include "FsrsScheduler.h"
#include "GameWindowFixture.h"
#include "GbkText.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UFrmGameRecord.h"
#include "UFrmImportLib.h"
#include "UFrmInputBox.h"
#include "UFrmSelectBook.h"
#include "StudyProgressPlugin.h"
#include "UFrmTextBook.h"
#include "UFrmType.h"
#include "UTypeGameType.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

std::vector<std::string> TestSpellings(int from, int to, char first = 'q')
{
    std::vector<std::string> out;
    for (int k = from; k <= to; ++k)
        out.push_back(TestSpelling(k, first));
    return out;
}

QString EndMessage(int words, int percent)
{
    return QStringLiteral(
               "恭喜您完成了此次游戏的所有关卡！\r完成单词数：%1\r正确率：%2%\r再玩一次吧？")
        .arg(words)
        .arg(percent);
}

// Types the name into the name prompt of the leaderboard and confirms it.
std::function<void(QDialog &)> EnterName(const QString &name)
{
    return [name](QDialog &dialog) {
        auto *box = dynamic_cast<TFrmInputBox *>(&dialog);
        ASSERT_NE(box, nullptr);
        box->Edit()->setText(name);
        Control<QPushButton>(dialog, "btnOk")->click();
    };
}

int RecordsNamed(const QString &name, int score)
{
    int n = 0;
    for (const TGameRecordItem &r : LoadGameRecords())
        n += GbkToQString(r.Name) == name && r.Score == score ? 1 : 0;
    return n;
}

// ---- toll gate after toll gate ---------------------------------------------

using AppFlowTollGates = GameWindowTest;

TEST_F(AppFlowTollGates, AFinishedTollGateLoadsTheNextAndAResizeRestartsItOnTheTotals)
{
    const TestBook book = ImportBook("六十", 60);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    PlayTollGate(4);

    EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 2);
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共3关）"));
    EXPECT_EQ(Counts(), "400 4 16");
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(20, 39));
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Ticks(3), 3);

    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "600 6 16");
    const int typedBefore = Board().LastWordIndex();
    ASSERT_GT(typedBefore, 0);

    // A real change of the board's size starts the toll gate again.
    Window().resize(Window().size() + QSize(120, 60));
    QApplication::processEvents();
    EXPECT_EQ(Board().size(), QSize(935, 484));
    EXPECT_EQ(Board().RightWordCount(), 0);
    EXPECT_EQ(Board().ErrorWordCount(), 0);
    EXPECT_EQ(Counts(), "400 4 16");
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共3关）"));
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(20, 39));
    EXPECT_EQ(Ticks(3), 3);

    // Showing the window again is no change of size.
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    Window().hide();
    Window().show();
    QApplication::processEvents();
    EXPECT_EQ(Counts(), "500 5 16");
}

TEST_F(AppFlowTollGates, TheShippedBookEndsAfterItsTollGate174)
{
    SetKey(Setting::TollGateIndex, "173");
    Start();
    StartGame();
    PlayTollGate(0);
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第174关（共174关）"));
    EXPECT_EQ(Board().Words().size(), 20U);
    EXPECT_TRUE(m_boxes.Shown().empty());

    m_boxes.Answer(QMessageBox::No);
    PlayTollGate(0);
    EXPECT_EQ(m_boxes.Texts(), QStringList{EndMessage(20, 0)});
    EXPECT_EQ(Counts(), "0 0 60");
}

// ---- the end of the game ----------------------------------------------------

struct EndCase {
    int words;
    int right;
    int percent;
};

class AppFlowEnd : public GameWindowTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(AppFlowEnd, TheLastTollGateShowsItsWordsAndRateAndNoLeavesTheGameFinished)
{
    const EndCase c = GetParam();
    const TestBook book = ImportBook("一关", c.words);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    m_boxes.Answer(QMessageBox::No);
    PlayTollGate(c.right);

    ASSERT_EQ(m_boxes.Shown().size(), 1U);
    const ShownMessage &end = m_boxes.Shown()[0];
    EXPECT_EQ(end.text, EndMessage(c.words, c.percent));
    EXPECT_EQ(end.caption, QStringLiteral("提示信息"));
    EXPECT_EQ(end.icon, TMsgIcon::Question);
    EXPECT_EQ(end.buttons, QMessageBox::Yes | QMessageBox::No);

    // Finished: the board has stopped with its boxes cleared, the buttons
    // stay as in play and the totals stay shown.
    EXPECT_EQ(Ticks(3), 0);
    EXPECT_TRUE(Board().WordCanvas1().Items.empty());
    EXPECT_TRUE(Board().WordCanvas2().Items.empty());
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Counts(), std::to_string(100 * c.right) + " " + std::to_string(c.right) + " "
                            + std::to_string(c.words - c.right));
    EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 1);
}

INSTANTIATE_TEST_SUITE_P(AppFlow, AppFlowEnd,
                         ::testing::Values(EndCase{20, 15, 75}, EndCase{20, 19, 95},
                                           EndCase{8, 1, 12}, EndCase{8, 3, 38}));

using AppFlowEndOfGame = GameWindowTest;

TEST_F(AppFlowEndOfGame, ATollGateWithoutWordsEndsWithNoWordsAndZeroPercent)
{
    SetKey(Setting::StoreTableName, "nosuchtable");
    SetKey(Setting::WordCount, "20");
    Start();
    // At start-up the missing words become 20 empty entries.
    ASSERT_EQ(Board().Words().size(), 20U);
    for (const TWordInfo &word : Board().Words())
        EXPECT_TRUE(word.Spelling.empty());
    StartFromTheFirstTollGate();
    EXPECT_TRUE(Board().Words().empty());
    m_boxes.Answer(QMessageBox::No);
    Ticks(1);
    EXPECT_EQ(m_boxes.Texts(), QStringList{EndMessage(0, 0)});
}

TEST_F(AppFlowEndOfGame, YesRestartsTheBookAndRecordsTheScoreShownAtTheEnd)
{
    const TestBook book = ImportBook("两关", 40);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    PlayTollGate(4);
    ASSERT_EQ(Counts(), "400 4 16");

    m_boxes.Answer(QMessageBox::Yes);  // play again
    m_boxes.Answer(QMessageBox::Yes);  // record the score
    ScriptDialog([this](QDialog &dialog) {
        // Toll gate 1 already runs while the name is asked for.
        EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 1);
        EXPECT_EQ(Spellings(Board().Words()), TestSpellings(0, 19));
        EXPECT_TRUE(Board().IsPlaying());
        EnterName(QStringLiteral("小明"))(dialog);
    });
    PlayTollGate(6);

    EXPECT_EQ(m_boxes.Texts(),
              (QStringList{EndMessage(20, 30), QStringLiteral("是否记录您的游戏成绩？")}));
    EXPECT_EQ(RecordsNamed(QStringLiteral("小明"), 1000), 1);
    EXPECT_EQ(Counts(), "0 0 0");
    EXPECT_EQ(Window().Flow().PrevTotals(), TGameTotals{});
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第1关（共2关）"));
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Ticks(3), 3);
    // The new game counts from zero.
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "100 1 0");
}

TEST_F(AppFlowEndOfGame, TollGateOneFinishedDuringASlowNamePromptKeepsItsCounts)
{
    const TestBook book = ImportBook("两关", 40);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    PlayTollGate(4);

    m_boxes.Answer(QMessageBox::Yes);  // play again
    m_boxes.Answer(QMessageBox::Yes);  // record the score
    ScriptDialog([this](QDialog &dialog) {
        // The new game counts from zero, and the player is slow over the
        // name: its toll gate 1 ends meanwhile and toll gate 2 comes on.
        EXPECT_EQ(Counts(), "0 0 0");
        PlayTollGate(5);
        EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 2);
        EXPECT_EQ(Counts(), "500 5 15");
        EnterName(QStringLiteral("小红"))(dialog);
    });
    PlayTollGate(6);  // the last toll gate of the first game

    EXPECT_EQ(RecordsNamed(QStringLiteral("小红"), 1000), 1);
    // Closing the prompt wiped nothing of the new game's toll gate 1.
    EXPECT_EQ(Counts(), "500 5 15");
    EXPECT_EQ(Window().Flow().PrevTotals(), (TGameTotals{500, 5, 15}));
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共2关）"));
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "600 6 15");
}

TEST_F(AppFlowEndOfGame, ScoresOfAHugeLevelAddUpWithoutOverflow)
{
    const TestBook book = ImportBook("两关", 40);
    UseBook(book, 1, 2147483647);
    Start();
    StartFromTheFirstTollGate();
    PlayTollGate(1);
    EXPECT_EQ(Counts(), "2147483647 1 19");
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "2147483647 2 19");
}

TEST_F(AppFlowEndOfGame, PauseAndContinueWhenFinishedShowTheEndAgain)
{
    const TestBook book = ImportBook("一关", 20);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    m_boxes.Answer(QMessageBox::No);
    PlayTollGate(2);
    ASSERT_EQ(m_boxes.Shown().size(), 1U);

    Control<QToolButton>(Window(), "btnPause")->click();
    EXPECT_EQ(Buttons(), "01101");
    Control<QToolButton>(Window(), "btnContinue")->click();
    m_boxes.Answer(QMessageBox::No);
    Ticks(1);
    EXPECT_EQ(m_boxes.Texts(), (QStringList{EndMessage(20, 10), EndMessage(20, 10)}));
}

// ---- buttons and levels -----------------------------------------------------

using AppFlowButtons = GameWindowTest;

TEST_F(AppFlowButtons, PauseThenRestartRunsTheFirstTollGateWithTheBoardStillDisabled)
{
    const TestBook book = ImportBook("六十", 60);
    UseBook(book, 2);
    Start();
    EXPECT_EQ(Buttons(), "10001");
    StartGame();
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Ticks(3), 3);

    Control<QToolButton>(Window(), "btnPause")->click();
    EXPECT_EQ(Buttons(), "01101");
    EXPECT_EQ(Ticks(3), 0);
    EXPECT_FALSE(Board().isEnabled());
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());

    Control<QToolButton>(Window(), "sbReStart")->click();
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 1);
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(0, 19));
    EXPECT_EQ(Ticks(3), 3);
    EXPECT_FALSE(Board().isEnabled());

    // A click on the disabled board is ignored: the focus stays where it is.
    Control<QLineEdit>(Window(), "ediQueryWord")->setFocus();
    QTest::mouseClick(&Board(), Qt::LeftButton);
    EXPECT_TRUE(Control<QLineEdit>(Window(), "ediQueryWord")->hasFocus());

    Control<QToolButton>(Window(), "btnPause")->click();
    Control<QToolButton>(Window(), "btnContinue")->click();
    EXPECT_TRUE(Board().isEnabled());
    EXPECT_EQ(Buttons(), "01011");
    Control<QLineEdit>(Window(), "ediQueryWord")->setFocus();
    QTest::mouseClick(&Board(), Qt::LeftButton);
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
}

TEST_F(AppFlowButtons, ALevelChosenWhileReadyOrPausedReloadsTheTollGateStandingStill)
{
    const TestBook book = ImportBook("六十", 60);
    UseBook(book);
    Start();
    Control<QAction>(Window(), "N28")->trigger();
    EXPECT_EQ(Control<QToolButton>(Window(), "sbLevel")->text(), QStringLiteral("较难"));
    for (const std::string item : {"N8", "N9", "N10", "N27", "N28", "N29"})
        EXPECT_EQ(Control<QAction>(Window(), item.c_str())->isChecked(),
                  item == "N9" || item == "N28")
            << item;
    EXPECT_EQ(Board().Level(), 2);
    EXPECT_EQ(Window().Flow().GamePara().Level, 2);
    EXPECT_EQ(Buttons(), "10001");
    EXPECT_EQ(Ticks(3), 0);
    // Reloaded as loaded: the doubling belongs to start-up alone.
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(0, 19));

    StartGame();
    Control<QToolButton>(Window(), "btnPause")->click();
    Control<QAction>(Window(), "N9")->trigger();  // the same level from the other menu
    EXPECT_EQ(Buttons(), "01101");
    EXPECT_EQ(Ticks(3), 0);
    EXPECT_TRUE(Control<QAction>(Window(), "N28")->isChecked());
}

TEST_F(AppFlowButtons, ALevelChosenWhilePlayingRestartsTheTollGateAtTheNewPrice)
{
    const TestBook book = ImportBook("六十", 60);
    UseBook(book, 1, 2);
    Start();
    StartFromTheFirstTollGate();
    PlayTollGate(3);
    ASSERT_EQ(Counts(), "600 3 17");
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    ASSERT_EQ(Counts(), "800 4 17");

    Control<QAction>(Window(), "N29")->trigger();
    EXPECT_EQ(Control<QToolButton>(Window(), "sbLevel")->text(), QStringLiteral("困难"));
    EXPECT_TRUE(Control<QAction>(Window(), "N10")->isChecked());
    EXPECT_EQ(Board().Level(), 3);
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Board().RightWordCount(), 0);
    EXPECT_EQ(Counts(), "600 3 17");
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共3关）"));
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(20, 39));
    EXPECT_EQ(Ticks(3), 3);
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "900 4 17");
}

// ---- books, import, leaderboard and records --------------------------------

class AppFlowCommands : public GameWindowTest {
protected:
    // Book 甲 (60 words) played at level 3 into its second toll gate, and
    // book 乙 (30 words) to choose.
    void SetUpTwoBooks()
    {
        m_first = ImportBook("甲", 60);
        m_second = ImportBook("乙", 30, 'x');
        UseBook(m_first);
        Start();
        Control<QAction>(Window(), "N10")->trigger();
        StartFromTheFirstTollGate();
        PlayTollGate(2);
        ASSERT_EQ(Window().Flow().GamePara().TollGateIndex, 2);
        ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
        ASSERT_EQ(Counts(), "900 3 18");
    }

    // Chooses the book in the selection dialog, in its own order.
    std::function<void(QDialog &)> ChooseBook(const QString &name)
    {
        return [this, name](QDialog &dialog) {
            auto *d = dynamic_cast<TFrmSelectBook *>(&dialog);
            ASSERT_NE(d, nullptr);
            // It opens on a copy of the game.
            EXPECT_EQ(d->GamePara().StoreTableName, m_first.Table);
            auto *tree = Control<QTreeWidget>(dialog, "tvLibList");
            const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(found.size(), 1);
            tree->setCurrentItem(found.front());
            Control<QRadioButton>(dialog, "rbLetter")->setChecked(true);
            Control<QPushButton>(dialog, "btnSelect")->click();
        };
    }

    TestBook m_first;
    TestBook m_second;
};

TEST_F(AppFlowCommands, ChoosingABookMakesItsFirstTollGateReadyAtTheSameLevel)
{
    SetUpTwoBooks();
    ScriptDialog(ChooseBook(QStringLiteral("乙")));
    Control<QAction>(Window(), "N6")->trigger();

    const TGamePara &p = Window().Flow().GamePara();
    EXPECT_EQ(p.StoreTableName, m_second.Table);
    EXPECT_EQ(p.WordCount, 30);
    EXPECT_EQ(p.TollGateIndex, 1);
    EXPECT_EQ(p.TollGateCount, 2);
    EXPECT_EQ(p.Level, 3);
    EXPECT_EQ(Text("labBook"), QStringLiteral("乙-顺序"));
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第1关（共2关）"));
    EXPECT_EQ(Counts(), "0 0 0");
    EXPECT_EQ(Window().Flow().PrevTotals(), TGameTotals{});
    EXPECT_EQ(Buttons(), "10001");
    EXPECT_EQ(Board().Level(), 3);
    EXPECT_EQ(Control<QToolButton>(Window(), "sbLevel")->text(), QStringLiteral("困难"));
    EXPECT_TRUE(Control<QAction>(Window(), "N10")->isChecked());
    EXPECT_TRUE(Control<QAction>(Window(), "N29")->isChecked());
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings(0, 19, 'x'));
    EXPECT_EQ(Ticks(3), 0);

    // Its words are worth the level's price.
    StartGame();
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Counts(), "300 1 0");
}

TEST_F(AppFlowCommands, CancellingTheBookChoiceChangesNothing)
{
    SetUpTwoBooks();
    const TGamePara before = Window().Flow().GamePara();
    const QString book = Text("labBook");
    const QString gate = Text("labGate");
    const int last = Board().LastWordIndex();
    ScriptDialog([](QDialog &dialog) { Control<QPushButton>(dialog, "btnClose")->click(); });
    Control<QAction>(Window(), "N6")->trigger();

    EXPECT_EQ(Window().Flow().GamePara(), before);
    EXPECT_EQ(Text("labBook"), book);
    EXPECT_EQ(Text("labGate"), gate);
    EXPECT_EQ(Counts(), "900 3 18");
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Board().LastWordIndex(), last);
    EXPECT_EQ(Ticks(3), 3);
}

TEST_F(AppFlowCommands, EveryWordOfAPlayedTollGateIsRememberedAndTheRestWhenTheWindowCloses)
{
    SetUpTwoBooks();
    const TGamePara para = Window().Flow().GamePara();
    TWordInfos gate1;
    TWordInfos gate2;
    ASSERT_TRUE(LoadTollGateWords(para, 1, gate1));
    ASSERT_TRUE(LoadTollGateWords(para, 2, gate2));
    int right = 0;
    int missed = 0;
    for (const TWordInfo &w : gate1) {
        const std::optional<TWordMemory> m = ReadWordMemory(w.Spelling);
        ASSERT_TRUE(m) << w.Spelling;
        right += m->Right;
        missed += m->Missed;
    }
    EXPECT_EQ(right, 2);
    EXPECT_EQ(missed, 18);
    EXPECT_EQ(GetBookWordNumber(NewWordsBookId()), 18);
    // Missed words come back tomorrow, not today.
    EXPECT_EQ(Control<QAction>(Window(), "nReview")->text(), QStringLiteral("今日复习（0）"));

    // The word typed in toll gate 2 is kept when the window closes.
    const auto metInGate2 = [&] {
        return std::count_if(gate2.begin(), gate2.end(), [](const TWordInfo &w) {
            return ReadWordMemory(w.Spelling).has_value();
        });
    };
    EXPECT_EQ(metInGate2(), 0);
    Window().close();
    EXPECT_EQ(metInGate2(), 1);
}

TEST_F(AppFlowCommands, DeletingTheBookBeingPlayedLeavesTheFirstBookOfTheTreeReady)
{
    SetUpTwoBooks();
    const std::string deletedLine = RecentLine(Window().Flow().GamePara());
    ScriptDialog([](QDialog &dialog) {
        auto *tree = Control<QTreeWidget>(dialog, "tvLibList");
        const auto found =
            tree->findItems(QStringLiteral("甲"), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        tree->setCurrentItem(found.front());
        ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
        Control<QPushButton>(dialog, "btnDelete")->click();
        // Closed without choosing: the game still moves to the first book.
        Control<QPushButton>(dialog, "btnClose")->click();
    });
    Control<QAction>(Window(), "N6")->trigger();

    EXPECT_FALSE(TableExists(m_first.Table));
    // The tree starts with the new-words book (class 生词本), made by the
    // words missed in the toll gate played before.
    const int newWords = NewWordsBookId();
    ASSERT_GT(newWords, 0);
    const TGamePara &p = Window().Flow().GamePara();
    EXPECT_EQ(p.StoreTableName, GetBookTableName(newWords));
    EXPECT_EQ(p.BookName, NewWordsBookName());
    EXPECT_EQ(p.WordCount, GetBookWordNumber(newWords));
    EXPECT_EQ(p.TollGateIndex, 1);
    EXPECT_EQ(p.TollGateCount, CeilDiv(20, p.WordCount));
    EXPECT_EQ(p.Level, 3);
    EXPECT_EQ(Text("labBook"), QStringLiteral("《我的生词本》-顺序"));
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第1关（共%1关）").arg(p.TollGateCount));
    EXPECT_EQ(Counts(), "0 0 0");
    EXPECT_EQ(Buttons(), "10001");
    TWordInfos first;
    ASSERT_TRUE(LoadTollGateWords(p, 1, first));
    EXPECT_EQ(Spellings(Board().Words()), Spellings(first));
    EXPECT_EQ(Ticks(3), 0);

    // A recent entry of the deleted book is ignored when chosen.
    Window().RecentTollGateClick(deletedLine);
    EXPECT_EQ(Window().Flow().GamePara().StoreTableName, GetBookTableName(newWords));
    EXPECT_EQ(Spellings(Board().Words()), Spellings(first));
}

TEST_F(AppFlowCommands, ImportAndLeaderboardLeaveTheGameRunning)
{
    SetUpTwoBooks();
    ScriptDialog([](QDialog &dialog) {
        EXPECT_NE(dynamic_cast<TFrmImportLib *>(&dialog), nullptr);
        dialog.reject();
    });
    ScriptDialog([](QDialog &dialog) {
        EXPECT_NE(dynamic_cast<TFrmTextBook *>(&dialog), nullptr);
        dialog.reject();
    });
    ScriptDialog([](QDialog &dialog) {
        EXPECT_NE(dynamic_cast<TFrmGameRecord *>(&dialog), nullptr);
        dialog.reject();
    });
    Control<QAction>(Window(), "N15")->trigger();
    EXPECT_EQ(Control<QAction>(Window(), "nTextBook")->text(), QStringLiteral("从文章生成课本…"));
    Control<QAction>(Window(), "nTextBook")->trigger();
    Control<QAction>(Window(), "N4")->trigger();
    EXPECT_EQ(Counts(), "900 3 18");
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_EQ(Ticks(3), 3);
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
}

TEST_F(AppFlowCommands, StudyProgressOpensFromTheFileMenuBelowTheReview)
{
    SetUpTwoBooks();
    const QList<QAction *> items = Control<QMenu>(Window(), "N1")->actions();
    const auto review =
        std::find(items.begin(), items.end(), Control<QAction>(Window(), "nReview"));
    ASSERT_NE(review, items.end());
    ASSERT_NE(std::next(review), items.end());
    EXPECT_EQ((*std::next(review))->objectName(), QStringLiteral("nStudyProgress"));
    EXPECT_EQ((*std::next(review))->text(), QStringLiteral("学习进度"));

    ScriptDialog([](QDialog &dialog) {
        EXPECT_TRUE(dialog.inherits("TFrmStudyProgress"));
        dialog.reject();
    });
    Control<QAction>(Window(), "nStudyProgress")->trigger();
    EXPECT_EQ(m_boxes.Texts(), QStringList{});
    EXPECT_EQ(Counts(), "900 3 18");
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
}

bool MapsLibrary(const QString &name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name.toUtf8());
}

// Qt Charts comes with the window's plugin, when the window first opens,
// from the program folder's lib/.
TEST_F(AppFlowCommands, TheProgressWindowsPluginAndQtChartsLoadWhenItFirstOpens)
{
    SetUpTwoBooks();
    EXPECT_EQ(StudyProgressPluginPath(), QString::fromStdString(GetProgramDir())
                                             + QStringLiteral("lib/kivrotype-progress.so"));
    EXPECT_FALSE(MapsLibrary(QStringLiteral("libQt6Charts")));
    EXPECT_FALSE(MapsLibrary(QStringLiteral("kivrotype-progress.so")));
    int opened = 0;
    for (int times = 0; times < 2; ++times)
        ScriptDialog([&opened](QDialog &dialog) {
            ++opened;
            EXPECT_EQ(dialog.objectName(), QStringLiteral("FrmStudyProgress"));
            dialog.reject();
        });
    Control<QAction>(Window(), "nStudyProgress")->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(MapsLibrary(QStringLiteral("libQt6Charts")));
    EXPECT_TRUE(MapsLibrary(QStringLiteral("kivrotype-progress.so")));
    // Opened again from the library already loaded.
    Control<QAction>(Window(), "nStudyProgress")->trigger();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(m_boxes.Texts(), QStringList{});

    // Installed, the plugin is in the prefix's lib/kivrotype/.
    const TProgramDirs portable = GetProgramDirs();
    SetProgramDirs({"/home/player/.local/share/kivrotype/", "/opt/kivro/share/kivrotype/"});
    EXPECT_EQ(StudyProgressPluginPath(),
              QStringLiteral("/opt/kivro/lib/kivrotype/kivrotype-progress.so"));
    SetProgramDirs(portable);
}

// Without the plugin, or with a file that is not one, the player reads why
// and the game goes on.
TEST_F(AppFlowCommands, AMissingOrBrokenProgressPluginSaysSoAndNothingElseFails)
{
    SetUpTwoBooks();
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const auto restore = qScopeGuard([] { SetStudyProgressPluginPath({}); });
    const QString missing = empty.filePath(QStringLiteral("kivrotype-progress.so"));
    const QString broken = empty.filePath(QStringLiteral("broken.so"));
    QFile junk(broken);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    // A window opened here would meet this script, meant for the leaderboard.
    bool recordOpened = false;
    ScriptDialog([&recordOpened](QDialog &dialog) {
        recordOpened = dialog.inherits("TFrmGameRecord");
        dialog.reject();
    });
    const QString why = QStringLiteral("无法打开学习进度：缺少图表组件。");
    for (const QString &path : {missing, broken}) {
        m_boxes.Clear();
        SetStudyProgressPluginPath(path);
        Control<QAction>(Window(), "nStudyProgress")->trigger();
        EXPECT_EQ(m_boxes.Texts(), QStringList{why}) << path.toStdString();
        ASSERT_EQ(m_boxes.Shown().size(), 1u);
        EXPECT_EQ(m_boxes.Shown()[0].icon, TMsgIcon::Exclamation);
    }
    EXPECT_FALSE(MapsLibrary(QStringLiteral("libQt6Charts")));
    EXPECT_EQ(Counts(), "900 3 18");
    EXPECT_EQ(Buttons(), "01011");
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
    // The other commands still work, and the window opens once the plugin is back.
    Control<QAction>(Window(), "N4")->trigger();
    EXPECT_TRUE(recordOpened);
    SetStudyProgressPluginPath({});
    bool progressOpened = false;
    ScriptDialog([&progressOpened](QDialog &dialog) {
        progressOpened = dialog.inherits("TFrmStudyProgress");
        dialog.reject();
    });
    Control<QAction>(Window(), "nStudyProgress")->trigger();
    EXPECT_TRUE(progressOpened);
    EXPECT_EQ(m_boxes.Texts(), QStringList{why});
}

TEST_F(AppFlowCommands, CommandsMeetingAHeldDatabaseSayInWordsWhatFailed)
{
    SetUpTwoBooks();
    m_boxes.Clear();
    {
        THoldingChild holder([path = DatabaseFilePath()] {
            // Lives until the child ends; an exclusive lock keeps readers out.
            static std::unique_ptr<TSqlConnection> held;
            held = std::make_unique<TSqlConnection>(path, DatabasePassword(),
                                                    TSqlConnection::OpenMode::ExistingOnly);
            held->Execute("BEGIN EXCLUSIVE");
        });
        ASSERT_TRUE(holder.Ready());
        DataInterface().Connection().SetBusyTimeout(200);
        // The command's boundary names the command and the cause; the review
        // tells its failure apart from nothing being due.
        Control<QAction>(Window(), "nStudyProgress")->trigger();
        Control<QAction>(Window(), "nReview")->trigger();
        EXPECT_EQ(holder.Release(), 0);
    }
    const QString busy = QStringLiteral("单词数据库正被其他程序使用。");
    EXPECT_EQ(m_boxes.Texts(), (QStringList{QStringLiteral("“学习进度”未能完成：") + busy,
                                            QStringLiteral("今日复习无法开始：") + busy}));
    ASSERT_EQ(m_boxes.Shown().size(), 2u);
    EXPECT_EQ(m_boxes.Shown()[0].icon, TMsgIcon::Exclamation);
    EXPECT_EQ(m_boxes.Shown()[1].icon, TMsgIcon::Exclamation);
    EXPECT_FALSE(Window().Flow().InReview());
    EXPECT_EQ(Counts(), "900 3 18");
    EXPECT_EQ(Buttons(), "01011");
}

TEST_F(AppFlowCommands, TheWeakSpellingsButtonStartsAPracticeOnceTheWindowHasClosed)
{
    SetUpTwoBooks();
    // Two words mistyped earlier, the second more often.
    std::vector<TWordMeeting> meetings(2);
    meetings[0].Word.Spelling = "seldom";
    meetings[0].Slips = {{1, 'e', 'a'}};
    meetings[1].Word.Spelling = "rarely";
    meetings[1].Slips = {{0, 'r', 't'}, {2, 'r', 'e'}};
    RecordTollGate(TTollGatePlay{ProgramClock().NowMs(), 0, 1, 1, 2, 0, false}, meetings,
                   ReviewCard);

    bool closedFirst = false;
    ScriptDialog([&closedFirst](QDialog &dialog) {
        Control<QPushButton>(dialog, "btnWeakSpellings")->click();
        closedFirst = dialog.result() == QDialog::Accepted;
    });
    Control<QAction>(Window(), "nStudyProgress")->trigger();
    EXPECT_TRUE(closedFirst);
    EXPECT_TRUE(Window().Flow().InReview());
    EXPECT_EQ(Spellings(Board().Words()), (std::vector<std::string>{"rarely", "seldom"}));
    EXPECT_EQ(Window().Flow().GamePara().BookName, Gbk("薄弱拼写"));
    EXPECT_EQ(Window().Flow().State(), TGameState::Ready);
}

// The system clock a day ahead.
class TomorrowClock final : public TClock {
public:
    QDate Today() const override { return QDate::currentDate().addDays(1); }
    std::int64_t NowMs() const override
    {
        return QDateTime::currentMSecsSinceEpoch() + std::int64_t{24} * 60 * 60 * 1000;
    }
};

// With the window left open over midnight, "今日复习（N）" is counted again
// when the day-change timer wakes on the new date.
TEST_F(AppFlowCommands, TheDueCountIsCountedAgainWhenTheDateChanges)
{
    SetUpTwoBooks();
    QAction *review = Control<QAction>(Window(), "nReview");
    EXPECT_EQ(review->text(), QStringLiteral("今日复习（0）"));
    auto *timer = Window().findChild<TDayChangeTimer *>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->IsActive());
    timer->Check();
    EXPECT_EQ(review->text(), QStringLiteral("今日复习（0）"));

    SetProgramClock(std::make_shared<TomorrowClock>());
    const auto restoreClock = qScopeGuard([] { SetProgramClock(nullptr); });
    timer->Check();  // its wake-up
    EXPECT_EQ(review->text(), QStringLiteral("今日复习（18）"));
    EXPECT_TRUE(timer->IsActive());
}

// A review is no game for the leaderboard: it counts the words reviewed, and
// when it ends the book and toll gate played before it are Ready again.
TEST_F(AppFlowCommands, AReviewCountsTheWordsReviewedOffersNoScoreAndEndsBackAtTheBook)
{
    SetUpTwoBooks();
    // Tomorrow: the 18 words missed in toll gate 1 are due.
    SetProgramClock(std::make_shared<TomorrowClock>());
    const auto restoreClock = qScopeGuard([] { SetProgramClock(nullptr); });
    Control<QAction>(Window(), "nReview")->trigger();
    ASSERT_TRUE(Window().Flow().InReview());
    ASSERT_EQ(Board().Words().size(), 18U);
    EXPECT_EQ(Buttons(), "10001");
    EXPECT_FALSE(Control<QToolButton>(Window(), "sbRecord")->isEnabled());

    StartGame();
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    EXPECT_EQ(Text("labScoreTitle"), QStringLiteral("已复习："));
    EXPECT_EQ(Text("labScore"), QStringLiteral("1"));
    EXPECT_FALSE(Control<QToolButton>(Window(), "sbRecord")->isEnabled());
    PlayTollGate(2);
    EXPECT_EQ(m_boxes.Texts().back(), QStringLiteral("今天到期的单词都复习完了。"));

    EXPECT_FALSE(Window().Flow().InReview());
    EXPECT_EQ(Text("labBook"), QStringLiteral("甲-顺序"));
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共3关）"));
    EXPECT_EQ(Window().Flow().GamePara().StoreTableName, m_first.Table);
    EXPECT_EQ(Buttons(), "10001");  // Ready: no pause or restart on an empty board
    EXPECT_EQ(Board().Words().size(), 20U);
    EXPECT_EQ(Text("labScoreTitle"), QStringLiteral("得分："));
    EXPECT_EQ(Counts(), "0 0 0");
    EXPECT_TRUE(Control<QToolButton>(Window(), "sbRecord")->isEnabled());
}

TEST_F(AppFlowCommands, RecordingTheScoreTwiceGivesTwoEntriesWithoutPausing)
{
    const TestBook book = ImportBook("二十", 20);
    UseBook(book);
    Start();
    StartFromTheFirstTollGate();
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
    ASSERT_EQ(Counts(), "200 2 0");
    const size_t before = LoadGameRecords().size();

    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        m_boxes.Answer(QMessageBox::Yes);
        ScriptDialog(EnterName(name));
        Control<QToolButton>(Window(), "sbRecord")->click();
        EXPECT_EQ(Ticks(1), 1);
    }
    EXPECT_EQ(RecordsNamed(QStringLiteral("甲"), 200), 1);
    EXPECT_EQ(RecordsNamed(QStringLiteral("乙"), 200), 1);
    EXPECT_EQ(LoadGameRecords().size(), before + 2);
    EXPECT_EQ(Buttons(), "01011");

    // No to the question records nothing.
    m_boxes.Answer(QMessageBox::No);
    Control<QToolButton>(Window(), "sbRecord")->click();
    EXPECT_EQ(LoadGameRecords().size(), before + 2);
}

}  // namespace
