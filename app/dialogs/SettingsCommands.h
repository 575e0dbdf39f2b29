#pragma once
// The commands of the "设置" menu and the word-display check boxes of the
// tool bar: choosing the toll gate, the level intervals, the board colours,
// what a word box shows and whether words are spoken.
//
// They work on the game through two small interfaces the main window
// implements, so they do not depend on the board's class: TGameBoard (the
// board, see GameBoard.h, whose values the dialogs start from) and
// TSettingsHost, the main window: the board (null before the board exists),
// the game parameters (read only), the game flow's commands that change the
// game (TGameFlow's of the same names: the rules and the saving are the
// flow's), the game panel's focus and the parent of the dialogs.
//
// The main window's handlers call these with itself as the host, e.g.
//   void TFrmType::N30Click() { SettingsCommands::N30Click(*this); }

#include <cstdint>

#include "BoardSettings.h"
#include "GameBoard.h"
#include "Records.h"

class QAbstractButton;
class QWidget;

class TSettingsHost {
public:
    virtual ~TSettingsHost() = default;

    virtual TGameBoard *Board() = 0;
    virtual const TGamePara &GamePara() const = 0;
    virtual void ChooseTollGate(int tollGate) = 0;
    virtual void SetLevelIntervals(int interval1, int interval2, int interval3) = 0;
    virtual void SetBoardColors(const TBoardColors &colors) = 0;
    // Gives panGame the keyboard focus, so typing reaches the board again.
    virtual void FocusGame() = 0;
    virtual QWidget *DialogParent() = 0;
};

namespace SettingsCommands {

// "选择关卡": on OK the game is Ready at the chosen toll gate, counts at 0.
void N30Click(TSettingsHost &host);

// "难度设置": on OK the board takes the three intervals, they are saved, and
// the current toll gate is Ready again with counts at 0, also when nothing
// changed.
void N31Click(TSettingsHost &host);

// "背景色及字体颜色设置": on OK the board takes the colours, they are saved
// and shown at once; the game goes on as it was.
void N34Click(TSettingsHost &host);

// A click on "单词", "词意" or "读音" (sender is the clicked box, already
// toggled). The last ticked of "单词"/"词意" cannot be unticked: the other
// one takes its place.
void cbSpellClick(TSettingsHost &host, const QAbstractButton *sender, QAbstractButton &cbSpell,
                  QAbstractButton &cbMean, const QAbstractButton &cbSpeech);

}  // namespace SettingsCommands
