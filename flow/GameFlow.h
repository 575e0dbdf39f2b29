#pragma once
// The game over a whole book: the game's parameters, starting, pausing,
// continuing, restarting, levels, one toll gate after the other with running
// totals, the end of the book, and the recently played toll gates. It drives
// the board and the window through TGameBoard and TGameView only.

#include <string>

#include "GameBoard.h"
#include "GameView.h"
#include "Records.h"

class TGameFlow {
public:
    static constexpr int kWordsPerGate = 20;

    explicit TGameFlow(TGameView &view) : m_view(view) {}

    // The board the game is played on; null while there is none. Without a
    // board the commands change the parameters and the view only.
    void SetBoard(TGameBoard *board) { m_board = board; }

    TGamePara &GamePara() { return m_para; }
    const TGamePara &GamePara() const { return m_para; }
    // The totals shown, and the part of them the finished toll gates of this
    // game make.
    const TGameTotals &Totals() const { return m_totals; }
    const TGameTotals &PrevTotals() const { return m_prev; }
    TGameState State() const { return m_state; }

    // Reads the saved game, its toll gate brought into the book.
    void LoadGame();
    // The words the game opens with: the saved toll gate twice over, so a
    // newcomer sees each word again.
    TWordInfos OpeningWords() const;
    // Saves the game once it was read; throws what the settings file throws.
    void SaveGame() const;

    // A game ready to start: labels, level, buttons, totals at 0.
    void ResetGameDisplay();
    // Puts toll gate n on the board and runs it, and lists it as recent. It
    // does not change TollGateIndex.
    void LoadTollGate(int tollGate);
    // The board's counts changed: the totals follow.
    void BoardCountsChanged();
    // The board's words are done: the next toll gate, or the end of the book.
    void TollGateOver();

    void Start();
    void Pause();
    void Continue();
    // Toll gate 1 of the book, running, totals at 0.
    void Restart();
    // The level for the current toll gate, which starts again; a game that
    // is not running stays still.
    void ChooseLevel(int level);
    // Another book (or the same one moved) from the book dialog: Ready.
    void ChooseBook(const TGamePara &para);

    void AddRecentTollGate(const TGamePara &para);
    // A line of the recent list: its book, toll gate and level, Ready. A line
    // that does not read, or whose book is gone, changes nothing.
    void PlayRecent(const std::string &line);

private:
    void showTollGate();
    void showState(TGameState state);
    void resetTotals();
    // Clamps TollGateIndex to 1 .. TollGateCount: a value from an edited
    // settings file, a recent entry or a book whose word count changed must
    // not start beyond the book, or the game would run through empty toll
    // gates for ever.
    void bringTollGateIntoRange();

    TGameView &m_view;
    TGameBoard *m_board = nullptr;
    TGamePara m_para;
    TGameTotals m_prev;
    TGameTotals m_totals;
    TGameState m_state = TGameState::Ready;
    bool m_loaded = false;
};
