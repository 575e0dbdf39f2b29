#pragma once
// A game view that records what the game flow shows and answers its
// questions from a script.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QStringList>
#include <gtest/gtest.h>

#include "GameView.h"

// The view's calls go into the board's log, so their order shows.
class FakeGameView : public TGameView {
public:
    explicit FakeGameView(std::vector<std::string> &log) : m_log(log) {}

    void ShowBook(const QString &caption) override { book = caption; }
    void ShowTollGate(const QString &caption) override { gate = caption; }
    void ShowTotals(const TGameTotals &t) override
    {
        totals = t;
        m_log.push_back("totals " + std::to_string(t.Score) + " " + std::to_string(t.RightCount)
                        + " " + std::to_string(t.ErrorCount));
    }
    void ShowState(TGameState s) override { state = s; }
    void ShowLevel(int l) override { level = l; }
    bool AskPlayAgain(const QString &message) override
    {
        m_log.push_back("ask");
        questions.push_back(message);
        if (answers.empty()) {
            ADD_FAILURE() << "an unexpected question: " << message.toStdString();
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void RecordScore(int score) override
    {
        m_log.push_back("record " + std::to_string(score));
        if (whileRecording)
            whileRecording();
    }
    void ShowRecentList() override { ++recentShown; }
    void ShowNotice(const QString &message) override
    {
        m_log.push_back("notice");
        notices.push_back(message);
    }
    void ShowFailure(const QString &message) override
    {
        m_log.push_back("failure");
        failures.push_back(message);
    }
    void FocusGame() override { ++focused; }

    QString book;
    QString gate;
    TGameTotals totals{-1, -1, -1};
    TGameState state = TGameState::Paused;
    int level = 0;
    std::deque<bool> answers;
    QStringList questions;
    std::function<void()> whileRecording;
    int recentShown = 0;
    int focused = 0;
    QStringList notices;
    QStringList failures;

private:
    std::vector<std::string> &m_log;
};
