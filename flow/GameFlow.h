#pragma once
// The game over a whole book: the game's parameters, starting, pausing,
// continuing, restarting, levels, one toll gate after the other with running
// totals, the end of the book, and the recently played toll gates. It drives
// the board and the window through TGameBoard and TGameView only.
//
// It also feeds the learning memory (WordMemory.h): the board's adapter
// passes on the board's word events, and each toll gate is recorded once, when it is over
// or when it is left unfinished (another toll gate, book or level, a
// restart, the end of the program), before any question is asked. A review
// game ("今日复习") plays the words due today across the books.

#include <cstdint>
#include <string>
#include <vector>

#include "BoardSettings.h"
#include "GameBoard.h"
#include "GameView.h"
#include "PlayMode.h"
#include "Records.h"
#include "TollGateTally.h"

class TGameFlow {
public:
    static constexpr int kWordsPerGate = 20;
    // The most words one review game holds.
    static constexpr int kReviewWords = 100;

    explicit TGameFlow(TGameView &view) : m_view(view) {}

    // The board the game is played on; null while there is none. Without a
    // board the commands change the parameters and the view only.
    void SetBoard(TGameBoard *board) { m_board = board; }

    const TGamePara &GamePara() const { return m_para; }
    // The totals shown, and the part of them the finished toll gates of this
    // game make.
    const TGameTotals &Totals() const { return m_totals; }
    const TGameTotals &PrevTotals() const { return m_prev; }
    TGameState State() const { return m_state; }

    // Reads the saved game, its toll gate brought into the book.
    void LoadGame();
    // The words the game opens with: the saved toll gate twice over, so a
    // newcomer sees each word again. They are the list the board's word
    // events refer to until the next toll gate is loaded.
    TWordInfos OpeningWords();
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
    // The book being played was renamed: the name shown and saved follows.
    void BookRenamed(const std::string &bookName);
    // "选择关卡": toll gate n of the book, Ready, totals at 0.
    void ChooseTollGate(int tollGate);

    // The board's saved intervals and colours, given to the board once it
    // has its words (they are its settings: no one else reads or writes them).
    void ApplyBoardSettings();
    // "难度设置": the board takes and saves the intervals; the current toll
    // gate is Ready again, totals at 0. Throws what the settings file throws,
    // the toll gate then left as it was.
    void SetLevelIntervals(int interval1, int interval2, int interval3);
    // "背景色及字体颜色设置": the board shows and saves the colours; the game
    // goes on as it was.
    void SetBoardColors(const TBoardColors &colors);

    void AddRecentTollGate(const TGamePara &para);

    // The board's word events. Index is the word's place in the list the
    // board was last given; out of range is ignored.
    void WordShown(int index);
    void WordCounted(int index, bool right);
    void WordSlip(int index, int position, char expected, char typed);
    // A key advanced the word to typedLetters letters (1: the first of a run).
    // The word events are timed by the program clock as they come.
    void WordKeyed(int index, int typedLetters);

    // How the words are put to the learner (听写, 例句填空); the words counted
    // from now on are recorded in it.
    void SetPlayMode(TPlayMode mode);
    TPlayMode PlayMode() const { return m_playMode; }
    // Records the toll gate in play as far as it went (the program ends).
    void LeaveTollGate();

    // Words due before the next local midnight, across every book; -1 when
    // the memory cannot be read.
    int DueTodayCount() const;
    // Words played today, local time (-1 when the memory cannot be read).
    int WordsPlayedToday() const;
    // A review game of the words due today, most overdue first, Ready. False,
    // with nothing changed, when none is due or the memory cannot be read;
    // the player is told which.
    bool StartReview();
    // A game of the given words (the most mistyped), played as a review game
    // is: Ready, not saved, not in the recent list, no score. False for none.
    bool StartPractice(const TWordInfos &words);
    bool InReview() const { return m_review; }
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
    // Records the tally of the toll gate on the board, if any word was
    // counted, after the toll gates whose record failed before; true when it
    // wrote (or tried to).
    bool recordTollGate();
    // Writes the unsaved toll gates, oldest first. On a failure the player is
    // told once, the game goes on, and the toll gates not written wait for
    // the next try.
    void writeUnsavedTollGates();
    void beginTally(const TWordInfos &words, int tollGate, bool opening);
    // The new-words book, chosen: its order recomputed (letter order), its
    // word count read again, the toll gate brought into range.
    void refreshNewWordsBook(bool reorder);
    void startWordGame(TWordInfos words, std::vector<TWordSource> sources, const std::string &title,
                       bool practice);
    void leaveReview();
    void reviewOver();
    // The end of a review or practice: the book and toll gate played before
    // it, Ready.
    void backToBook();

    TTollGateTally m_tally;
    TBoardSettings m_boardSettings;
    int m_tallyGate = 0;
    // Toll gates whose record failed (a full disk, a database another
    // program holds), and whether the player heard of it.
    struct TUnsavedTollGate {
        TTollGatePlay Play;
        std::vector<TWordMeeting> Words;
    };
    std::vector<TUnsavedTollGate> m_unsaved;
    bool m_unsavedTold = false;
    // The review game's words and where they come from, and the book game
    // to save meanwhile.
    bool m_review = false;
    bool m_practice = false;  // a review game of given words, not of due ones
    TWordInfos m_reviewWords;
    std::vector<TWordSource> m_reviewSources;
    TGamePara m_bookPara;

    TGameView &m_view;
    TGameBoard *m_board = nullptr;
    TGamePara m_para;
    TGameTotals m_prev;
    TGameTotals m_totals;
    TGameState m_state = TGameState::Ready;
    bool m_loaded = false;
    TPlayMode m_playMode = TPlayMode::Normal;
};
