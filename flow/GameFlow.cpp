#include "GameFlow.h"

#include <algorithm>
#include <limits>

#include "BookManage.h"
#include "FlowLog.h"
#include "GbkText.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "SqlDatabase.h"
#include "TextUtils.h"
#include "UBookType.h"

namespace {

// A total shown: the finished toll gates' part plus the board's, held within
// the 32-bit range (a score priced at an edited level can be huge).
int total(int previous, int board)
{
    int sum = 0;
    if (__builtin_add_overflow(previous, board, &sum))
        return board < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return sum;
}

} // namespace

void TGameFlow::LoadGame()
{
    m_para.WordsPerGate = kWordsPerGate;
    LoadGamePara(m_para);
    m_loaded = true;
    m_para.TollGateCount = CeilDiv(m_para.WordsPerGate, m_para.WordCount);
    bringTollGateIntoRange();
}

TWordInfos TGameFlow::OpeningWords() const
{
    TWordInfos words;
    LoadTollGateWords(m_para, m_para.TollGateIndex, words);
    // Entry k exists at step k unless the list started empty (a missing
    // book): then the steps add empty records.
    for (size_t k = 0; k < static_cast<size_t>(m_para.WordsPerGate); ++k)
        words.push_back(k < words.size() ? words[k] : TWordInfo{});
    return words;
}

void TGameFlow::SaveGame() const
{
    if (m_loaded)
        SaveGamePara(m_para);
}

void TGameFlow::showTollGate()
{
    m_view.ShowTollGate(QStringLiteral("关卡：第%1关（共%2关）")
                            .arg(m_para.TollGateIndex)
                            .arg(m_para.TollGateCount));
}

void TGameFlow::showState(TGameState state)
{
    m_state = state;
    m_view.ShowState(state);
}

void TGameFlow::resetTotals()
{
    m_prev = {};
    m_totals = {};
    m_view.ShowTotals(m_totals);
}

void TGameFlow::bringTollGateIntoRange()
{
    m_para.TollGateIndex = std::clamp(m_para.TollGateIndex, 1, std::max(1, m_para.TollGateCount));
}

void TGameFlow::ResetGameDisplay()
{
    showTollGate();
    showState(TGameState::Ready);
    m_view.ShowLevel(m_board ? m_board->Level() : m_para.Level);
    resetTotals();
    m_view.ShowBook(GbkToQString(m_para.BookName)
                    + (m_para.BookType == 2 ? QStringLiteral("-打乱") : QStringLiteral("-顺序")));
}

void TGameFlow::LoadTollGate(int tollGate)
{
    if (!m_board)
        return;
    TWordInfos words;
    LoadTollGateWords(m_para, tollGate, words);
    m_board->SetWords(words);
    m_board->Restart();
    showTollGate();
    m_board->Repaint();
    AddRecentTollGate(m_para);
}

void TGameFlow::BoardCountsChanged()
{
    if (!m_board)
        return;
    m_totals = {total(m_prev.Score, m_board->Score()),
                total(m_prev.RightCount, m_board->RightWordCount()),
                total(m_prev.ErrorCount, m_board->ErrorWordCount())};
    m_view.ShowTotals(m_totals);
}

void TGameFlow::TollGateOver()
{
    if (!m_board)
        return;
    if (m_para.TollGateIndex < m_para.TollGateCount) {
        m_prev = m_totals;
        ++m_para.TollGateIndex;
        LoadTollGate(m_para.TollGateIndex);
        return;
    }
    // The last toll gate (or one beyond the book, which ends it just the same).
    const int score = m_totals.Score;
    const int right = m_board->RightWordCount();
    const int words = right + m_board->ErrorWordCount();
    const auto percent = words == 0 ? 0 : RoundHalfEven(right * 100.0 / words);
    const QString message = QStringLiteral("恭喜您完成了此次游戏的所有关卡！") + QChar(13)
        + QStringLiteral("完成单词数：%1").arg(words) + QChar(13)
        + QStringLiteral("正确率：%1%").arg(percent) + QChar(13) + QStringLiteral("再玩一次吧？");
    if (!m_view.AskPlayAgain(message))
        return;
    // The new game's totals start from zero before toll gate 1 runs: it goes
    // on while the player types a name, and may even finish meanwhile, so
    // nothing may be reset once the prompts close. The score to record was
    // noted above.
    resetTotals();
    m_para.TollGateIndex = 1;
    LoadTollGate(1);
    m_view.RecordScore(score);
}

void TGameFlow::Start()
{
    if (m_board)
        m_board->ContinueGame();
    showState(TGameState::Playing);
    m_view.FocusGame();
}

void TGameFlow::Pause()
{
    if (m_board) {
        m_board->PauseGame();
        m_board->SetEnabled(false);
    }
    showState(TGameState::Paused);
    m_view.FocusGame();
}

void TGameFlow::Continue()
{
    if (m_board) {
        m_board->ContinueGame();
        m_board->SetEnabled(true);
    }
    showState(TGameState::Playing);
    m_view.FocusGame();
}

void TGameFlow::Restart()
{
    m_para.TollGateIndex = 1;
    LoadTollGate(1);
    showState(TGameState::Playing);
    m_view.FocusGame();
    resetTotals();
}

void TGameFlow::ChooseLevel(int level)
{
    m_view.ShowLevel(level);
    if (m_board)
        m_board->SetLevel(level);
    m_para.Level = level;
    LoadTollGate(m_para.TollGateIndex);
    // Ready or Paused: the board stands still as before.
    if (m_state != TGameState::Playing && m_board)
        m_board->PauseGame();
    m_view.FocusGame();
}

void TGameFlow::ChooseBook(const TGamePara &para)
{
    CopyGamePara(para, m_para);
    LoadTollGate(m_para.TollGateIndex);
    if (m_board)
        m_board->PauseGame();
    ResetGameDisplay();
}

void TGameFlow::AddRecentTollGate(const TGamePara &para)
{
    // A book whose stored name the list cannot hold is played, not listed.
    if (FitsRecentList(para))
        AddRecentLine(RecentLine(para));
    m_view.ShowRecentList();
}

void TGameFlow::PlayRecent(const std::string &line)
{
    const std::optional<TGamePara> para = ParseRecentEntry(line);
    if (!para)
        return;
    // A book deleted since is ignored; a renamed one plays under its new name.
    std::optional<TBookRow> book;
    try {
        book = FindBookByTable(para->StoreTableName);
    } catch (const EDatabaseError &e) {
        qCDebug(lcFlow) << "looking up a recent book failed:" << e.what();
    }
    if (!book)
        return;
    m_para.StoreTableName = para->StoreTableName;
    m_para.WordCount = book->WordNumber;
    m_para.BookName = book->Name;
    m_para.BookType = para->BookType;
    m_para.TollGateIndex = para->TollGateIndex;
    m_para.Level = para->Level;
    m_para.TollGateCount = CeilDiv(m_para.WordsPerGate, m_para.WordCount);
    bringTollGateIntoRange();
    LoadTollGate(m_para.TollGateIndex);
    if (m_board) {
        m_board->SetLevel(m_para.Level);
        m_board->PauseGame();
    }
    ResetGameDisplay();
    m_view.FocusGame();
}
