#include "UFrmSpeechSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "GbkText.h"
#include "MessageBoxes.h"
#include "Settings.h"
#include "SpeechLog.h"
#include "TextUtils.h"
#include "USpeechEx.h"
#include "ModalRunner.h"

#include <algorithm>

namespace {

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSlider *slider(QWidget *parent, const char *name, int minimum, int maximum)
{
    auto *s = named(new QSlider(Qt::Horizontal, parent), name);
    s->setRange(minimum, maximum);
    s->setPageStep(5);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(5);
    return s;
}

void selectText(QComboBox *combo, const std::string &gbk)
{
    combo->setCurrentIndex(combo->findText(GbkToQString(gbk), Qt::MatchExactly));
}

// The accent's mark drawn as an icon, so a voice shows it beside its name.
QIcon accentIcon(const QWidget *widget, TAccent accent)
{
    const int side = widget->fontMetrics().height();
    const qreal ratio = widget->devicePixelRatioF();
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(widget->font());
    painter.setPen(widget->palette().color(QPalette::Text));
    painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, AccentMark(accent));
    painter.end();
    return QIcon(pixmap);
}

// What "应用" stores: the voice the engine speaks with, its rate and volume.
TSpeechSet speechSetOf(TSpeechEx &speech)
{
    TSpeechSet set;
    set.EngineName = speech.GetEngineName();
    set.SpeakName = speech.GetSpeakName();
    set.SpeakSex = speech.GetSpeakSex();
    set.Rate = speech.GetRate();
    set.Volume = speech.GetVolume();
    return set;
}

}  // namespace

TFrmSpeechSet::TFrmSpeechSet(QWidget *parent)
    : QDialog(parent), cboEngineList(named(new QComboBox(this), "cboEngineList")),
      rbMan(named(new QRadioButton(QStringLiteral("男声"), this), "rbMan")),
      rbWoman(named(new QRadioButton(QStringLiteral("女声"), this), "rbWoman")),
      cboSpeaker(named(new QComboBox(this), "cboSpeaker")), tbVoice(slider(this, "tbVoice", 0, 50)),
      tbSpeed(slider(this, "tbSpeed", -10, 10)),
      btnTest(named(new QPushButton(QStringLiteral("测试"), this), "btnTest")),
      btnOk(named(new QPushButton(QStringLiteral("应用"), this), "btnOk")),
      btnCancel(named(new QPushButton(QStringLiteral("关闭"), this), "btnCancel")),
      cboAccent(named(new QComboBox(this), "cboAccent")),
      cbBothSpellings(
          named(new QCheckBox(QStringLiteral("英式、美式两种拼写都算对"), this), "cbBothSpellings"))
{
    setObjectName(QStringLiteral("FrmSpeechSet"));
    setWindowTitle(QStringLiteral("语音设置"));

    auto *engineGroup = new QGroupBox(QStringLiteral("语音引擎选择"), this);
    auto *engineLayout = new QVBoxLayout(engineGroup);
    cboEngineList->setParent(engineGroup);
    engineLayout->addWidget(cboEngineList);

    auto *voiceGroup = new QGroupBox(QStringLiteral("语音设置"), this);
    auto *voiceLayout = new QGridLayout(voiceGroup);
    rbMan->setParent(voiceGroup);
    rbWoman->setParent(voiceGroup);
    cboSpeaker->setParent(voiceGroup);
    auto *speakerLabel = new QLabel(QStringLiteral("朗读者"), voiceGroup);
    speakerLabel->setBuddy(cboSpeaker);
    auto *genders = new QHBoxLayout;
    genders->addWidget(rbMan);
    genders->addWidget(rbWoman);
    genders->addStretch(1);
    voiceLayout->addLayout(genders, 0, 0, 1, 2);
    voiceLayout->addWidget(speakerLabel, 1, 0);
    voiceLayout->addWidget(cboSpeaker, 1, 1);
    // The accent sits with the voices it marks, on the genders' row: the
    // dialog keeps its height, which the skins' gradients are drawn for.
    cboAccent->setParent(voiceGroup);
    for (const TAccent accent : {TAccent::British, TAccent::American})
        cboAccent->addItem(AccentName(accent), AccentSetting(accent));
    auto *accentLabel = new QLabel(QStringLiteral("口音"), voiceGroup);
    accentLabel->setBuddy(cboAccent);
    genders->addWidget(accentLabel);
    genders->addWidget(cboAccent);
    voiceLayout->setColumnStretch(1, 1);
    cboSpeaker->setMinimumWidth(200);

    auto *volumeGroup = new QGroupBox(QStringLiteral("声音大小设置"), this);
    tbVoice->setParent(volumeGroup);
    (new QVBoxLayout(volumeGroup))->addWidget(tbVoice);

    auto *speedGroup = new QGroupBox(QStringLiteral("语速设置"), this);
    tbSpeed->setParent(speedGroup);
    (new QVBoxLayout(speedGroup))->addWidget(tbSpeed);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cbBothSpellings);
    buttons->addStretch(1);
    buttons->addWidget(btnTest);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(engineGroup);
    layout->addWidget(voiceGroup);
    layout->addWidget(volumeGroup);
    layout->addWidget(speedGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    btnOk->setDefault(true);

    connect(cboEngineList, &QComboBox::activated, this, &TFrmSpeechSet::cboEngineListChange);
    connect(rbMan, &QRadioButton::clicked, this, &TFrmSpeechSet::rbManClick);
    connect(rbWoman, &QRadioButton::clicked, this, &TFrmSpeechSet::rbManClick);
    connect(btnTest, &QPushButton::clicked, this, &TFrmSpeechSet::btnTestClick);
    connect(btnOk, &QPushButton::clicked, this, &TFrmSpeechSet::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFrmSpeechSet::btnCancelClick);
    connect(cboAccent, &QComboBox::activated, this, &TFrmSpeechSet::cboAccentChange);
    connect(cbBothSpellings, &QCheckBox::clicked, this, &TFrmSpeechSet::cbBothSpellingsClick);
}

void TFrmSpeechSet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

int TFrmSpeechSet::chosenSex() const
{
    return rbMan->isChecked() ? 1 : 0;
}

void TFrmSpeechSet::FillEngineList()
{
    TStringList engines;
    m_speechEx->GetEngineList(engines);
    for (const std::string &engine : engines)
        cboEngineList->addItem(GbkToQString(engine));
}

void TFrmSpeechSet::FormShow()
{
    selectText(cboEngineList, m_speechEx->GetEngineName());
    cboEngineListChange();
    if (m_speechEx->GetSpeakSex() == 1)
        rbMan->setChecked(true);
    else if (m_speechEx->GetSpeakSex() == 0)
        rbWoman->setChecked(true);
    FillSpeakerList();
    selectText(cboSpeaker, m_speechEx->GetSpeakName());
    tbVoice->setValue(static_cast<int>(RoundHalfEven(m_speechEx->GetVolume() / 2.0)));
    tbSpeed->setValue(m_speechEx->GetRate());
    cboAccent->setCurrentIndex(AccentSetting(ReadAccent()));
    cbBothSpellings->setChecked(ReadSysInteger(Setting::BothSpellings) != 0);
}

void TFrmSpeechSet::cboEngineListChange()
{
    const std::string engine = QStringToGbk(cboEngineList->currentText());
    TStringList female;
    TStringList male;
    m_speechEx->GetSpeakerList(engine, 0, female);
    m_speechEx->GetSpeakerList(engine, 1, male);
    rbMan->setEnabled(!male.empty());
    rbWoman->setEnabled(!female.empty());
    if (!male.empty())
        rbMan->setChecked(true);
    else if (!female.empty())
        rbWoman->setChecked(true);
    FillSpeakerList();
    cboSpeaker->setCurrentIndex(cboSpeaker->count() > 0 ? 0 : -1);
}

void TFrmSpeechSet::rbManClick()
{
    FillSpeakerList();
    cboSpeaker->setCurrentIndex(cboSpeaker->count() > 0 ? 0 : -1);
}

void TFrmSpeechSet::FillSpeakerList()
{
    cboSpeaker->clear();
    TStringList speakers;
    m_speechEx->GetSpeakerList(QStringToGbk(cboEngineList->currentText()), chosenSex(), speakers);
    for (const std::string &speaker : speakers) {
        const TAccent accent = VoiceAccentOf(speaker);
        cboSpeaker->addItem(accentIcon(cboSpeaker, accent), GbkToQString(speaker),
                            AccentSetting(accent));
        cboSpeaker->setItemData(cboSpeaker->count() - 1, AccentName(accent), Qt::ToolTipRole);
    }
}

void TFrmSpeechSet::btnTestClick()
{
    const std::string engine = m_speechEx->GetEngineName();
    const std::string speaker = m_speechEx->GetSpeakName();
    const int sex = m_speechEx->GetSpeakSex();
    const int rate = m_speechEx->GetRate();
    const int volume = m_speechEx->GetVolume();
    try {
        m_speechEx->SetVolume(tbVoice->value() * 2);
        m_speechEx->SetRate(tbSpeed->value());
        m_speechEx->SetSpeaker(QStringToGbk(cboEngineList->currentText()), chosenSex(),
                               QStringToGbk(cboSpeaker->currentText()));
        m_speechEx->Speak("Example");
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
    }
    // At once, not after "Example" was heard: each queued text keeps the
    // settings it was queued with.
    try {
        m_speechEx->SetVolume(volume);
        m_speechEx->SetRate(rate);
        m_speechEx->SetSpeaker(engine, sex, speaker);
        m_speechEx->Speak(".");
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
    }
}

void TFrmSpeechSet::btnOkClick()
{
    m_speechEx->SetVolume(tbVoice->value() * 2);
    m_speechEx->SetRate(tbSpeed->value());
    if (!m_speechEx->SetSpeaker(QStringToGbk(cboEngineList->currentText()), chosenSex(),
                                QStringToGbk(cboSpeaker->currentText()))) {
        ShowMessage(this, QStringLiteral("语音设置失败。"));
        return;
    }
    WriteSpeechSet(speechSetOf(*m_speechEx));
    ShowMessage(this, QStringLiteral("语音设置应用成功。"));
}

void TFrmSpeechSet::btnCancelClick()
{
    reject();
}

void TFrmSpeechSet::cboAccentChange()
{
    const TAccent accent = AccentFromSetting(cboAccent->currentData().toInt());
    WriteSysInteger(Setting::Accent, AccentSetting(accent));
    OfferVoiceOf(accent);
}

void TFrmSpeechSet::cbBothSpellingsClick()
{
    WriteSysInteger(Setting::BothSpellings, cbBothSpellings->isChecked() ? 1 : 0);
}

bool TFrmSpeechSet::OfferVoiceOf(TAccent accent)
{
    const std::string current = QStringToGbk(cboSpeaker->currentText());
    if (!current.empty() && VoiceAccentOf(current) == accent)
        return false;
    TStringList engines;
    m_speechEx->GetEngineList(engines);
    const std::string chosenEngine = QStringToGbk(cboEngineList->currentText());
    std::stable_partition(engines.begin(), engines.end(),
                          [&chosenEngine](const std::string &e) { return e == chosenEngine; });
    for (const std::string &engine : engines) {
        for (const int sex : {chosenSex(), 1 - chosenSex()}) {
            TStringList speakers;
            m_speechEx->GetSpeakerList(engine, sex, speakers);
            for (const std::string &speaker : speakers) {
                if (VoiceAccentOf(speaker) != accent)
                    continue;
                if (!AskYesNo(this, QStringLiteral("当前朗读者不是%1。换用%1朗读者“%2”吗？")
                                        .arg(AccentName(accent), GbkToQString(speaker))))
                    return false;
                useVoice(engine, sex, speaker);
                return true;
            }
        }
    }
    return false;
}

void TFrmSpeechSet::useVoice(const std::string &engine, int sex, const std::string &speaker)
{
    selectText(cboEngineList, engine);
    cboEngineListChange();
    (sex == 1 ? rbMan : rbWoman)->setChecked(true);
    FillSpeakerList();
    selectText(cboSpeaker, speaker);
    if (!m_speechEx->SetSpeaker(engine, sex, speaker))
        return;
    // Stored as "应用" stores it: the engine's own rate and volume with it.
    try {
        WriteSpeechSet(speechSetOf(*m_speechEx));
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
    }
}

bool ShowSpeechSettings(QWidget *parent, TSpeechEx &speechEx)
{
    TFrmSpeechSet dialog(parent);
    dialog.SetSpeechEx(&speechEx);
    dialog.FillEngineList();
    if (dialog.cboEngineList->count() == 0) {
        ShowMessage(parent, QStringLiteral("没有安装任何语音引擎，无法进行语音设置。"));
        return false;
    }
    RunModal(dialog);
    return true;
}
