#pragma once
// What the game over a book shows and asks, as the main window implements it.

#include <QString>

// The running totals of a game: the finished toll gates' and the board's.
struct TGameTotals {
    int Score = 0;
    int RightCount = 0;
    int ErrorCount = 0;

    bool operator==(const TGameTotals &) const = default;
};

// Ready: "开始游戏" and the level. Playing: "重新游戏", "暂停" and the level.
// Paused: "重新游戏", "继续" and the level.
enum class TGameState { Ready, Playing, Paused };

class TGameView {
public:
    virtual ~TGameView() = default;

    virtual void ShowBook(const QString &caption) = 0;
    virtual void ShowTollGate(const QString &caption) = 0;
    virtual void ShowTotals(const TGameTotals &totals) = 0;
    // Enables the game buttons of the state.
    virtual void ShowState(TGameState state) = 0;
    // Ticks the level's items (none for a level outside 1 .. 3) and names a
    // level from 1 to 3 on the level button.
    virtual void ShowLevel(int level) = 0;
    // The question at the end of the book; true for "是".
    virtual bool AskPlayAgain(const QString &message) = 0;
    // Offers to record the score on the leaderboard.
    virtual void RecordScore(int score) = 0;
    // The recent toll gates changed: the menu is built again from the list.
    virtual void ShowRecentList() = 0;
    // Typing reaches the board again.
    virtual void FocusGame() = 0;
    // A message to the player ("提示信息", information icon).
    virtual void ShowNotice(const QString &message) = 0;
    // A failure the player is told of ("提示信息", exclamation icon); the
    // game goes on.
    virtual void ShowFailure(const QString &message) = 0;
    // The number of words due today changed (a toll gate was recorded).
    virtual void ShowDueCount() {}
    // Toll gates were written to the learning memory.
    virtual void TollGatesRecorded() {}
};
