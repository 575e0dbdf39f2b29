#include "SettingsCommands.h"

#include <algorithm>

#include <QAbstractButton>
#include <QLabel>

#include "ColorSelector.h"
#include "ModalRunner.h"
#include "NumberEdit.h"
#include "UFrmColor.h"
#include "UFrmLevelIntSet.h"
#include "UFrmTollGate.h"

namespace SettingsCommands {

void N30Click(TSettingsHost &host)
{
    const TGamePara &para = host.GamePara();
    TFrmTollGate dialog(host.DialogParent());
    dialog.labCount()->setText(QString::number(para.TollGateCount));
    // A book always has at least one toll gate to choose, even when the
    // stored word count says otherwise.
    dialog.speTollGate()->setRange(1, std::max(1, para.TollGateCount));
    dialog.speTollGate()->setValue(para.TollGateIndex);
    if (RunModal(dialog) == QDialog::Accepted)
        host.ChooseTollGate(dialog.speTollGate()->Value());
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
    if (RunModal(dialog) == QDialog::Accepted)
        host.SetLevelIntervals(dialog.speLevelInterval1()->Value(),
                               dialog.speLevelInterval2()->Value(),
                               dialog.speLevelInterval3()->Value());
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
    if (RunModal(dialog) == QDialog::Accepted)
        host.SetBoardColors({dialog.csBack()->ColorValue(), dialog.csNormalColor()->ColorValue(),
                             dialog.csTypeColor()->ColorValue()});
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
