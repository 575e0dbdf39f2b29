// The game over a whole book: starting, pausing, continuing, restarting,
// levels, one toll gate after the other with running totals, and the end.
#include <algorithm>
#include <limits>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "GbkText.h"
#include "MessageBoxes.h"
#include "RecentTollGates.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UFrmGameRecord.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

// A total shown in a label: the finished toll gates' part plus the board's,
// held within the 32-bit range (a score priced at an edited level can be huge).
int total(int previous, int board)
{
    int sum = 0;
    if (__builtin_add_overflow(previous, board, &sum))
        return board < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return sum;
}

} // namespace

void TFrmType::ShowTollGateLabel()
{
    labGate->setText(QStringLiteral("关卡：第%1关（共%2关）")
                         .arg(FGamePara.TollGateIndex)
                         .arg(FGamePara.TollGateCount));
}

void TFrmType::BringTollGateIntoRange()
{
    FGamePara.TollGateIndex =
        std::clamp(FGamePara.TollGateIndex, 1, std::max(1, FGamePara.TollGateCount));
}

void TFrmType::EnableButtons(bool start, bool restart, bool resume, bool pause, bool level)
{
    sbStart->setEnabled(start);
    sbReStart->setEnabled(restart);
    btnContinue->setEnabled(resume);
    btnPause->setEnabled(pause);
    sbLevel->setEnabled(level);
}

void TFrmType::setLevelTicks(int level)
{
    for (QAction *item : {N8, N9, N10, N27, N28, N29})
        item->setChecked(item->data().toInt() == level);
}

void TFrmType::ResetGameDisplay()
{
    ShowTollGateLabel();
    EnableButtons(true, false, false, false, true);
    setLevelTicks(0);
    const int level = m_typeGame ? m_typeGame->Level() : FGamePara.Level;
    if (level >= 1 && level <= 3) {
        sbLevel->setText(LevelName(level));
        setLevelTicks(level);
    }
    labScore->setText(QStringLiteral("0"));
    labErrorCount->setText(QStringLiteral("0"));
    labRightCount->setText(QStringLiteral("0"));
    FPrevRightCount = 0;
    FPrevErrorCount = 0;
    FPrevScore = 0;
    labBook->setText(GbkToQString(FGamePara.BookName)
                     + (FGamePara.BookType == 2 ? QStringLiteral("-打乱") : QStringLiteral("-顺序")));
}

void TFrmType::LoadTollGate(int tollGate)
{
    if (!m_typeGame)
        return;
    TWordInfos words;
    LoadTollGateWords(FGamePara, tollGate, words);
    m_typeGame->SetWords(words);
    m_typeGame->Restart();
    ShowTollGateLabel();
    m_typeGame->update();
    AddRecentTollGate(FGamePara);
}

void TFrmType::TypeGameTypeCheckChange()
{
    if (!m_typeGame)
        return;
    labRightCount->setNum(total(FPrevRightCount, m_typeGame->RightWordCount()));
    labErrorCount->setNum(total(FPrevErrorCount, m_typeGame->ErrorWordCount()));
    labScore->setNum(total(FPrevScore, m_typeGame->Score()));
}

void TFrmType::TypeGameGameOver()
{
    if (!m_typeGame)
        return;
    if (FGamePara.TollGateIndex < FGamePara.TollGateCount) {
        FPrevRightCount = labRightCount->text().toInt();
        FPrevErrorCount = labErrorCount->text().toInt();
        FPrevScore = labScore->text().toInt();
        ++FGamePara.TollGateIndex;
        LoadTollGate(FGamePara.TollGateIndex);
        return;
    }
    // The last toll gate (or one beyond the book, which ends it just the same).
    const int score = labScore->text().toInt();
    const int right = m_typeGame->RightWordCount();
    const int words = right + m_typeGame->ErrorWordCount();
    const auto percent = words == 0 ? 0 : RoundHalfEven(right * 100.0 / words);
    const QString message = QStringLiteral("恭喜您完成了此次游戏的所有关卡！") + QChar(13)
        + QStringLiteral("完成单词数：%1").arg(words) + QChar(13)
        + QStringLiteral("正确率：%1%").arg(percent) + QChar(13) + QStringLiteral("再玩一次吧？");
    if (MessageBox(this, message, TMsgIcon::Question, QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The new game's totals start from zero before toll gate 1 runs: it goes
    // on while the player types a name, and may even finish meanwhile, so
    // nothing may be reset once the prompts close. The score to record was
    // noted above.
    FPrevRightCount = 0;
    FPrevErrorCount = 0;
    FPrevScore = 0;
    FGamePara.TollGateIndex = 1;
    LoadTollGate(1);
    labRightCount->setText(QStringLiteral("0"));
    labErrorCount->setText(QStringLiteral("0"));
    labScore->setText(QStringLiteral("0"));
    RecordGameScore(this, score);
}

void TFrmType::sbStartClick()
{
    if (m_typeGame)
        m_typeGame->ContinueGame();
    EnableButtons(false, true, false, true, true);
    FocusGame();
}

void TFrmType::btnPauseClick()
{
    if (m_typeGame) {
        m_typeGame->PauseGame();
        m_typeGame->setEnabled(false);
    }
    EnableButtons(false, true, true, false, true);
    FocusGame();
}

void TFrmType::btnContinueClick()
{
    if (m_typeGame) {
        m_typeGame->ContinueGame();
        m_typeGame->setEnabled(true);
    }
    EnableButtons(false, true, false, true, true);
    FocusGame();
}

void TFrmType::sbReStartClick()
{
    FGamePara.TollGateIndex = 1;
    LoadTollGate(1);
    EnableButtons(false, true, false, true, true);
    FocusGame();
    labRightCount->setText(QStringLiteral("0"));
    labErrorCount->setText(QStringLiteral("0"));
    labScore->setText(QStringLiteral("0"));
    FPrevRightCount = 0;
    FPrevErrorCount = 0;
    FPrevScore = 0;
}

void TFrmType::N27Click(int level, const QString &caption)
{
    setLevelTicks(level);
    sbLevel->setText(caption);
    if (m_typeGame)
        m_typeGame->SetLevel(level);
    FGamePara.Level = level;
    LoadTollGate(FGamePara.TollGateIndex);
    // Ready or Paused: the board stands still as before.
    if (!btnPause->isEnabled() && m_typeGame)
        m_typeGame->PauseGame();
    FocusGame();
}
