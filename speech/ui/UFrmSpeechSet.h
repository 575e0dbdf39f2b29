#pragma once
// The speech settings dialog ("语音设置"): engine label, gender and speaker,
// volume and rate. It works on the main window's live speech object; "应用"
// also stores the settings for the next start.

#include <QDialog>

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

    QComboBox *const cboEngineList;
    QRadioButton *const rbMan;
    QRadioButton *const rbWoman;
    QComboBox *const cboSpeaker;
    QSlider *const tbVoice;
    QSlider *const tbSpeed;
    QPushButton *const btnTest;
    QPushButton *const btnOk;
    QPushButton *const btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int chosenSex() const;

    TSpeechEx *m_speechEx = nullptr;
    bool m_shown = false;
};

// What the main window's "语音设置" command (N33Click) calls with the main
// window's speech object. Without any engine label it tells the player
// "没有安装任何语音引擎，无法进行语音设置。" and shows nothing; otherwise it shows
// the dialog modally. Returns whether the dialog was shown.
bool ShowSpeechSettings(QWidget *parent, TSpeechEx &speechEx);
