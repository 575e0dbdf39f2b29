#pragma once
// The speech settings dialog ("语音设置"): engine label, gender and speaker,
// volume and rate. It works on the main window's live speech object; "应用"
// also stores the settings for the next start. It also holds the 口音 choice
// (which pronunciation comes first; each voice is marked 英 or 美) and
// whether both spellings of a word are accepted, both stored as they change.

#include <string>

#include <QDialog>

#include "Accent.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSlider;
class TSpeechEx;

class TFrmSpeechSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSpeechSet(QWidget *parent = nullptr);

    void SetSpeechEx(TSpeechEx *speechEx) { m_speechEx = speechEx; }
    TSpeechEx *SpeechEx() const { return m_speechEx; }

    // The engine labels into cboEngineList.
    void FillEngineList();
    // Run when the dialog is first shown: the live engine's settings.
    void FormShow();
    // Another engine label: the genders it has, the first speaker.
    void cboEngineListChange();
    // Another gender: its speakers, the first selected.
    void rbManClick();
    void FillSpeakerList();
    // "测试": "Example" in the chosen settings, then the engine's own back.
    void btnTestClick();
    // "应用": the chosen settings on the engine and in the settings file.
    void btnOkClick();
    // "关闭".
    void btnCancelClick();
    // Another accent: stored, and when the chosen voice speaks another one,
    // an offer to switch to a voice of this accent.
    void cboAccentChange();
    // Both spellings accepted or not: stored.
    void cbBothSpellingsClick();
    // The first installed voice of the accent (the chosen engine and gender
    // first), asked for with AskYesNo; on yes chosen and applied. False when
    // nothing was offered or the player said no.
    bool OfferVoiceOf(TAccent accent);

    QComboBox *const cboEngineList;
    QRadioButton *const rbMan;
    QRadioButton *const rbWoman;
    QComboBox *const cboSpeaker;
    QSlider *const tbVoice;
    QSlider *const tbSpeed;
    QPushButton *const btnTest;
    QPushButton *const btnOk;
    QPushButton *const btnCancel;
    QComboBox *const cboAccent;
    QCheckBox *const cbBothSpellings;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int chosenSex() const;
    // Chooses the voice in the controls and on the engine, and stores it.
    void useVoice(const std::string &engine, int sex, const std::string &speaker);

    TSpeechEx *m_speechEx = nullptr;
    bool m_shown = false;
};

// What the main window's "语音设置" command (N33Click) calls with the main
// window's speech object. Without any engine label it tells the player
// "没有安装任何语音引擎，无法进行语音设置。" and shows nothing; otherwise it shows
// the dialog modally. Returns whether the dialog was shown.
bool ShowSpeechSettings(QWidget *parent, TSpeechEx &speechEx);
