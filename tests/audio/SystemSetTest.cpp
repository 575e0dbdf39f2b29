// The music settings dialog on a fake audio layer.
#include <filesystem>
#include <fstream>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "FakeAudioLayer.h"
#include "FileNameEdit.h"
#include "GbkText.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBassEx.h"
#include "UFrmSystemSet.h"

namespace {

namespace fs = std::filesystem;

class AudioSystemSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedMessageBoxes::Global().Clear();
        m_dir.WriteFile("source/mp3/默认背景音乐.mp3", "d");
        m_dir.WriteFile("source/mp3/Song.mp3", "s");
        WriteSysString(Setting::Mp3, Gbk("默认背景音乐"));
        WriteSysInteger(Setting::Mp3Voice, 40);
        WriteSysInteger(Setting::PlayMp3, 1);
        StartBackgroundMusic(m_bass);
    }

    // Runs `drive` on the modal dialog once it is showing.
    static void WhenShown(const std::function<void(TFrmSystemSet &)> &drive)
    {
        QTimer::singleShot(0, [drive] {
            auto *dialog = qobject_cast<TFrmSystemSet *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
        });
    }

    TempProgramDir m_dir;
    FakeAudioLayer m_layer;
    TBassEx m_bass{0, m_layer};
};

TEST_F(AudioSystemSet, OpensOnTheStoredPieceAndTheStreamVolume)
{
    m_bass.SetVolume(75, "mainplay");
    TFrmSystemSet dialog;
    dialog.SetBassEx(&m_bass);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("背景音乐设置"));
    EXPECT_EQ(dialog.cboMp3List->count(), 2);
    EXPECT_EQ(dialog.cboMp3List->currentText(), QStringLiteral("默认背景音乐"));
    EXPECT_EQ(dialog.tbVoice->value(), 37);
    EXPECT_EQ(dialog.tbVoice->minimum(), 0);
    EXPECT_EQ(dialog.tbVoice->maximum(), 50);
    // Showing the volume does not change it.
    EXPECT_EQ(m_bass.GetVolume("mainplay"), 75);
    // The controls are found by their names.
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("sbMp3Add"))->text(),
              QStringLiteral("加入列表"));
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("btnOk"))->text(),
              QStringLiteral("确定"));
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(),
              QStringLiteral("取消"));
    EXPECT_NE(dialog.findChild<TFileNameEdit *>(QStringLiteral("feLoadMp3")), nullptr);
}

TEST_F(AudioSystemSet, AStoredNameNoLongerListedSelectsNothing)
{
    WriteSysString(Setting::Mp3, "gone");
    TFrmSystemSet dialog;
    dialog.SetBassEx(&m_bass);
    dialog.show();
    EXPECT_EQ(dialog.cboMp3List->currentIndex(), -1);
    EXPECT_TRUE(dialog.SelectedMp3().isEmpty());
}

TEST_F(AudioSystemSet, MovingTheSliderChangesTheLiveVolumeOnly)
{
    TFrmSystemSet dialog;
    dialog.SetBassEx(&m_bass);
    dialog.show();
    dialog.tbVoice->setValue(30);
    EXPECT_EQ(m_bass.GetVolume("mainplay"), 60);
    EXPECT_EQ(ReadSysInteger(Setting::Mp3Voice), 40);
}

TEST_F(AudioSystemSet, AddingAFileListsItUnselectedAndAFailedCopyListsNothing)
{
    QTemporaryDir outside;
    const std::string from = outside.path().toStdString() + "/My Song.mp3";
    std::ofstream(from) << "tune";
    ASSERT_TRUE(fs::exists(from));

    TFrmSystemSet dialog;
    dialog.SetBassEx(&m_bass);
    dialog.show();
    dialog.feLoadMp3->SetFileName(QString::fromStdString(from));
    dialog.sbMp3Add->click();
    ASSERT_EQ(dialog.cboMp3List->count(), 3);
    EXPECT_EQ(dialog.cboMp3List->itemText(2), QStringLiteral("My Song"));
    EXPECT_EQ(dialog.cboMp3List->currentText(), QStringLiteral("默认背景音乐"));
    EXPECT_TRUE(fs::exists(m_dir.Path("source/mp3/my song.mp3")));
    EXPECT_TRUE(ScriptedMessageBoxes::Global().Shown().empty());

    // A name that is not a file: nothing happens.
    dialog.feLoadMp3->SetFileName(QStringLiteral("/nowhere/x.mp3"));
    dialog.sbMp3Add->click();
    EXPECT_EQ(dialog.cboMp3List->count(), 3);

    // The folder cannot take the copy: the player is told, nothing is listed.
    fs::remove_all(m_dir.Path("source/mp3"));
    m_dir.WriteFile("source/mp3", "blocked");
    dialog.feLoadMp3->SetFileName(QString::fromStdString(from));
    dialog.sbMp3Add->click();
    EXPECT_EQ(dialog.cboMp3List->count(), 3);
    ASSERT_EQ(ScriptedMessageBoxes::Global().Shown().size(), 1u);
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown()[0].icon, TMsgIcon::Exclamation);
}

TEST_F(AudioSystemSet, OkStoresTheChoiceAndRestartsTheMusic)
{
    const std::uint32_t before = m_bass.Streams()[0].Handle;
    WhenShown([](TFrmSystemSet &dialog) {
        dialog.cboMp3List->setCurrentIndex(dialog.cboMp3List->findText(QStringLiteral("Song")));
        dialog.tbVoice->setValue(25);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ShowMusicSettings(nullptr, m_bass));
    EXPECT_EQ(ReadSysString(Setting::Mp3), "Song");
    EXPECT_EQ(ReadSysInteger(Setting::Mp3Voice), 50);
    ASSERT_EQ(m_bass.Streams().size(), 1u);
    EXPECT_NE(m_bass.Streams()[0].Handle, before);
    EXPECT_EQ(m_layer.created.back(), m_dir.Path("source/mp3/Song.mp3"));
    ASSERT_NE(m_layer.Playing(), nullptr);
    EXPECT_EQ(m_layer.Playing()->path, m_dir.Path("source/mp3/Song.mp3"));
    EXPECT_EQ(m_bass.GetVolume("mainplay"), 50);
}

TEST_F(AudioSystemSet, OkRestartsWithoutPlayingWhenMusicIsOff)
{
    WriteSysInteger(Setting::PlayMp3, 0);
    StartBackgroundMusic(m_bass);
    WhenShown([](TFrmSystemSet &dialog) { dialog.btnOk->click(); });
    EXPECT_TRUE(ShowMusicSettings(nullptr, m_bass));
    EXPECT_EQ(m_bass.IndexOfStream("mainplay"), 0);
    EXPECT_EQ(m_layer.Playing(), nullptr);
}

TEST_F(AudioSystemSet, CancelStoresNothingAndKeepsThePreviewedVolume)
{
    const size_t opened = m_layer.created.size();
    WhenShown([](TFrmSystemSet &dialog) {
        dialog.cboMp3List->setCurrentIndex(dialog.cboMp3List->findText(QStringLiteral("Song")));
        dialog.tbVoice->setValue(10);
        dialog.btnCancel->click();
    });
    EXPECT_FALSE(ShowMusicSettings(nullptr, m_bass));
    EXPECT_EQ(ReadSysString(Setting::Mp3), Gbk("默认背景音乐"));
    EXPECT_EQ(ReadSysInteger(Setting::Mp3Voice), 40);
    EXPECT_EQ(m_layer.created.size(), opened);
    EXPECT_EQ(m_bass.GetVolume("mainplay"), 20);
}

TEST_F(AudioSystemSet, OkWithNothingSelectedStoresNothing)
{
    fs::remove_all(m_dir.Path("source/mp3"));
    WhenShown([](TFrmSystemSet &dialog) {
        EXPECT_EQ(dialog.cboMp3List->count(), 0);
        dialog.tbVoice->setValue(5);
        dialog.btnOk->click();
    });
    EXPECT_FALSE(ShowMusicSettings(nullptr, m_bass));
    EXPECT_EQ(ReadSysInteger(Setting::Mp3Voice), 40);
}

// Without a music stream the dialog has no live volume to show.
TEST_F(AudioSystemSet, WithoutAStreamTheStoredVolumeIsShownAndKeptByOk)
{
    FakeAudioLayer noDevice;
    noDevice.initOk = false;
    TBassEx silent(0, noDevice);
    StartBackgroundMusic(silent);
    ASSERT_FALSE(silent.HasOpenStream("mainplay"));

    FakeAudioLayer broken;
    broken.undecodable.push_back(m_dir.Path("source/mp3/默认背景音乐.mp3"));
    TBassEx undecodable(0, broken);
    StartBackgroundMusic(undecodable);
    ASSERT_EQ(undecodable.Streams().size(), 1u);
    ASSERT_FALSE(undecodable.HasOpenStream("mainplay"));

    FakeAudioLayer fine;
    TBassEx noFile(0, fine);
    WriteSysString(Setting::Mp3, "gone");  // a stored music file that is no longer there
    StartBackgroundMusic(noFile);
    ASSERT_TRUE(noFile.Streams().empty());
    for (TBassEx *bass : {&silent, &undecodable, &noFile}) {
        WriteSysInteger(Setting::Mp3Voice, 40);
        int shown = -1;
        WhenShown([&shown](TFrmSystemSet &dialog) {
            shown = dialog.tbVoice->value();
            dialog.cboMp3List->setCurrentIndex(0);
            dialog.btnOk->click();
        });
        EXPECT_TRUE(ShowMusicSettings(nullptr, *bass));
        EXPECT_EQ(shown, 20);
        EXPECT_EQ(ReadSysInteger(Setting::Mp3Voice), 40);
    }

    // A stored value outside 0..100 shows at the nearer end.
    for (const auto &[stored, shown] : {std::pair{250, 50}, std::pair{-7, 0}, std::pair{41, 20}}) {
        WriteSysInteger(Setting::Mp3Voice, stored);
        TFrmSystemSet dialog;
        dialog.SetBassEx(&silent);
        dialog.show();
        EXPECT_EQ(dialog.tbVoice->value(), shown) << stored;
    }
}

}  // namespace
