#pragma once
// A fake main window for the settings commands that records what it is
// asked (the fake board is the game flow's), and a way to work a modal
// dialog from the test. The game flow's commands are logged as the toll gate
// they make Ready; the board's settings are the flow's own (TBoardSettings).

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include <gtest/gtest.h>

#include "FakeGameBoard.h"
#include "ModalRunner.h"
#include "dialogs/SettingsCommands.h"

class FakeHost : public TSettingsHost {
public:
    explicit FakeHost(FakeGameBoard *b) : board(b) {}

    TGameBoard *Board() override { return board; }
    const TGamePara &GamePara() const override { return para; }
    void ChooseTollGate(int n) override
    {
        para.TollGateIndex = n;
        log().push_back("ChooseTollGate " + std::to_string(n));
    }
    void SetLevelIntervals(int interval1, int interval2, int interval3) override
    {
        TBoardSettings().SetIntervals(*board, interval1, interval2, interval3);
        ChooseTollGate(para.TollGateIndex);
    }
    void SetBoardColors(const TBoardColors &colors) override
    {
        TBoardSettings().SetColors(*board, colors);
    }
    void FocusGame() override { ++focused; }
    QWidget *DialogParent() override { return nullptr; }

    // Board and window calls in one sequence, so their order can be checked.
    std::vector<std::string> &log() { return board ? board->log : ownLog; }

    FakeGameBoard *board;
    TGamePara para;
    int focused = 0;
    std::vector<std::string> ownLog;
};

// Runs the next modal dialog through a script instead of an event loop. The
// script sees the dialog as D and closes it by clicking its buttons.
template <typename D>
void ScriptNextDialog(std::function<void(D &)> script)
{
    SetModalRunner([script](QDialog &dialog) {
        auto *d = dynamic_cast<D *>(&dialog);
        EXPECT_NE(d, nullptr) << "another dialog than expected";
        if (d)
            script(*d);
        SetModalRunner({});
        return dialog.result();
    });
}
