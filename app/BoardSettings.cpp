#include "BoardSettings.h"

#include "UTypeGameType.h"

int TBoardSettings::LevelInterval1() const { return m_board.LevelInterval1(); }
int TBoardSettings::LevelInterval2() const { return m_board.LevelInterval2(); }
int TBoardSettings::LevelInterval3() const { return m_board.LevelInterval3(); }
void TBoardSettings::SetLevelInterval1(int ms) { m_board.SetLevelInterval1(ms); }
void TBoardSettings::SetLevelInterval2(int ms) { m_board.SetLevelInterval2(ms); }
void TBoardSettings::SetLevelInterval3(int ms) { m_board.SetLevelInterval3(ms); }

std::uint32_t TBoardSettings::BackGroundColor() const
{
    return static_cast<std::uint32_t>(m_board.BackGroundColor());
}

std::uint32_t TBoardSettings::NormalColor() const
{
    return static_cast<std::uint32_t>(m_board.NormalColor());
}

std::uint32_t TBoardSettings::TypeColor() const
{
    return static_cast<std::uint32_t>(m_board.TypeColor());
}

void TBoardSettings::SetBackGroundColor(std::uint32_t color)
{
    m_board.SetBackGroundColor(static_cast<TColor>(color));
}

void TBoardSettings::SetNormalColor(std::uint32_t color)
{
    m_board.SetNormalColor(static_cast<TColor>(color));
}

void TBoardSettings::SetTypeColor(std::uint32_t color)
{
    m_board.SetTypeColor(static_cast<TColor>(color));
}

void TBoardSettings::SetWordDisType(TWordDisplay display)
{
    m_board.SetWordDisType(static_cast<TWordDisType>(static_cast<int>(display)));
}

void TBoardSettings::SetSpeechEnable(bool enable) { m_board.SetSpeechEnable(enable); }
void TBoardSettings::RedrawWords() { m_board.RedrawWords(); }
void TBoardSettings::PauseGame() { m_board.PauseGame(); }
