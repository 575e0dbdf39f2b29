#pragma once
// The game board as the game flow and the settings commands see it, so that
// neither depends on the board's widget. Each member stands for the board
// property or operation of the same name:
//
//  * the three LevelInterval properties (milliseconds per one-pixel step of
//    levels 1, 2, 3), the colours BackGroundColor, NormalColor and TypeColor
//    (0x00BBGGRR, red in the low byte), WordDisType, SpeechEnable and
//    RedrawWords. The real board stores a written value only when it differs
//    and applies it itself (an interval of the current level changes the next
//    tick; a colour shows at the next redraw).
//  * SetWords, Restart (the words from the start, counts at 0, running),
//    PauseGame, ContinueGame, Level, the counts and the score of the words
//    on the board, SetEnabled (a disabled board takes no clicks) and Repaint.

#include <cstdint>

#include "Records.h"

// What a word box shows; the values are those of the board's TWordDisType.
enum class TWordDisplay { Mean = 0, Spell = 1, MeanSpell = 2 };

class TGameBoard {
public:
    virtual ~TGameBoard() = default;

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

    virtual void SetWords(const TWordInfos &words) = 0;
    virtual void Restart() = 0;
    virtual void ContinueGame() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Level() const = 0;
    virtual void SetLevel(int level) = 0;
    virtual int RightWordCount() const = 0;
    virtual int ErrorWordCount() const = 0;
    virtual int Score() const = 0;
    virtual void Repaint() = 0;
};
