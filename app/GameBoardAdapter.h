#pragma once
// The board as the game flow and the settings commands see it, and the
// board's events as the game flow hears them.

#include <vector>

#include <QMetaObject>

#include "GameBoard.h"

class TGameFlow;
class TTypeGameType;

class TGameBoardAdapter final : public TGameBoard {
public:
    // Connects the board's signals to the flow: the end of its words, its
    // counts, and each word shown, keyed, counted or slipped on. Both outlive it.
    TGameBoardAdapter(TTypeGameType &board, TGameFlow &flow);
    ~TGameBoardAdapter() override;
    TGameBoardAdapter(const TGameBoardAdapter &) = delete;
    TGameBoardAdapter &operator=(const TGameBoardAdapter &) = delete;

    int LevelInterval1() const override;
    int LevelInterval2() const override;
    int LevelInterval3() const override;
    void SetLevelInterval1(int milliseconds) override;
    void SetLevelInterval2(int milliseconds) override;
    void SetLevelInterval3(int milliseconds) override;
    std::uint32_t BackGroundColor() const override;
    std::uint32_t NormalColor() const override;
    std::uint32_t TypeColor() const override;
    void SetBackGroundColor(std::uint32_t color) override;
    void SetNormalColor(std::uint32_t color) override;
    void SetTypeColor(std::uint32_t color) override;
    void SetWordDisType(TWordDisplay display) override;
    void SetSpeechEnable(bool enable) override;
    void RedrawWords() override;
    void PauseGame() override;
    void SetWords(const TWordInfos &words) override;
    void Restart() override;
    void ContinueGame() override;
    void SetEnabled(bool enabled) override;
    int Level() const override;
    void SetLevel(int level) override;
    int RightWordCount() const override;
    int ErrorWordCount() const override;
    int Score() const override;
    void Repaint() override;

private:
    TTypeGameType &m_board;
    std::vector<QMetaObject::Connection> m_connections;
};
