#pragma once
// A fake main window for the settings commands that records what it is
// asked (the fake board is the game flow's), and a way to work a modal
// dialog from the test.

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
    TGamePara &GamePara() override { return para; }
    void LoadTollGate(int n) override { log().push_back("LoadTollGate " + std::to_string(n)); }
    void ResetGameDisplay() override { log().push_back("ResetGameDisplay"); }
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
