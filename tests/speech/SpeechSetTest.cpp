// The speech settings dialog on a fake engine layer.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

#include "FakeSpeechLayer.h"
#include "GbkText.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UFrmSpeechSet.h"
#include "USpeechEx.h"

namespace {

QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

class SpeechSettings : public ::testing::Test {
protected:
    void SetUp() override { ScriptedMessageBoxes::Global().Clear(); }

    // A shown dialog over a started engine with these voices.
    void Open(std::vector<std::string> voices)
    {
        m_layer = std::make_unique<FakeSpeechLayer>(std::move(voices));
        m_speech = std::make_unique<TSpeechEx>(*m_layer);
        ASSERT_TRUE(m_speech->InitEngine());
        m_dialog = std::make_unique<TFrmSpeechSet>();
        m_dialog->SetSpeechEx(m_speech.get());
        m_dialog->FillEngineList();
    }
    void Show() { m_dialog->show(); }
    void ChooseEngine(const QString &engine)
    {
        m_dialog->cboEngineList->setCurrentIndex(m_dialog->cboEngineList->findText(engine));
        emit m_dialog->cboEngineList->activated(m_dialog->cboEngineList->currentIndex());
    }

    TempProgramDir m_dir;
    std::unique_ptr<FakeSpeechLayer> m_layer;
    std::unique_ptr<TSpeechEx> m_speech;
    std::unique_ptr<TFrmSpeechSet> m_dialog;
};

TEST_F(SpeechSettings, WithoutAnyEngineTheDialogIsNotShown)
{
    FakeSpeechLayer layer({"Other"});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_FALSE(ShowSpeechSettings(nullptr, speech));
    EXPECT_EQ(ScriptedMessageBoxes::Global().Texts(),
              QStringList{QStringLiteral("没有安装任何语音引擎，无法进行语音设置。")});
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown()[0].icon, TMsgIcon::Information);
}

TEST_F(SpeechSettings, OpensOnTheLiveEngine)
{
    Open({"VW Kate", "Microsoft Mary", "Microsoft Mike"});
    m_speech->SetVolume(75);
    m_speech->SetRate(-4);
    Show();
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("语音设置"));
    EXPECT_EQ(items(m_dialog->cboEngineList),
              (QStringList{QStringLiteral("微软引擎"), QStringLiteral("NeoSpeak引擎")}));
    EXPECT_EQ(m_dialog->cboEngineList->currentText(), QStringLiteral("NeoSpeak引擎"));
    EXPECT_TRUE(m_dialog->rbWoman->isChecked());
    EXPECT_FALSE(m_dialog->rbMan->isEnabled());
    EXPECT_EQ(items(m_dialog->cboSpeaker), QStringList{QStringLiteral("VW Kate")});
    EXPECT_EQ(m_dialog->cboSpeaker->currentText(), QStringLiteral("VW Kate"));
    EXPECT_EQ(m_dialog->tbVoice->value(), 38);
    EXPECT_EQ(m_dialog->tbSpeed->value(), -4);
    EXPECT_EQ(m_dialog->tbSpeed->minimum(), -10);
    EXPECT_EQ(m_dialog->tbSpeed->maximum(), 10);
    EXPECT_EQ(m_dialog->tbVoice->maximum(), 50);
}

TEST_F(SpeechSettings, VolumeHalvesRoundHalvesToEven)
{
    Open({"Microsoft Mary"});
    m_speech->SetVolume(85);
    Show();
    EXPECT_EQ(m_dialog->tbVoice->value(), 42);
}

TEST_F(SpeechSettings, NeoSpeakWithOnlyKateOffersTheFemaleVoiceOnly)
{
    Open({"VW Kate", "Microsoft Mike"});
    Show();
    ChooseEngine(QStringLiteral("NeoSpeak引擎"));
    EXPECT_FALSE(m_dialog->rbMan->isEnabled());
    EXPECT_TRUE(m_dialog->rbWoman->isEnabled());
    EXPECT_TRUE(m_dialog->rbWoman->isChecked());
    EXPECT_EQ(items(m_dialog->cboSpeaker), QStringList{QStringLiteral("VW Kate")});
}

TEST_F(SpeechSettings, ChoosingTheMicrosoftEngineSelectsTheMaleVoicesFirst)
{
    Open({"Microsoft Mary", "Microsoft Mike", "Microsoft Sam", "VW Kate"});
    Show();
    ChooseEngine(QStringLiteral("微软引擎"));
    EXPECT_TRUE(m_dialog->rbMan->isChecked());
    EXPECT_TRUE(m_dialog->rbWoman->isEnabled());
    EXPECT_EQ(items(m_dialog->cboSpeaker),
              (QStringList{QStringLiteral("Microsoft Mike"), QStringLiteral("Microsoft Sam")}));
    EXPECT_EQ(m_dialog->cboSpeaker->currentText(), QStringLiteral("Microsoft Mike"));
    m_dialog->rbWoman->click();
    EXPECT_EQ(items(m_dialog->cboSpeaker), QStringList{QStringLiteral("Microsoft Mary")});
    EXPECT_EQ(m_dialog->cboSpeaker->currentIndex(), 0);
    // Nothing reached the engine yet.
    EXPECT_EQ(m_speech->GetSpeakName(), "VW Kate");
}

TEST_F(SpeechSettings, ApplyStoresTheEnginesValues)
{
    Open({"Microsoft Mary", "Microsoft Mike", "Microsoft Sam"});
    Show();
    ChooseEngine(QStringLiteral("微软引擎"));
    m_dialog->cboSpeaker->setCurrentIndex(1);
    m_dialog->tbVoice->setValue(50);
    m_dialog->tbSpeed->setValue(3);
    m_dialog->btnOk->click();
    EXPECT_EQ(ScriptedMessageBoxes::Global().Texts(),
              QStringList{QStringLiteral("语音设置应用成功。")});
    EXPECT_EQ(m_speech->GetVolume(), 100);
    EXPECT_EQ(m_speech->GetSpeakName(), "Microsoft Sam");
    const TSpeechSet stored = ReadSpeechSet();
    EXPECT_EQ(stored, (TSpeechSet{Gbk("微软引擎"), "Microsoft Sam", 1, 3, 100}));
    EXPECT_TRUE(m_dialog->isVisible());  // "应用" does not close
}

TEST_F(SpeechSettings, ApplyWithoutASpeakerFailsAndStoresNothing)
{
    Open({"Microsoft Mary"});
    Show();
    m_dialog->cboSpeaker->clear();
    m_dialog->tbVoice->setValue(20);
    m_dialog->btnOk->click();
    EXPECT_EQ(ScriptedMessageBoxes::Global().Texts(),
              QStringList{QStringLiteral("语音设置失败。")});
    EXPECT_EQ(ReadSpeechSet(), TSpeechSet{});
    // Volume and rate stay in effect for this run.
    EXPECT_EQ(m_speech->GetVolume(), 40);
}

TEST_F(SpeechSettings, TestSpeaksTheChoiceAndLeavesTheEngineAsItWas)
{
    Open({"Microsoft Mary", "Microsoft Mike", "VW Kate"});
    m_speech->SetVolume(64);
    m_speech->SetRate(2);
    Show();
    ChooseEngine(QStringLiteral("微软引擎"));
    m_dialog->tbVoice->setValue(10);
    m_dialog->tbSpeed->setValue(-5);
    const std::string engine = m_speech->GetEngineName();
    const std::string speaker = m_speech->GetSpeakName();
    const int voiceBefore = m_layer->state.selected;
    m_dialog->btnTest->click();

    ASSERT_GE(m_layer->state.spoken.size(), 3u);
    const auto &example = m_layer->state.spoken[m_layer->state.spoken.size() - 2];
    EXPECT_EQ(example.text, "Example");
    EXPECT_EQ(example.voice, 1);  // Microsoft Mike
    EXPECT_EQ(example.volume, 20);
    EXPECT_EQ(example.rate, -5);
    EXPECT_EQ(m_layer->state.spoken.back().text, ".");

    EXPECT_EQ(m_speech->GetEngineName(), engine);
    EXPECT_EQ(m_speech->GetSpeakName(), speaker);
    EXPECT_EQ(m_speech->GetSpeakSex(), 0);
    EXPECT_EQ(m_speech->GetVolume(), 64);
    EXPECT_EQ(m_speech->GetRate(), 2);
    EXPECT_EQ(m_layer->state.selected, voiceBefore);
    EXPECT_EQ(ReadSpeechSet(), TSpeechSet{});
}

TEST_F(SpeechSettings, CloseEndsTheModalDialog)
{
    Open({"Microsoft Mary"});
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<TFrmSpeechSet *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->cboEngineList->currentText(), QStringLiteral("微软引擎"));
        dialog->btnCancel->click();
    });
    EXPECT_TRUE(ShowSpeechSettings(nullptr, *m_speech));
    EXPECT_TRUE(ScriptedMessageBoxes::Global().Shown().empty());
}

}  // namespace

// ------------------------------------------------------------ 口音

namespace {

void ChooseAccent(TFrmSpeechSet &dialog, const QString &name)
{
    dialog.cboAccent->setCurrentIndex(dialog.cboAccent->findText(name));
    emit dialog.cboAccent->activated(dialog.cboAccent->currentIndex());
}

TEST_F(SpeechSettings, EachVoiceIsMarkedWithItsAccent)
{
    Open({"Microsoft Mary", "Microsoft Mike", "Microsoft Sam", "VW Kate", "VW Paul"});
    Show();
    const auto marks = [this] {
        QStringList out;
        for (int i = 0; i < m_dialog->cboSpeaker->count(); ++i) {
            out << m_dialog->cboSpeaker->itemData(i, Qt::ToolTipRole).toString();
            EXPECT_FALSE(m_dialog->cboSpeaker->itemIcon(i).isNull());
        }
        return out;
    };
    EXPECT_EQ(marks(), QStringList{QStringLiteral("美音")});  // VW Kate
    ChooseEngine(QStringLiteral("微软引擎"));
    EXPECT_EQ(items(m_dialog->cboSpeaker),
              (QStringList{QStringLiteral("Microsoft Mike"), QStringLiteral("Microsoft Sam")}));
    EXPECT_EQ(marks(), (QStringList{QStringLiteral("美音"), QStringLiteral("英音")}));
    m_dialog->rbWoman->click();
    EXPECT_EQ(marks(), QStringList{QStringLiteral("英音")});  // Microsoft Mary
    EXPECT_EQ(VoiceAccentOf("VW Paul"), TAccent::American);
    EXPECT_EQ(VoiceAccentOf("Other"), TAccent::British);
}

TEST_F(SpeechSettings, AMissingOrUnknownAccentReadsBritish)
{
    Open({"VW Kate"});
    Show();
    EXPECT_EQ(ReadAccent(), TAccent::British);
    EXPECT_EQ(m_dialog->cboAccent->currentText(), QStringLiteral("英音"));
    EXPECT_TRUE(m_dialog->cbBothSpellings->isChecked());
    WriteSysInteger(Setting::Accent, 7);
    EXPECT_EQ(ReadAccent(), TAccent::British);
    WriteSysInteger(Setting::Accent, 1);
    EXPECT_EQ(ReadAccent(), TAccent::American);
    TFrmSpeechSet again;
    again.SetSpeechEx(m_speech.get());
    again.FillEngineList();
    again.show();
    EXPECT_EQ(again.cboAccent->currentText(), QStringLiteral("美音"));
}

TEST_F(SpeechSettings, AnotherAccentOffersAVoiceOfItAndStoresIt)
{
    Open({"Microsoft Mary", "Microsoft Mike", "VW Kate"});
    Show();
    ASSERT_EQ(m_speech->GetSpeakName(), "VW Kate");
    // The voice already speaks American: nothing to offer.
    ChooseAccent(*m_dialog, QStringLiteral("美音"));
    EXPECT_TRUE(ScriptedMessageBoxes::Global().Texts().isEmpty());
    EXPECT_EQ(ReadAccent(), TAccent::American);

    // British: the female British voice is offered; "no" keeps the voice.
    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    ChooseAccent(*m_dialog, QStringLiteral("英音"));
    EXPECT_EQ(
        ScriptedMessageBoxes::Global().Texts(),
        QStringList{QStringLiteral("当前朗读者不是英音。换用英音朗读者“Microsoft Mary”吗？")});
    EXPECT_EQ(ReadAccent(), TAccent::British);
    EXPECT_EQ(m_speech->GetSpeakName(), "VW Kate");
    EXPECT_EQ(m_dialog->cboSpeaker->currentText(), QStringLiteral("VW Kate"));

    // "Yes" switches the engine and the dialog to it and stores it.
    m_speech->SetVolume(64);
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    EXPECT_TRUE(m_dialog->OfferVoiceOf(TAccent::British));
    EXPECT_EQ(m_speech->GetSpeakName(), "Microsoft Mary");
    EXPECT_EQ(m_dialog->cboEngineList->currentText(), QStringLiteral("微软引擎"));
    EXPECT_TRUE(m_dialog->rbWoman->isChecked());
    EXPECT_EQ(m_dialog->cboSpeaker->currentText(), QStringLiteral("Microsoft Mary"));
    EXPECT_EQ(ReadSpeechSet(), (TSpeechSet{Gbk("微软引擎"), "Microsoft Mary", 0, 0, 64}));

    // Back to American with a male voice of it installed, and none female.
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    ChooseAccent(*m_dialog, QStringLiteral("美音"));
    EXPECT_EQ(m_speech->GetSpeakName(), "Microsoft Mike");
    EXPECT_TRUE(m_dialog->rbMan->isChecked());
}

TEST_F(SpeechSettings, NoVoiceOfTheAccentNothingIsOffered)
{
    Open({"VW Kate"});
    Show();
    EXPECT_FALSE(m_dialog->OfferVoiceOf(TAccent::British));
    EXPECT_TRUE(ScriptedMessageBoxes::Global().Texts().isEmpty());
}

TEST_F(SpeechSettings, TheBothSpellingsBoxIsStoredAsItChanges)
{
    Open({"VW Kate"});
    Show();
    EXPECT_EQ(ReadSysInteger(Setting::BothSpellings), 1);
    m_dialog->cbBothSpellings->click();
    EXPECT_EQ(ReadSysInteger(Setting::BothSpellings), 0);
    m_dialog->cbBothSpellings->click();
    EXPECT_EQ(ReadSysInteger(Setting::BothSpellings), 1);
}

}  // namespace
