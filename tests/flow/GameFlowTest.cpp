// The game over a whole book without a window: toll gate after toll gate on
// running totals, the end of the book, the game buttons and levels, another
// book, the saved game and the recent toll gates, played on a fake board
// shown in a fake view.
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeGameBoard.h"
#include "FakeGameView.h"
#include "GameFlow.h"
#include "GameParaSupport.h"
#include "GbkText.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBookType.h"
#include "UDataInterface.h"

namespace {

const std::string kCet4 = Gbk("《大学英语四级词汇》");  // lib103, 3812 words: 191 toll gates

QString EndMessage(int words, int percent)
{
    return QStringLiteral(
               "恭喜您完成了此次游戏的所有关卡！\r完成单词数：%1\r正确率：%2%\r再玩一次吧？")
        .arg(words)
        .arg(percent);
}

TWordInfos TollGateWords(const TGamePara &para, int tollGate)
{
    TWordInfos words;
    LoadTollGateWords(para, tollGate, words);
    return words;
}

// Position of the first entry of the log that is `entry`, after `from`.
long Find(const std::vector<std::string> &log, const std::string &entry, long from = -1)
{
    const auto it = std::find(log.begin() + from + 1, log.end(), entry);
    return it == log.end() ? -1 : it - log.begin();
}

class FlowGame : public ::testing::Test {
protected:
    FlowGame()
    {
        if (!m_db.ConnectDatabase())
            throw std::runtime_error("the copied program's database does not open");
        SetDataInterface(&m_db);
    }
    ~FlowGame() override
    {
        EXPECT_TRUE(m_view.answers.empty()) << "a scripted answer was never asked for";
        SetDataInterface(nullptr);
    }

    // The shipped book saved at that toll gate and read as at start-up, Ready.
    void Load(int tollGate, int level = 1)
    {
        SaveGamePara(Toefl(tollGate, level));
        m_flow.SetBoard(&m_board);
        m_flow.LoadGame();
        m_board.SetLevel(m_flow.GamePara().Level);
        m_flow.ResetGameDisplay();
        m_board.log.clear();
    }

    // The board's words end with `right` typed (100 points each) and the rest missed.
    void PlayTollGate(int right, int missed)
    {
        m_board.right = right;
        m_board.error = missed;
        m_board.score = 100 * right;
        m_flow.BoardCountsChanged();
        m_flow.TollGateOver();
    }

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
    TDataInterface m_db;
    FakeGameBoard m_board;
    FakeGameView m_view{m_board.log};
    TGameFlow m_flow{m_view};
};

// ---- toll gate after toll gate ---------------------------------------------

using FlowTollGates = FlowGame;

TEST_F(FlowTollGates, TwoTollGatesRunOnToTheEndOfTheBookOnRunningTotals)
{
    Load(173);
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第173关（共174关）"));
    EXPECT_EQ(m_view.state, TGameState::Ready);
    m_flow.Start();
    EXPECT_EQ(m_view.state, TGameState::Playing);
    EXPECT_TRUE(m_board.playing);

    PlayTollGate(4, 16);
    const TGamePara &para = m_flow.GamePara();
    EXPECT_EQ(para.TollGateIndex, 174);
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第174关（共174关）"));
    EXPECT_EQ(m_board.words, TollGateWords(para, 174));
    EXPECT_EQ(m_board.words.size(), 20U);
    EXPECT_TRUE(m_board.playing);
    EXPECT_EQ(m_view.totals, (TGameTotals{400, 4, 16}));
    EXPECT_EQ(m_flow.PrevTotals(), (TGameTotals{400, 4, 16}));
    EXPECT_EQ(m_view.state, TGameState::Playing);
    // The toll gate now played is the newest recent one.
    ASSERT_FALSE(ReadRecentEntries().empty());
    EXPECT_EQ(ReadRecentEntries().back().Line, RecentLine(Toefl(174)));

    // Its words count on top of the first one's.
    m_board.right = 2;
    m_board.score = 200;
    m_flow.BoardCountsChanged();
    EXPECT_EQ(m_view.totals, (TGameTotals{600, 6, 16}));

    m_view.answers.push_back(false);
    PlayTollGate(6, 14);
    EXPECT_EQ(m_view.questions, QStringList{EndMessage(20, 30)});
    // "否": the game stays finished as it is.
    EXPECT_EQ(para.TollGateIndex, 174);
    EXPECT_EQ(m_view.totals, (TGameTotals{1000, 10, 30}));
    EXPECT_EQ(Find(m_board.log, "record 1000"), -1);
    EXPECT_EQ(m_view.state, TGameState::Playing);
}

TEST_F(FlowTollGates, TotalsStayWithinTheRangeOfAnInt)
{
    Load(1);
    m_flow.Start();
    m_board.right = 1;
    m_board.score = 2147483000;
    m_flow.BoardCountsChanged();
    m_flow.TollGateOver();
    m_board.right = 1;
    m_board.score = 2147483000;
    m_flow.BoardCountsChanged();
    EXPECT_EQ(m_view.totals, (TGameTotals{2147483647, 2, 0}));
}

// ---- the end of the book ----------------------------------------------------

using FlowEndOfBook = FlowGame;

TEST_F(FlowEndOfBook, TheQuestionGivesTheWordsAndTheRateRoundedHalfToEven)
{
    Load(174);
    m_flow.Start();
    struct Case {
        int right, missed, percent;
    };
    for (const Case c : {Case{15, 5, 75}, Case{1, 7, 12}, Case{3, 5, 38}, Case{0, 0, 0}}) {
        m_view.answers.push_back(false);
        PlayTollGate(c.right, c.missed);
        EXPECT_EQ(m_view.questions.back(), EndMessage(c.right + c.missed, c.percent));
    }
}

TEST_F(FlowEndOfBook, YesStartsTheBookAgainFromZeroBeforeTheScoreIsOffered)
{
    Load(173);
    m_flow.Start();
    PlayTollGate(4, 16);
    m_view.answers.push_back(true);
    m_view.whileRecording = [this] {
        // Toll gate 1 of the new game already runs on totals of zero...
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, 1);
        EXPECT_EQ(m_board.words, TollGateWords(m_flow.GamePara(), 1));
        EXPECT_TRUE(m_board.playing);
        EXPECT_EQ(m_view.totals, (TGameTotals{}));
        // ...and ends while the player is slow over the name.
        PlayTollGate(5, 15);
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, 2);
    };
    PlayTollGate(6, 14);

    const std::vector<std::string> &log = m_board.log;
    const long asked = Find(log, "ask");
    const long zero = Find(log, "totals 0 0 0", asked);
    const long restart = Find(log, "Restart", asked);
    const long record = Find(log, "record 1000", asked);
    ASSERT_NE(asked, -1);
    EXPECT_NE(zero, -1);
    EXPECT_LT(zero, restart);
    EXPECT_LT(restart, record);
    // Closing the prompt reset nothing of the new game.
    EXPECT_EQ(m_view.totals, (TGameTotals{500, 5, 15}));
    EXPECT_EQ(m_flow.PrevTotals(), (TGameTotals{500, 5, 15}));
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第2关（共174关）"));
}

// ---- buttons and levels -----------------------------------------------------

using FlowButtons = FlowGame;

TEST_F(FlowButtons, PauseStopsAndDisablesTheBoardAndRestartRunsTollGateOneFromZero)
{
    Load(2);
    m_flow.Start();
    PlayTollGate(3, 17);
    ASSERT_EQ(m_flow.GamePara().TollGateIndex, 3);
    ASSERT_EQ(m_flow.PrevTotals(), (TGameTotals{300, 3, 17}));

    m_flow.Pause();
    EXPECT_EQ(m_view.state, TGameState::Paused);
    EXPECT_FALSE(m_board.playing);
    EXPECT_FALSE(m_board.enabled);
    m_flow.Continue();
    EXPECT_EQ(m_view.state, TGameState::Playing);
    EXPECT_TRUE(m_board.playing);
    EXPECT_TRUE(m_board.enabled);

    m_flow.Pause();
    const int focused = m_view.focused;
    m_flow.Restart();
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 1);
    EXPECT_EQ(m_board.words, TollGateWords(m_flow.GamePara(), 1));
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第1关（共174关）"));
    EXPECT_EQ(m_view.state, TGameState::Playing);
    EXPECT_TRUE(m_board.playing);
    // The board stays disabled as the pause left it.
    EXPECT_FALSE(m_board.enabled);
    EXPECT_EQ(m_view.totals, (TGameTotals{}));
    EXPECT_EQ(m_flow.PrevTotals(), (TGameTotals{}));
    EXPECT_EQ(m_view.focused, focused + 1);
}

TEST_F(FlowButtons, ALevelReloadsTheTollGateAndOnlyAGameInPlayGoesOnRunning)
{
    Load(2);
    const auto lastCall = [this] { return m_board.log.back(); };

    m_flow.ChooseLevel(2);  // Ready
    EXPECT_EQ(m_view.level, 2);
    EXPECT_EQ(m_board.level, 2);
    EXPECT_EQ(m_flow.GamePara().Level, 2);
    EXPECT_EQ(m_board.words, TollGateWords(m_flow.GamePara(), 2));
    EXPECT_EQ(lastCall(), "PauseGame");
    EXPECT_EQ(m_view.state, TGameState::Ready);

    m_flow.Start();
    m_flow.ChooseLevel(3);
    EXPECT_EQ(lastCall(), "Restart");
    EXPECT_TRUE(m_board.playing);
    EXPECT_EQ(m_board.level, 3);

    m_flow.Pause();
    m_flow.ChooseLevel(1);
    EXPECT_EQ(lastCall(), "PauseGame");
    EXPECT_EQ(m_view.state, TGameState::Paused);
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 2);
}

// ---- another book ------------------------------------------------------------

using FlowBook = FlowGame;

TEST_F(FlowBook, AChosenBookIsReadyAtItsTollGateOnTheLevelInForceFromZero)
{
    Load(2, 3);
    m_flow.Start();
    PlayTollGate(3, 17);
    ASSERT_EQ(m_flow.PrevTotals(), (TGameTotals{300, 3, 17}));

    // The dialog's parameters carry a level of their own, which is not taken.
    TGamePara chosen = Para("lib103", 3812, kCet4, 0, 1, 1);
    chosen.TollGateCount = 191;
    m_board.log.clear();
    m_flow.ChooseBook(chosen);
    const TGamePara &p = m_flow.GamePara();
    EXPECT_EQ(p.StoreTableName, "lib103");
    EXPECT_EQ(p.TollGateIndex, 1);
    EXPECT_EQ(p.Level, 3);
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第1关（共191关）"));
    EXPECT_EQ(m_board.words, TollGateWords(p, 1));
    // Loaded, then stopped: Ready.
    const long restart = Find(m_board.log, "Restart");
    ASSERT_NE(restart, -1);
    EXPECT_NE(Find(m_board.log, "PauseGame", restart), -1);
    EXPECT_FALSE(m_board.playing);
    EXPECT_EQ(m_view.state, TGameState::Ready);
    EXPECT_EQ(m_view.book, QStringLiteral("《大学英语四级词汇》-顺序"));
    EXPECT_EQ(m_view.totals, (TGameTotals{}));
    EXPECT_EQ(m_flow.PrevTotals(), (TGameTotals{}));
}

// ---- the settings commands' part ------------------------------------------

using FlowSettings = FlowGame;

TEST_F(FlowSettings, AChosenTollGateAndNewIntervalsMakeItReadyFromZeroAndTheIntervalsAreSaved)
{
    Load(2);
    m_flow.Start();
    PlayTollGate(3, 17);
    m_flow.ChooseTollGate(7);
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 7);
    EXPECT_EQ(m_board.words, TollGateWords(m_flow.GamePara(), 7));
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第7关（共174关）"));
    EXPECT_FALSE(m_board.playing);
    EXPECT_EQ(m_view.state, TGameState::Ready);
    EXPECT_EQ(m_view.totals, (TGameTotals{}));

    m_flow.Start();
    PlayTollGate(2, 18);  // toll gate 8 runs
    m_board.log.clear();
    m_flow.SetLevelIntervals(70, 40, 20);
    EXPECT_EQ(m_board.log.front(), "SetLevelInterval1 70");
    EXPECT_EQ((std::vector<int>{m_board.interval[0], m_board.interval[1], m_board.interval[2]}),
              (std::vector<int>{70, 40, 20}));
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval1), 70);
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval2), 40);
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval3), 20);
    const long restart = Find(m_board.log, "Restart");
    ASSERT_NE(restart, -1);
    EXPECT_NE(Find(m_board.log, "PauseGame", restart), -1);
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 8);
    EXPECT_EQ(m_view.state, TGameState::Ready);
    EXPECT_EQ(m_view.totals, (TGameTotals{}));
}

TEST_F(FlowSettings, ColoursShowAtOnceAreSavedAndTheGameGoesOn)
{
    Load(2);
    m_flow.Start();
    m_flow.ApplyBoardSettings();
    m_board.log.clear();
    m_flow.SetBoardColors({0x102030, 0x405060, 0x708090});
    EXPECT_EQ(m_board.log, (std::vector<std::string>{"SetBackGroundColor", "SetNormalColor",
                                                     "SetTypeColor", "RedrawWords"}));
    EXPECT_EQ(ReadSysInteger(Setting::BackGroundColor), 0x102030);
    EXPECT_EQ(ReadSysInteger(Setting::NormalColor), 0x405060);
    EXPECT_EQ(ReadSysInteger(Setting::TypeColor), 0x708090);
    EXPECT_TRUE(m_board.playing);
    EXPECT_EQ(m_view.state, TGameState::Playing);

    // What a new board is given at start-up.
    FakeGameBoard fresh;
    m_flow.SetBoard(&fresh);
    m_flow.ApplyBoardSettings();
    EXPECT_EQ(fresh.back, 0x102030U);
    EXPECT_EQ(fresh.type, 0x708090U);
    EXPECT_EQ(fresh.log.back(), "RedrawWords");
    m_flow.SetBoard(&m_board);
}

// ---- the saved game and the recent toll gates -----------------------------

using FlowRecent = FlowGame;

TEST_F(FlowRecent, AnEntryPlaysItsBookAtItsTollGateAndLevelReadyFromZero)
{
    Load(1);
    m_flow.Start();
    PlayTollGate(3, 17);
    const int shown = m_view.recentShown;

    // The word count is the book's own, whatever the line says.
    m_flow.PlayRecent(RecentLine(Para("lib103", 20, kCet4, 0, 5, 2)));
    const TGamePara &p = m_flow.GamePara();
    EXPECT_EQ(p.StoreTableName, "lib103");
    EXPECT_EQ(p.BookName, kCet4);
    EXPECT_EQ(p.WordCount, 3812);
    EXPECT_EQ(p.TollGateIndex, 5);
    EXPECT_EQ(p.TollGateCount, 191);
    EXPECT_EQ(p.Level, 2);
    EXPECT_EQ(m_board.words, TollGateWords(p, 5));
    EXPECT_EQ(m_board.level, 2);
    EXPECT_FALSE(m_board.playing);
    EXPECT_EQ(m_view.state, TGameState::Ready);
    EXPECT_EQ(m_view.level, 2);
    EXPECT_EQ(m_view.book, QStringLiteral("《大学英语四级词汇》-顺序"));
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第5关（共191关）"));
    EXPECT_EQ(m_view.totals, (TGameTotals{}));
    EXPECT_EQ(m_flow.PrevTotals(), (TGameTotals{}));
    EXPECT_GT(m_view.recentShown, shown);
    EXPECT_EQ(ReadRecentEntries().back().Line, RecentLine(Para("lib103", 3812, kCet4, 0, 5, 2)));
}

TEST_F(FlowRecent, AnEntryBeyondItsBookIsBroughtIntoRange)
{
    Load(1);
    for (const auto &[gate, expected] : {std::pair{999, 191}, std::pair{-3, 1}}) {
        m_flow.PlayRecent(RecentLine(Para("lib103", 3812, kCet4, 0, gate, 1)));
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, expected);
        EXPECT_EQ(m_board.words, TollGateWords(m_flow.GamePara(), expected));
    }
}

TEST_F(FlowRecent, AnUnreadableEntryOrOneOfABookGoneSinceChangesNothing)
{
    Load(7);
    const TGamePara before = m_flow.GamePara();
    const int shown = m_view.recentShown;
    for (const std::string &line : {"lib103#@#3812#@#" + kCet4 + "#@#0#@#5#@#hard",
                                    RecentLine(Para("lib999", 40, kCet4, 0, 1, 1))}) {
        m_flow.PlayRecent(line);
        EXPECT_EQ(m_flow.GamePara(), before);
        EXPECT_TRUE(m_board.log.empty());
        EXPECT_EQ(m_view.recentShown, shown);
    }
}

TEST_F(FlowRecent, TheSavedGameOpensInRangeWithItsTollGateTwiceAndIsSavedOnceRead)
{
    const std::string settings = m_dir.ReadFile("data/typeconfig.ini");
    m_flow.SaveGame();  // nothing read, nothing to save
    EXPECT_EQ(m_dir.ReadFile("data/typeconfig.ini"), settings);

    Load(999);
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 174);
    const TWordInfos once = TollGateWords(m_flow.GamePara(), 174);
    ASSERT_EQ(once.size(), 20U);
    TWordInfos twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(m_flow.OpeningWords(), twice);

    m_flow.ChooseLevel(3);
    m_flow.SaveGame();
    TGamePara saved;
    LoadGamePara(saved);
    EXPECT_EQ(saved.TollGateIndex, 174);
    EXPECT_EQ(saved.Level, 3);
}

}  // namespace
