#include "GameBoardAdapter.h"

#include "GameFlow.h"
#include "UTypeGameType.h"

TGameBoardAdapter::TGameBoardAdapter(TTypeGameType &board, TGameFlow &flow) : m_board(board)
{
    m_connections = {
        QObject::connect(&board, &TTypeGameType::gameOver, &board,
                         [&flow] { flow.TollGateOver(); }),
        QObject::connect(&board, &TTypeGameType::typeCheckChange, &board,
                         [&flow] { flow.BoardCountsChanged(); }),
        QObject::connect(&board, &TTypeGameType::wordShown, &board,
                         [&flow](int wordIndex) { flow.WordShown(wordIndex); }),
        QObject::connect(
            &board, &TTypeGameType::wordCounted, &board,
            [&flow](int wordIndex, bool right) { flow.WordCounted(wordIndex, right); }),
        QObject::connect(
            &board, &TTypeGameType::wordKeyed, &board,
            [&flow](int wordIndex, int typedLetters) { flow.WordKeyed(wordIndex, typedLetters); }),
        QObject::connect(&board, &TTypeGameType::wordSlip, &board,
                         [&flow](const TWordSlip &slip) {
                             flow.WordSlip(slip.WordIndex, slip.Position, slip.Expected,
                                           slip.Typed);
                         }),
    };
}

TGameBoardAdapter::~TGameBoardAdapter()
{
    for (const QMetaObject::Connection &connection : m_connections)
        QObject::disconnect(connection);
}

int TGameBoardAdapter::LevelInterval1() const
{
    return m_board.LevelInterval1();
}
int TGameBoardAdapter::LevelInterval2() const
{
    return m_board.LevelInterval2();
}
int TGameBoardAdapter::LevelInterval3() const
{
    return m_board.LevelInterval3();
}
void TGameBoardAdapter::SetLevelInterval1(int ms)
{
    m_board.SetLevelInterval1(ms);
}
void TGameBoardAdapter::SetLevelInterval2(int ms)
{
    m_board.SetLevelInterval2(ms);
}
void TGameBoardAdapter::SetLevelInterval3(int ms)
{
    m_board.SetLevelInterval3(ms);
}

std::uint32_t TGameBoardAdapter::BackGroundColor() const
{
    return static_cast<std::uint32_t>(m_board.BackGroundColor());
}

std::uint32_t TGameBoardAdapter::NormalColor() const
{
    return static_cast<std::uint32_t>(m_board.NormalColor());
}

std::uint32_t TGameBoardAdapter::TypeColor() const
{
    return static_cast<std::uint32_t>(m_board.TypeColor());
}

void TGameBoardAdapter::SetBackGroundColor(std::uint32_t color)
{
    m_board.SetBackGroundColor(static_cast<TColor>(color));
}

void TGameBoardAdapter::SetNormalColor(std::uint32_t color)
{
    m_board.SetNormalColor(static_cast<TColor>(color));
}

void TGameBoardAdapter::SetTypeColor(std::uint32_t color)
{
    m_board.SetTypeColor(static_cast<TColor>(color));
}

void TGameBoardAdapter::SetWordDisType(TWordDisplay display)
{
    m_board.SetWordDisType(static_cast<TWordDisType>(static_cast<int>(display)));
}

void TGameBoardAdapter::SetSpeechEnable(bool enable)
{
    m_board.SetSpeechEnable(enable);
}
void TGameBoardAdapter::RedrawWords()
{
    m_board.RedrawWords();
}
void TGameBoardAdapter::PauseGame()
{
    m_board.PauseGame();
}
void TGameBoardAdapter::SetWords(const TWordInfos &words)
{
    m_board.SetWords(words);
}
void TGameBoardAdapter::Restart()
{
    m_board.Restart();
}
void TGameBoardAdapter::ContinueGame()
{
    m_board.ContinueGame();
}
void TGameBoardAdapter::SetEnabled(bool enabled)
{
    m_board.setEnabled(enabled);
}
int TGameBoardAdapter::Level() const
{
    return m_board.Level();
}
void TGameBoardAdapter::SetLevel(int level)
{
    m_board.SetLevel(level);
}
int TGameBoardAdapter::RightWordCount() const
{
    return m_board.RightWordCount();
}
int TGameBoardAdapter::ErrorWordCount() const
{
    return m_board.ErrorWordCount();
}
int TGameBoardAdapter::Score() const
{
    return m_board.Score();
}
void TGameBoardAdapter::Repaint()
{
    m_board.update();
}
