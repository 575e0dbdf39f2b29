#include "SettingsCommands.h"

#include <algorithm>

#include <QAbstractButton>
#include <QLabel>

#include "ColorSelector.h"
#include "ModalRunner.h"
#include "NumberEdit.h"
#include "Settings.h"
#include "UFrmColor.h"
#include "UFrmLevelIntSet.h"
#include "UFrmTollGate.h"

namespace SettingsCommands {

void N30Click(TSettingsHost &host)
{
    TGamePara &para = host.GamePara();
    TFrmTollGate dialog(host.DialogParent());
    dialog.labCount()->setText(QString::number(para.TollGateCount));
    // A book always has at least one toll gate to choose, even when the
    // stored word count says otherwise.
    dialog.speTollGate()->setRange(1, std::max(1, para.TollGateCount));
    dialog.speTollGate()->setValue(para.TollGateIndex);
    if (RunModal(dialog) == QDialog::Accepted) {
        para.TollGateIndex = dialog.speTollGate()->Value();
        host.LoadTollGate(para.TollGateIndex);
        if (TGameBoard *board = host.Board())
            board->PauseGame();
        host.ResetGameDisplay();
    }
    host.FocusGame();
}

void N31Click(TSettingsHost &host)
{
    TGameBoard *board = host.Board();
    if (!board)
        return;
    TFrmLevelIntSet dialog(host.DialogParent());
    // Values outside the range show as the nearest bound.
    dialog.speLevelInterval1()->setValue(board->LevelInterval1());
    dialog.speLevelInterval2()->setValue(board->LevelInterval2());
    dialog.speLevelInterval3()->setValue(board->LevelInterval3());
    if (RunModal(dialog) == QDialog::Accepted) {
        board->SetLevelInterval1(dialog.speLevelInterval1()->Value());
        board->SetLevelInterval2(dialog.speLevelInterval2()->Value());
        board->SetLevelInterval3(dialog.speLevelInterval3()->Value());
        WriteSysValues({{Setting::LevelInterval1, board->LevelInterval1()},
                        {Setting::LevelInterval2, board->LevelInterval2()},
                        {Setting::LevelInterval3, board->LevelInterval3()}});
        host.LoadTollGate(host.GamePara().TollGateIndex);
        board->PauseGame();
        host.ResetGameDisplay();
    }
    host.FocusGame();
}

void N34Click(TSettingsHost &host)
{
    TGameBoard *board = host.Board();
    if (!board)
        return;
    TFrmColor dialog(host.DialogParent());
    dialog.csBack()->SetColorValue(board->BackGroundColor());
    dialog.csNormalColor()->SetColorValue(board->NormalColor());
    dialog.csTypeColor()->SetColorValue(board->TypeColor());
    if (RunModal(dialog) == QDialog::Accepted) {
        board->SetBackGroundColor(dialog.csBack()->ColorValue());
        board->SetNormalColor(dialog.csNormalColor()->ColorValue());
        board->SetTypeColor(dialog.csTypeColor()->ColorValue());
        // Show the change before saving it: a settings file that cannot be
        // written is reported, but the board keeps the new colours.
        board->RedrawWords();
        WriteSysValues(
            {{Setting::BackGroundColor, static_cast<std::int32_t>(board->BackGroundColor())},
             {Setting::NormalColor, static_cast<std::int32_t>(board->NormalColor())},
             {Setting::TypeColor, static_cast<std::int32_t>(board->TypeColor())}});
    }
    host.FocusGame();
}

void cbSpellClick(TSettingsHost &host, const QAbstractButton *sender, QAbstractButton &cbSpell,
                  QAbstractButton &cbMean, const QAbstractButton &cbSpeech)
{
    if (!cbSpell.isChecked() && !cbMean.isChecked()) {
        if (sender == &cbSpell)
            cbMean.setChecked(true);
        else if (sender == &cbMean)
            cbSpell.setChecked(true);
    }
    TWordDisplay display = TWordDisplay::MeanSpell;
    if (cbSpell.isChecked() && !cbMean.isChecked())
        display = TWordDisplay::Spell;
    else if (!cbSpell.isChecked() && cbMean.isChecked())
        display = TWordDisplay::Mean;
    if (TGameBoard *board = host.Board()) {
        board->SetSpeechEnable(cbSpeech.isChecked());
        board->SetWordDisType(display);
    }
    host.FocusGame();
}

}  // namespace SettingsCommands
