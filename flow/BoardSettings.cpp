#include "BoardSettings.h"

#include "GameBoard.h"
#include "Settings.h"

void TBoardSettings::Apply(TGameBoard &board) const
{
    board.SetLevelInterval1(ReadSysInteger(Setting::LevelInterval1));
    board.SetLevelInterval2(ReadSysInteger(Setting::LevelInterval2));
    board.SetLevelInterval3(ReadSysInteger(Setting::LevelInterval3));
    board.SetBackGroundColor(static_cast<std::uint32_t>(ReadSysInteger(Setting::BackGroundColor)));
    board.SetNormalColor(static_cast<std::uint32_t>(ReadSysInteger(Setting::NormalColor)));
    board.SetTypeColor(static_cast<std::uint32_t>(ReadSysInteger(Setting::TypeColor)));
    board.RedrawWords();
}

void TBoardSettings::SetIntervals(TGameBoard &board, int interval1, int interval2,
                                  int interval3) const
{
    board.SetLevelInterval1(interval1);
    board.SetLevelInterval2(interval2);
    board.SetLevelInterval3(interval3);
    WriteSysValues({{Setting::LevelInterval1, board.LevelInterval1()},
                    {Setting::LevelInterval2, board.LevelInterval2()},
                    {Setting::LevelInterval3, board.LevelInterval3()}});
}

void TBoardSettings::SetColors(TGameBoard &board, const TBoardColors &colors) const
{
    board.SetBackGroundColor(colors.BackGround);
    board.SetNormalColor(colors.Normal);
    board.SetTypeColor(colors.Type);
    board.RedrawWords();
    WriteSysValues({{Setting::BackGroundColor, static_cast<std::int32_t>(board.BackGroundColor())},
                    {Setting::NormalColor, static_cast<std::int32_t>(board.NormalColor())},
                    {Setting::TypeColor, static_cast<std::int32_t>(board.TypeColor())}});
}
