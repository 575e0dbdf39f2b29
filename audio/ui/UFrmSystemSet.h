#pragma once
// The background music settings dialog ("背景音乐设置"): choose a piece from
// the music folder, add files to it, and set the music volume with a live
// preview on the playing stream.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;
class QSlider;
class TBassEx;
class TFileNameEdit;

class TFrmSystemSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSystemSet(QWidget *parent = nullptr);

    // The main window's player; the dialog previews the volume on it.
    void SetBassEx(TBassEx *bassEx) { m_bassEx = bassEx; }
    TBassEx *BassEx() const { return m_bassEx; }

    // Run when the dialog is first shown: the list, the stored piece
    // selected, the slider at the playing stream's volume.
    void FormShow();
    void FillMp3List();
    // The slider moved: the music plays at the new volume at once.
    void tbVoiceChange();
    // "加入列表": copies the named file into the music folder and lists it.
    void sbMp3AddClick();

    // The name of the selected piece, or empty.
    QString SelectedMp3() const;
    // Volume in percent as the slider shows it.
    int VoicePercent() const;

    QGroupBox *const sGroupBox2;
    QComboBox *const cboMp3List;
    TFileNameEdit *const feLoadMp3;
    QPushButton *const sbMp3Add;
    QGroupBox *const sGroupBox3;
    QSlider *const tbVoice;
    QPushButton *const btnOk;
    QPushButton *const btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TBassEx *m_bassEx = nullptr;
    bool m_shown = false;
};

// What the main window's "背景音乐设置" command (N35Click) calls with the main
// window's player. Shows the dialog modally; on "确定" with a piece selected
// writes Mp3Voice and Mp3 and restarts the music with StartBackgroundMusic.
// Returns true when it did. A settings write that fails throws to the caller.
bool ShowMusicSettings(QWidget *parent, TBassEx &bassEx);
