#include "UFrmSystemSet.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "FileNameEdit.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "MusicFolder.h"
#include "Settings.h"
#include "UBassEx.h"
#include "ModalRunner.h"

namespace {

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

TFrmSystemSet::TFrmSystemSet(QWidget *parent)
    : QDialog(parent),
      sGroupBox2(named(new QGroupBox(QStringLiteral("背景音乐设置"), this), "sGroupBox2")),
      cboMp3List(named(new QComboBox(sGroupBox2), "cboMp3List")),
      feLoadMp3(named(new TFileNameEdit(sGroupBox2), "feLoadMp3")),
      sbMp3Add(named(new QPushButton(QStringLiteral("加入列表"), sGroupBox2), "sbMp3Add")),
      sGroupBox3(named(new QGroupBox(QStringLiteral("背景音乐声音大小设置"), this), "sGroupBox3")),
      tbVoice(named(new QSlider(Qt::Horizontal, sGroupBox3), "tbVoice")),
      btnOk(named(new QPushButton(QStringLiteral("确定"), this), "btnOk")),
      btnCancel(named(new QPushButton(QStringLiteral("取消"), this), "btnCancel"))
{
    setObjectName(QStringLiteral("FrmSystemSet"));
    setWindowTitle(QStringLiteral("背景音乐设置"));

    feLoadMp3->SetFilter(QStringLiteral("*.mp3 (*.mp3 *.MP3)"));
    feLoadMp3->SetDialogTitle(QStringLiteral("载入背景音乐"));
    feLoadMp3->SetMaxLength(255);

    auto *music = new QGridLayout(sGroupBox2);
    auto *listLabel = new QLabel(QStringLiteral("背景音乐选择"), sGroupBox2);
    listLabel->setBuddy(cboMp3List);
    auto *loadLabel = new QLabel(QStringLiteral("载入背景音乐"), sGroupBox2);
    loadLabel->setBuddy(feLoadMp3);
    music->addWidget(listLabel, 0, 0);
    music->addWidget(cboMp3List, 0, 1, 1, 2);
    music->addWidget(loadLabel, 1, 0);
    music->addWidget(feLoadMp3, 1, 1);
    music->addWidget(sbMp3Add, 1, 2);
    music->setColumnStretch(1, 1);
    cboMp3List->setMinimumWidth(240);
    feLoadMp3->setMinimumWidth(260);

    tbVoice->setRange(0, 50);
    tbVoice->setPageStep(5);
    tbVoice->setTickPosition(QSlider::TicksBelow);
    tbVoice->setTickInterval(5);
    auto *volume = new QVBoxLayout(sGroupBox3);
    volume->addWidget(tbVoice);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    btnOk->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sGroupBox2);
    layout->addWidget(sGroupBox3);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(tbVoice, &QSlider::valueChanged, this, &TFrmSystemSet::tbVoiceChange);
    connect(sbMp3Add, &QPushButton::clicked, this, &TFrmSystemSet::sbMp3AddClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmSystemSet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrmSystemSet::FormShow()
{
    FillMp3List();
    cboMp3List->setCurrentIndex(
        cboMp3List->findText(GbkToQString(ReadSysString(Setting::Mp3)), Qt::MatchExactly));
    // Showing the stored volume is not a change of it: an odd percent would
    // otherwise be nudged down to the slider's even step on opening.
    const QSignalBlocker quiet(tbVoice);
    // Without a stream (no sound device, no music file) there is no volume to
    // read: the stored one is shown, so that "确定" keeps it.
    const int percent = m_bassEx != nullptr && m_bassEx->HasOpenStream(kMainPlay)
                            ? m_bassEx->GetVolume(kMainPlay)
                            : std::clamp(ReadSysInteger(Setting::Mp3Voice), 0, 100);
    tbVoice->setValue(percent / 2);
}

void TFrmSystemSet::FillMp3List()
{
    cboMp3List->clear();
    cboMp3List->addItems(ListMusicNames());
}

void TFrmSystemSet::tbVoiceChange()
{
    if (m_bassEx != nullptr)
        m_bassEx->SetVolume(VoicePercent(), kMainPlay);
}

void TFrmSystemSet::sbMp3AddClick()
{
    QString name;
    switch (AddMusicFile(feLoadMp3->FileName(), name)) {
    case TMusicAddResult::Added:
        cboMp3List->addItem(name);
        break;
    case TMusicAddResult::NotFound:
        break;
    case TMusicAddResult::Failed:
        ShowMessage(this, QStringLiteral("无法把文件复制到背景音乐目录，未加入列表。"),
                    TMsgIcon::Exclamation);
        break;
    }
}

QString TFrmSystemSet::SelectedMp3() const
{
    return cboMp3List->currentIndex() >= 0 ? cboMp3List->currentText() : QString();
}

int TFrmSystemSet::VoicePercent() const
{
    return tbVoice->value() * 2;
}

bool ShowMusicSettings(QWidget *parent, TBassEx &bassEx)
{
    TFrmSystemSet dialog(parent);
    dialog.SetBassEx(&bassEx);
    if (RunModal(dialog) != QDialog::Accepted || dialog.cboMp3List->currentIndex() < 0)
        return false;
    WriteSysValues({{Setting::Mp3Voice, dialog.VoicePercent()},
                    {Setting::Mp3, QStringToGbk(dialog.SelectedMp3())}});
    StartBackgroundMusic(bassEx);
    return true;
}
