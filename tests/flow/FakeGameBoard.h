#pragma once
// A game board that records what it is asked and keeps the values it is
// given; tests set its counts as a played toll gate would leave them.

#include <cstdint>
#include <string>
#include <vector>

#include "GameBoard.h"

class FakeGameBoard : public TGameBoard {
public:
    int LevelInterval1() const override { return interval[0]; }
    int LevelInterval2() const override { return interval[1]; }
    int LevelInterval3() const override { return interval[2]; }
    void SetLevelInterval1(int ms) override { set(0, ms); }
    void SetLevelInterval2(int ms) override { set(1, ms); }
    void SetLevelInterval3(int ms) override { set(2, ms); }

    std::uint32_t BackGroundColor() const override { return back; }
    std::uint32_t NormalColor() const override { return normal; }
    std::uint32_t TypeColor() const override { return type; }
    void SetBackGroundColor(std::uint32_t c) override
    {
        back = c;
        log.push_back("SetBackGroundColor");
    }
    void SetNormalColor(std::uint32_t c) override
    {
        normal = c;
        log.push_back("SetNormalColor");
    }
    void SetTypeColor(std::uint32_t c) override
    {
        type = c;
        log.push_back("SetTypeColor");
    }

    void SetWordDisType(TWordDisplay d) override { display = d; }
    void SetSpeechEnable(bool e) override { speech = e; }
    void RedrawWords() override { log.push_back("RedrawWords"); }
    void PauseGame() override
    {
        playing = false;
        log.push_back("PauseGame");
    }

    void SetWords(const TWordInfos &w) override
    {
        words = w;
        log.push_back("SetWords");
    }
    // As the board does: the words from the start, counts at 0, running.
    void Restart() override
    {
        right = error = score = 0;
        playing = true;
        log.push_back("Restart");
    }
    void ContinueGame() override
    {
        playing = true;
        log.push_back("ContinueGame");
    }
    void SetEnabled(bool e) override { enabled = e; }
    int Level() const override { return level; }
    void SetLevel(int l) override
    {
        level = l;
        log.push_back("SetLevel " + std::to_string(l));
    }
    int RightWordCount() const override { return right; }
    int ErrorWordCount() const override { return error; }
    int Score() const override { return score; }
    void Repaint() override { ++repaints; }

    int interval[3] = {50, 30, 30};
    std::uint32_t back = 11561288, normal = 16777215, type = 65280;
    TWordDisplay display = TWordDisplay::MeanSpell;
    bool speech = true;
    TWordInfos words;
    bool playing = false;
    bool enabled = true;
    int level = 1;
    int right = 0, error = 0, score = 0;
    int repaints = 0;
    std::vector<std::string> log;

private:
    void set(int i, int ms)
    {
        interval[i] = ms;
        log.push_back("SetLevelInterval" + std::to_string(i + 1) + " " + std::to_string(ms));
    }
};
