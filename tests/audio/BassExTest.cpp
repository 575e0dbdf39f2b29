// The music player's bookkeeping and StartBackgroundMusic, on a fake layer.
#include <gtest/gtest.h>

#include "FakeAudioLayer.h"
#include "GbkText.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBassEx.h"

namespace {

TEST(AudioBassEx, CreateDisablesOnAWrongVersionButStillOpensTheOutput)
{
    FakeAudioLayer layer;
    layer.versionOk = false;
    TBassEx bass(42, layer);
    EXPECT_FALSE(bass.Enabled());
    EXPECT_EQ(layer.initCalls, 1);
    EXPECT_EQ(bass.OwnerWindow(), 42u);

    FakeAudioLayer noDevice;
    noDevice.initOk = false;
    TBassEx silent(0, noDevice);
    EXPECT_FALSE(silent.Enabled());
    silent.AddStream("/x.mp3", "mainplay");
    silent.Play("mainplay");
    silent.SetVolume(50, "mainplay");
    EXPECT_TRUE(silent.Streams().empty());
    EXPECT_EQ(silent.GetVolume("mainplay"), 0);
    EXPECT_TRUE(noDevice.created.empty());
}

TEST(AudioBassEx, EntriesKeepInsertionOrderAndFailedFilesGetHandleZero)
{
    FakeAudioLayer layer;
    layer.undecodable = {"/bad.mp3"};
    TBassEx bass(0, layer);
    bass.AddStream("/a.mp3", "one");
    bass.AddStream("/bad.mp3", "two");
    bass.AddStream("/c.mp3", "one");
    ASSERT_EQ(bass.Streams().size(), 3u);
    EXPECT_EQ(bass.Streams()[1].Name, "two");
    EXPECT_EQ(bass.Streams()[1].Handle, 0u);
    EXPECT_NE(bass.Streams()[0].Handle, 0u);
    EXPECT_EQ(bass.IndexOfStream("one"), 0);
    EXPECT_EQ(bass.IndexOfStream("two"), 1);
    EXPECT_EQ(bass.IndexOfStream("ONE"), -1);
    EXPECT_EQ(bass.IndexOfStream("three"), -1);

    // Play and volume on the failed entry are harmless and read back as 0.
    bass.Play("two");
    bass.SetVolume(80, "two");
    EXPECT_EQ(bass.GetVolume("two"), 0);
}

TEST(AudioBassEx, TwoEntriesOfOneNameActOnTheFirstAndAreFreedTogether)
{
    FakeAudioLayer layer;
    TBassEx bass(0, layer);
    bass.AddStream("/first.mp3", "x");
    bass.AddStream("/other.mp3", "y");
    bass.AddStream("/second.mp3", "x");
    const std::uint32_t first = bass.Streams()[0].Handle;
    const std::uint32_t second = bass.Streams()[2].Handle;
    bass.Play("x");
    bass.SetVolume(30, "x");
    EXPECT_TRUE(layer.streams[first].playing);
    EXPECT_FALSE(layer.streams[second].playing);
    EXPECT_FLOAT_EQ(layer.streams[first].volume, 0.3f);
    EXPECT_FLOAT_EQ(layer.streams[second].volume, 1.0f);

    bass.RemoveStream("x");
    ASSERT_EQ(bass.Streams().size(), 1u);
    EXPECT_EQ(bass.Streams()[0].Name, "y");
    EXPECT_EQ(layer.streams.count(first), 0u);
    EXPECT_EQ(layer.streams.count(second), 0u);
    EXPECT_EQ(layer.streams.size(), 1u);
}

TEST(AudioBassEx, VolumeReadsBackExactlyWhatWasSetForEveryPercent)
{
    FakeAudioLayer layer;
    TBassEx bass(0, layer);
    bass.AddStream("/a.mp3", "mainplay");
    for (int percent = 0; percent <= 100; ++percent) {
        bass.SetVolume(percent, "mainplay");
        ASSERT_EQ(bass.GetVolume("mainplay"), percent);
    }
    EXPECT_FLOAT_EQ(layer.streams.begin()->second.volume, 1.0f);
    bass.SetVolume(50, "mainplay");
    EXPECT_FLOAT_EQ(layer.streams.begin()->second.volume, 0.5f);
    EXPECT_EQ(bass.GetVolume("nothing"), 0);
}

TEST(AudioBassEx, RemoveWorksWhileDisabledAndDestroyFreesEverything)
{
    FakeAudioLayer layer;
    {
        TBassEx bass(0, layer);
        bass.AddStream("/a.mp3", "a");
        bass.AddStream("/b.mp3", "b");
        layer.versionOk = false;  // no effect after creation
    }
    EXPECT_TRUE(layer.streams.empty());
    EXPECT_EQ(layer.freed.size(), 2u);
}

class AudioStartMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteSysString(Setting::Mp3, Gbk("默认背景音乐"));
        WriteSysInteger(Setting::Mp3Voice, 40);
        WriteSysInteger(Setting::PlayMp3, 1);
        m_dir.WriteFile("source/mp3/默认背景音乐.mp3", "stand-in");
    }
    TempProgramDir m_dir;
    FakeAudioLayer m_layer;
};

TEST_F(AudioStartMusic, OpensSetsVolumeAndPlaysTheStoredPiece)
{
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    ASSERT_EQ(bass.IndexOfStream("mainplay"), 0);
    ASSERT_EQ(m_layer.created.size(), 1u);
    EXPECT_EQ(m_layer.created[0], m_dir.Path("source/mp3/默认背景音乐.mp3"));
    EXPECT_EQ(bass.GetVolume("mainplay"), 40);
    ASSERT_NE(m_layer.Playing(), nullptr);
}

TEST_F(AudioStartMusic, PlayMp3ZeroOpensAndSetsVolumeButPlaysNothing)
{
    WriteSysInteger(Setting::PlayMp3, 0);
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    EXPECT_EQ(bass.IndexOfStream("mainplay"), 0);
    EXPECT_EQ(bass.GetVolume("mainplay"), 40);
    EXPECT_EQ(m_layer.Playing(), nullptr);
}

TEST_F(AudioStartMusic, EachStartReplacesTheStreamAndUntickingStopsIt)
{
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    const std::uint32_t old = bass.Streams()[0].Handle;
    WriteSysInteger(Setting::PlayMp3, 0);
    StartBackgroundMusic(bass);
    ASSERT_EQ(bass.Streams().size(), 1u);
    EXPECT_NE(bass.Streams()[0].Handle, old);
    EXPECT_EQ(m_layer.streams.count(old), 0u);
    EXPECT_EQ(m_layer.Playing(), nullptr);
}

TEST_F(AudioStartMusic, AMissingFileChangesNothing)
{
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    WriteSysString(Setting::Mp3, "gone");
    StartBackgroundMusic(bass);
    ASSERT_EQ(bass.Streams().size(), 1u);
    EXPECT_EQ(m_layer.created.size(), 1u);
    EXPECT_NE(m_layer.Playing(), nullptr);

    // Without the key the file looked for is ".mp3": normally absent.
    m_dir.WriteFile("data/typeconfig.ini", "[system]\r\nPlayMp3=1\r\n");
    StartBackgroundMusic(bass);
    EXPECT_EQ(m_layer.created.size(), 1u);
}

TEST_F(AudioStartMusic, ANameListedInAnotherCaseFindsTheLowerCaseCopy)
{
    m_dir.WriteFile("source/mp3/my song.mp3", "stand-in");
    WriteSysString(Setting::Mp3, "My Song");
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    ASSERT_EQ(m_layer.created.size(), 1u);
    EXPECT_EQ(m_layer.created[0], m_dir.Path("source/mp3/my song.mp3"));
    EXPECT_NE(m_layer.Playing(), nullptr);
}

TEST_F(AudioStartMusic, AnExactMatchWinsOverOtherCases)
{
    m_dir.WriteFile("source/mp3/song.mp3", "lower");
    m_dir.WriteFile("source/mp3/Song.mp3", "exact");
    WriteSysString(Setting::Mp3, "Song");
    TBassEx bass(0, m_layer);
    StartBackgroundMusic(bass);
    ASSERT_EQ(m_layer.created.size(), 1u);
    EXPECT_EQ(m_layer.created[0], m_dir.Path("source/mp3/Song.mp3"));
}

}  // namespace
