#pragma once
// Fakes for the settings commands: a board and a main window that record
// what they are asked, and a way to work a modal dialog from the test.

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include <gtest/gtest.h>

#include "ModalRunner.h"
#include "dialogs/SettingsCommands.h"

class FakeBoard : public TSettingsBoard {
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
    void SetBackGroundColor(std::uint32_t c) override { back = c; log.push_back("SetBackGroundColor"); }
    void SetNormalColor(std::uint32_t c) override { normal = c; log.push_back("SetNormalColor"); }
    void SetTypeColor(std::uint32_t c) override { type = c; log.push_back("SetTypeColor"); }

    void SetWordDisType(TWordDisplay d) override { display = d; }
    void SetSpeechEnable(bool e) override { speech = e; }
    void RedrawWords() override { log.push_back("RedrawWords"); }
    void PauseGame() override { log.push_back("PauseGame"); }

    int interval[3] = {50, 30, 30};
    std::uint32_t back = 11561288, normal = 16777215, type = 65280;
    TWordDisplay display = TWordDisplay::MeanSpell;
    bool speech = true;
    std::vector<std::string> log;

private:
    void set(int i, int ms)
    {
        interval[i] = ms;
        log.push_back("SetLevelInterval" + std::to_string(i + 1) + " " + std::to_string(ms));
    }
};

class FakeHost : public TSettingsHost {
public:
    explicit FakeHost(FakeBoard *b) : board(b) {}

    TSettingsBoard *Board() override { return board; }
    TGamePara &GamePara() override { return para; }
    void LoadTollGate(int n) override { log().push_back("LoadTollGate " + std::to_string(n)); }
    void ResetGameDisplay() override { log().push_back("ResetGameDisplay"); }
    void FocusGame() override { ++focused; }
    QWidget *DialogParent() override { return nullptr; }

    // Board and window calls in one sequence, so their order can be checked.
    std::vector<std::string> &log() { return board ? board->log : ownLog; }

    FakeBoard *board;
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
