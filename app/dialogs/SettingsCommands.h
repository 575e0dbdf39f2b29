#pragma once
// The commands of the "设置" menu and the word-display check boxes of the
// tool bar: choosing the toll gate, the level intervals, the board colours,
// what a word box shows and whether words are spoken.
//
// They work on the game through two small interfaces the main window
// implements, so they do not depend on the board's class:
//
//  * TSettingsBoard is the game board. Each member stands for the board
//    property or operation of the same name: the three LevelInterval
//    properties (milliseconds per one-pixel step of levels 1, 2, 3), the
//    colours BackGroundColor, NormalColor and TypeColor (0x00BBGGRR, red in
//    the low byte), WordDisType, SpeechEnable, RedrawWords and PauseGame. The
//    real board stores a written value only when it differs and applies it
//    itself (an interval of the current level changes the next tick; a
//    colour shows at the next redraw).
//  * TSettingsHost is the main window: the board (null before the board
//    exists), the live game parameters, LoadTollGate (puts toll gate n on
//    the board and runs it; it does not change TollGateIndex),
//    ResetGameDisplay (labels, level captions and buttons of a game ready to
//    start, totals of finished toll gates back to 0), the game panel's focus
//    and the parent of the dialogs.
//
// The main window's handlers call these with itself as the host, e.g.
//   void TFrmType::N30Click() { SettingsCommands::N30Click(*this); }

#include <cstdint>

#include "Records.h"

class QAbstractButton;
class QWidget;

// What a word box shows; the values are those of the board's TWordDisType.
enum class TWordDisplay { Mean = 0, Spell = 1, MeanSpell = 2 };

class TSettingsBoard {
public:
    virtual ~TSettingsBoard() = default;

    virtual int LevelInterval1() const = 0;
    virtual int LevelInterval2() const = 0;
    virtual int LevelInterval3() const = 0;
    virtual void SetLevelInterval1(int milliseconds) = 0;
    virtual void SetLevelInterval2(int milliseconds) = 0;
    virtual void SetLevelInterval3(int milliseconds) = 0;

    virtual std::uint32_t BackGroundColor() const = 0;
    virtual std::uint32_t NormalColor() const = 0;
    virtual std::uint32_t TypeColor() const = 0;
    virtual void SetBackGroundColor(std::uint32_t color) = 0;
    virtual void SetNormalColor(std::uint32_t color) = 0;
    virtual void SetTypeColor(std::uint32_t color) = 0;

    virtual void SetWordDisType(TWordDisplay display) = 0;
    virtual void SetSpeechEnable(bool enable) = 0;

    virtual void RedrawWords() = 0;
    virtual void PauseGame() = 0;
};

class TSettingsHost {
public:
    virtual ~TSettingsHost() = default;

    virtual TSettingsBoard *Board() = 0;
    virtual TGamePara &GamePara() = 0;
    virtual void LoadTollGate(int tollGate) = 0;
    virtual void ResetGameDisplay() = 0;
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

} // namespace SettingsCommands
