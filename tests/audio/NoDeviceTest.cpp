// Without a sound device the program runs silently.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBassEx.h"

namespace {

TEST(AudioNoDevice, ThePlayerIsDisabledAndEveryCallIsHarmless)
{
    TempProgramDir dir;
    dir.WriteFile("source/mp3/默认背景音乐.mp3", "never opened");
    WriteSysString(Setting::Mp3, Gbk("默认背景音乐"));
    WriteSysInteger(Setting::Mp3Voice, 40);
    WriteSysInteger(Setting::PlayMp3, 1);

    TBassEx bass(0);
    EXPECT_FALSE(bass.Enabled());
    EXPECT_FALSE(TAudioOutput::Shared().IsOpen());
    bass.AddStream(dir.Path("source/mp3/默认背景音乐.mp3"), "mainplay");
    EXPECT_TRUE(bass.Streams().empty());
    bass.Play("mainplay");
    bass.SetVolume(50, "mainplay");
    EXPECT_EQ(bass.GetVolume("mainplay"), 0);
    bass.RemoveStream("mainplay");
    StartBackgroundMusic(bass);
    EXPECT_TRUE(bass.Streams().empty());
    EXPECT_EQ(SdlAudioLayer().StreamCreateFile(dir.Path("source/mp3/默认背景音乐.mp3")), 0u);

    // A second player finds the output just as closed.
    TBassEx again(0);
    EXPECT_FALSE(again.Enabled());
}

}  // namespace
