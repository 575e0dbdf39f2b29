// The music player on the real output, written to a file by SDL's disk
// driver. Positions are output frames: 44.1 per millisecond.
#include <string>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "AudioOutput.h"
#include "DiskCapture.h"
#include "GbkText.h"
#include "Mp3Decoder.h"
#include "MusicFolder.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "TestMp3.h"
#include "UBassEx.h"

namespace {

using DiskCapture::Ms;
using DiskCapture::Now;
using DiskCapture::Read;

// The test tones are sines at about half full scale (peak near 16000);
// anything under 1 % of full scale counts as quiet.
constexpr int kQuiet = 327;

class AudioDisk : public ::testing::Test {
protected:
    // In SetUp rather than SetUpTestSuite, so that a failure here fails the
    // test instead of quietly skipping it.
    void SetUp() override
    {
        ASSERT_TRUE(DiskCapture::Start());
        if (s_files == nullptr) {
            s_files = new QTemporaryDir;
            MakeSineMp3(File("a440.mp3"), 2.0, 440.0);
            MakeSineMp3(File("b1000.mp3"), 2.0, 1000.0);
        }
    }
    static void TearDownTestSuite()
    {
        delete s_files;
        s_files = nullptr;
    }
    static std::string File(const std::string &name)
    {
        return s_files->path().toStdString() + "/" + name;
    }

    // RMS of the file's left channel as decoded, in 16-bit units: the level
    // the output must reproduce at volume 100.
    static double DecodedRms(const std::string &path)
    {
        TMp3Decoder decoder;
        EXPECT_TRUE(decoder.Open(path));
        std::vector<float> block(2 * std::size_t{4096});
        double sum = 0.0;
        std::int64_t n = 0;
        while (const int got = decoder.Read(block.data(), 4096)) {
            for (std::size_t i = 0; i < static_cast<std::size_t>(got); ++i, ++n)
                sum += static_cast<double>(block[2 * i]) * block[2 * i];
        }
        return n == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(n)) * 32767.0;
    }

    // Samples from `from` ms to `to` ms after the output position `start`.
    static std::vector<std::int16_t> After(std::int64_t start, double from, double to)
    {
        return Read(start + Ms(from), start + Ms(to));
    }

    static QTemporaryDir *s_files;
};

QTemporaryDir *AudioDisk::s_files = nullptr;

TEST_F(AudioDisk, APlayedStreamLoopsWithoutASilentGap)
{
    TBassEx bass(0);
    ASSERT_TRUE(bass.Enabled());
    bass.AddStream(File("a440.mp3"), "mainplay");
    bass.SetVolume(100, "mainplay");
    const std::int64_t start = Now();
    bass.Play("mainplay");
    // Six seconds of a two-second file: it went round at least twice.
    const auto s = After(start, 50, 6050);
    EXPECT_LT(Samples::LongestQuietRun(s, kQuiet), Ms(10));
    const double reference = DecodedRms(File("a440.mp3"));
    EXPECT_NEAR(Samples::Rms(s), reference, reference * 0.01);
    EXPECT_NEAR(Samples::ZeroCrossingHz(s), 440.0, 2.0);
}

TEST_F(AudioDisk, HalfTheVolumeIsHalfTheAmplitude)
{
    TBassEx bass(0);
    bass.AddStream(File("a440.mp3"), "mainplay");
    bass.SetVolume(100, "mainplay");
    std::int64_t start = Now();
    bass.Play("mainplay");
    const double full = Samples::Rms(After(start, 50, 400));
    bass.SetVolume(50, "mainplay");
    start = Now();
    const double half = Samples::Rms(After(start, 50, 400));
    EXPECT_EQ(bass.GetVolume("mainplay"), 50);
    ASSERT_GT(full, 10000.0);
    EXPECT_NEAR(half / full, 0.5, 0.01);
}

TEST_F(AudioDisk, RemovingAStreamSilencesItWithin50Ms)
{
    TBassEx bass(0);
    bass.AddStream(File("a440.mp3"), "mainplay");
    std::int64_t start = Now();
    bass.Play("mainplay");
    EXPECT_GT(Samples::Rms(After(start, 50, 200)), 10000.0);
    start = Now();
    bass.RemoveStream("mainplay");
    EXPECT_EQ(Samples::Peak(After(start, 50, 400)), 0);
    EXPECT_EQ(bass.IndexOfStream("mainplay"), -1);
}

TEST_F(AudioDisk, TwoEntriesOfOneNamePlayAndSetTheFirstAndAreFreedTogether)
{
    TBassEx bass(0);
    bass.AddStream(File("a440.mp3"), "x");
    bass.AddStream(File("b1000.mp3"), "x");
    const std::uint32_t second = bass.Streams()[1].Handle;
    ASSERT_NE(second, 0u);
    std::int64_t start = Now();
    bass.Play("x");
    const auto s = After(start, 50, 550);
    EXPECT_NEAR(Samples::ZeroCrossingHz(s), 440.0, 4.0);
    const double full = Samples::Rms(s);

    bass.SetVolume(50, "x");
    start = Now();
    EXPECT_NEAR(Samples::Rms(After(start, 50, 400)) / full, 0.5, 0.01);
    float secondVolume = 0.0f;
    ASSERT_TRUE(SdlAudioLayer().ChannelGetVolume(second, secondVolume));
    EXPECT_FLOAT_EQ(secondVolume, 1.0f);

    start = Now();
    bass.RemoveStream("x");
    EXPECT_TRUE(bass.Streams().empty());
    EXPECT_FALSE(SdlAudioLayer().ChannelGetVolume(second, secondVolume));
    EXPECT_EQ(Samples::Peak(After(start, 50, 300)), 0);
}

TEST_F(AudioDisk, AnUndecodableFileGetsHandleZeroAndStaysSilent)
{
    const std::string bad = File("bad.mp3");
    std::FILE *f = std::fopen(bad.c_str(), "wb");
    std::fputs("plain words, no sound\n", f);
    std::fclose(f);
    TBassEx bass(0);
    bass.AddStream(bad, "mainplay");
    ASSERT_EQ(bass.Streams().size(), 1u);
    EXPECT_EQ(bass.Streams()[0].Handle, 0u);
    const std::int64_t start = Now();
    bass.Play("mainplay");
    bass.SetVolume(100, "mainplay");
    EXPECT_EQ(bass.GetVolume("mainplay"), 0);
    EXPECT_EQ(Samples::Peak(After(start, 0, 300)), 0);
}

TEST_F(AudioDisk, MusicSwitchedOffIsOpenedButSilentUntilSwitchedOn)
{
    TempProgramDir dir;
    dir.WriteFile("source/mp3/默认背景音乐.mp3", "");
    std::filesystem::copy_file(File("a440.mp3"), dir.Path("source/mp3/默认背景音乐.mp3"),
                               std::filesystem::copy_options::overwrite_existing);
    WriteSysString(Setting::Mp3, Gbk("默认背景音乐"));
    WriteSysInteger(Setting::Mp3Voice, 40);
    WriteSysInteger(Setting::PlayMp3, 0);
    TBassEx bass(0);
    std::int64_t start = Now();
    StartBackgroundMusic(bass);
    ASSERT_EQ(bass.IndexOfStream("mainplay"), 0);
    EXPECT_NE(bass.Streams()[0].Handle, 0u);
    EXPECT_EQ(bass.GetVolume("mainplay"), 40);
    EXPECT_EQ(Samples::Peak(After(start, 0, 300)), 0);

    WriteSysInteger(Setting::PlayMp3, 1);
    start = Now();
    StartBackgroundMusic(bass);
    const double reference = DecodedRms(File("a440.mp3"));
    EXPECT_NEAR(Samples::Rms(After(start, 50, 300)), 0.4 * reference, reference * 0.01);
}

TEST_F(AudioDisk, AFileAddedInAnotherCasePlaysUnderTheListedName)
{
    TempProgramDir dir;
    QTemporaryDir outside;
    const std::string from = outside.path().toStdString() + "/My Song.mp3";
    std::filesystem::copy_file(File("a440.mp3"), from);
    QString name;
    ASSERT_EQ(AddMusicFile(QString::fromStdString(from), name), TMusicAddResult::Added);
    ASSERT_EQ(name, QStringLiteral("My Song"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("source/mp3/my song.mp3")));
    WriteSysString(Setting::Mp3, QStringToGbk(name));
    WriteSysInteger(Setting::Mp3Voice, 100);
    WriteSysInteger(Setting::PlayMp3, 1);
    TBassEx bass(0);
    const std::int64_t start = Now();
    StartBackgroundMusic(bass);
    EXPECT_GT(Samples::Rms(After(start, 50, 300)), 10000.0);
}

// The output is SDL's own device with our mix in its callback: no mixer
// library (and none of its codec chain) is in the process once it plays.
TEST_F(AudioDisk, TheOpenOutputRunsOnSdlAlone)
{
    EXPECT_TRUE(TAudioOutput::LayerVersionSupported());
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    EXPECT_TRUE(mapped.contains("libSDL2-2.0.so"));
    EXPECT_FALSE(mapped.contains("libSDL2_mixer"));

    // The device is unpaused: its callback keeps the stream position
    // running while nothing plays.
    const std::int64_t start = Now();
    DiskCapture::WaitUntil(start + Ms(100));
    EXPECT_GE(Now(), start + Ms(100));
}

}  // namespace
