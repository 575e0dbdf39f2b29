// Speech through the real engines (Flite and espeak-ng) and the real output,
// written to a file by SDL's disk driver. Positions are output frames: 44.1
// per millisecond.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string_view>
#include <thread>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "DiskCapture.h"
#include "AudioOutput.h"
#include "EspeakLibrary.h"
#include "FliteVoices.h"
#include "GbkText.h"
#include "SpeechService.h"
#include "USpeechEx.h"
#include "UtteranceShaper.h"

namespace {

using DiskCapture::Ms;
using DiskCapture::Now;
using DiskCapture::Read;

constexpr int kAudible = TUtteranceShaper::kAudible;

struct Span {
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::int64_t Length() const { return last - first + 1; }
};

Span audible(const std::vector<std::int16_t> &s)
{
    return {Samples::FirstAbove(s, kAudible), Samples::LastAbove(s, kAudible)};
}

std::vector<std::int16_t> part(const std::vector<std::int16_t> &s, std::int64_t from,
                               std::int64_t to)
{
    return {s.begin() + from, s.begin() + to};
}

// The secondary engine alone: a layer whose primary engine is missing.
class SecondaryOnlyLayer final : public TSpeechEngineLayer {
public:
    std::unique_ptr<TSpeechVoice> CreateVoice() override { throw ESpeechError("none"); }
    std::unique_ptr<TVoiceTextEngine> CreateVoiceText() override
    {
        return RealSpeechEngineLayer().CreateVoiceText();
    }
};

class SpeechDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DiskCapture::Start()); }

    // Starts the engine and lets its test utterance go by.
    static void Start(TSpeechEx &speech)
    {
        ASSERT_TRUE(speech.InitEngine());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    // What `speak` makes heard within `ms` milliseconds.
    template <typename F>
    static std::vector<std::int16_t> Hear(F speak, double ms)
    {
        const std::int64_t start = Now();
        speak();
        return Read(start, start + Ms(ms));
    }
};

struct VoiceCase {
    const char *Engine;  // UTF-8
    int Sex;
    const char *Speaker;
};

void PrintTo(const VoiceCase &voice, std::ostream *out)
{
    *out << voice.Speaker;
}

class SpeechDiskVoice : public SpeechDisk, public ::testing::WithParamInterface<VoiceCase> {
protected:
    void ChooseVoice(TSpeechEx &speech) const
    {
        ASSERT_TRUE(speech.SetSpeaker(Gbk(GetParam().Engine), GetParam().Sex, GetParam().Speaker));
    }
};

TEST_P(SpeechDiskVoice, AWordIsHeard)
{
    TSpeechEx speech;
    Start(speech);
    ASSERT_EQ(speech.EngineKind(), 1);
    ChooseVoice(speech);
    const auto s = Hear([&] { speech.Speak("apple"); }, 1000);
    const Span word = audible(s);
    ASSERT_GE(word.first, 0);
    EXPECT_GT(Samples::Peak(s), 5000);
    // About the length of the word, not of the engine's padding.
    EXPECT_GT(word.Length(), Ms(200));
    EXPECT_LT(word.Length(), Ms(700));
}

TEST_P(SpeechDiskVoice, WordsSpokenAtOnceFollowInOrderWithTheirOwnVolume)
{
    TSpeechEx speech;
    Start(speech);
    ChooseVoice(speech);
    speech.SetVolume(100);
    const Span loud = audible(Hear([&] { speech.Speak("apple"); }, 800));
    speech.SetVolume(30);
    const Span quiet = audible(Hear([&] { speech.Speak("apple"); }, 800));
    ASSERT_GT(loud.Length(), 0);
    ASSERT_GT(quiet.Length(), 0);

    speech.SetVolume(100);
    const auto both = Hear(
        [&] {
            speech.Speak("apple");
            speech.SetVolume(30);
            speech.Speak("apple");
        },
        1600);
    const Span span = audible(both);
    ASSERT_GT(span.Length(), loud.Length() + quiet.Length());
    // What lies between the two words is the gap between them.
    const std::int64_t gap = span.Length() - loud.Length() - quiet.Length();
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, Ms(100));
    // The loud word first, the quiet one after it.
    const int first = Samples::Peak(part(both, span.first, span.first + loud.Length()));
    const int second = Samples::Peak(part(both, span.last + 1 - quiet.Length(), span.last + 1));
    EXPECT_GT(first, 2 * second);
}

TEST_P(SpeechDiskVoice, RateFiveShortensAWordByAFifthAndVolumeFiftyHalvesItsPeak)
{
    TSpeechEx speech;
    Start(speech);
    ChooseVoice(speech);
    speech.SetVolume(100);
    speech.SetRate(0);
    const auto normal = Hear([&] { speech.Speak("elephant"); }, 1500);
    speech.SetRate(5);
    const auto fast = Hear([&] { speech.Speak("elephant"); }, 1500);
    speech.SetRate(0);
    speech.SetVolume(50);
    const auto half = Hear([&] { speech.Speak("elephant"); }, 1500);

    const Span normalSpan = audible(normal);
    const Span fastSpan = audible(fast);
    ASSERT_GT(normalSpan.Length(), Ms(200));
    ASSERT_GT(fastSpan.Length(), 0);
    EXPECT_LE(static_cast<double>(fastSpan.Length()),
              0.8 * static_cast<double>(normalSpan.Length()));
    const double ratio = static_cast<double>(Samples::Peak(half)) / Samples::Peak(normal);
    EXPECT_NEAR(ratio, 0.5, 0.05) << "peaks " << Samples::Peak(normal) << " and "
                                  << Samples::Peak(half);
}

// Both engines' voices behind their two labels.
INSTANTIATE_TEST_SUITE_P(SpeechDisk, SpeechDiskVoice,
                         ::testing::Values(VoiceCase{"NeoSpeak引擎", 0, "VW Kate"},
                                           VoiceCase{"NeoSpeak引擎", 1, "VW Paul"},
                                           VoiceCase{"微软引擎", 0, "Microsoft Mary"}),
                         [](const auto &voice) {
                             std::string name = voice.param.Speaker;
                             std::erase(name, ' ');
                             return name;
                         });

TEST_F(SpeechDisk, TheSecondaryEngineDropsAWordSentWhileItSpeaks)
{
    SecondaryOnlyLayer layer;
    TSpeechEx speech(layer);
    Start(speech);
    ASSERT_EQ(speech.EngineKind(), 0);
    const Span single = audible(Hear([&] { speech.Speak("apple"); }, 1000));
    ASSERT_GT(single.Length(), Ms(200));

    const Span twice = audible(Hear(
        [&] {
            speech.Speak("apple");
            speech.Speak("elephant");
        },
        1500));
    EXPECT_NEAR(static_cast<double>(twice.Length()), static_cast<double>(single.Length()), Ms(30));

    // Once it is quiet again it speaks the next word.
    const Span again = audible(Hear([&] { speech.Speak("apple"); }, 1000));
    EXPECT_GT(again.Length(), Ms(200));
}

TEST_F(SpeechDisk, WordsSpokenFasterThanTheVoiceWaitAsTextNotAsSound)
{
    TSpeechEx speech;
    Start(speech);
    ASSERT_EQ(speech.EngineKind(), 1);
    const Span single = audible(Hear([&] { speech.Speak("responsibility"); }, 1500));
    ASSERT_GT(single.Length(), Ms(300));

    // A typist far ahead of the voice, while the output stands still: the
    // words wait as text, and little more than one word's sound is made.
    constexpr int kWords = 10;
    std::atomic<bool> hold{true};
    TAudioOutput::Shared().SetMonitor([&hold](const std::int16_t *, int, std::int64_t) {
        while (hold.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    const std::int64_t start = Now();
    for (int k = 0; k < kWords; ++k)
        speech.Speak("responsibility");
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const std::int64_t madeWhileHeld = TSpeechService::Instance().QueuedFrames();
    hold = false;
    TAudioOutput::Shared().SetMonitor({});
    EXPECT_LE(madeWhileHeld, Ms(500) + 2 * single.Length());

    // Then every word is heard, in turn.
    std::int64_t most = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (speech.IsSpeaking() && std::chrono::steady_clock::now() < until) {
        most = std::max(most, TSpeechService::Instance().QueuedFrames());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(speech.IsSpeaking());
    EXPECT_LE(most, Ms(500) + 2 * single.Length());
    const Span all = audible(Read(start, Now()));
    EXPECT_GE(all.Length(), kWords * single.Length());
}

}  // namespace

namespace {

// The Flite voice libraries mapped into this process, by voice name.
std::vector<std::string> MappedFliteVoices()
{
    std::ifstream maps("/proc/self/maps");
    const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    std::vector<std::string> voices;
    for (const std::string_view name : kFliteVoiceNames)
        if (all.find("libflite_" + std::string(name) + ".so") != std::string::npos)
            voices.emplace_back(name);
    return voices;
}

}  // namespace

TEST_F(SpeechDisk, AFliteVoiceIsLoadedWhenItFirstSpeaksAndNoOtherIs)
{
    TSpeechEx speech;
    ASSERT_TRUE(speech.InitEngine());
    // Both voices are offered, though only the one chosen at start speaks
    // (the start's test utterance).
    EXPECT_NE(std::find(speech.VoiceList().begin(), speech.VoiceList().end(), "VW Paul"),
              speech.VoiceList().end());
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_EQ(MappedFliteVoices(), std::vector<std::string>{"cmu_us_slt"});

    ASSERT_TRUE(speech.SetSpeaker(Gbk("NeoSpeak引擎"), 1, "VW Paul"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_EQ(MappedFliteVoices(), (std::vector<std::string>{"cmu_us_slt", "cmu_us_rms"}));
}

TEST_F(SpeechDisk, WithoutTheFliteVoicesTheOtherEngineSpeaks)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetFliteVoiceDir(empty.path().toStdString());
    TSpeechEx speech;
    Start(speech);
    ASSERT_EQ(speech.EngineKind(), 1);
    for (const std::string &voice : speech.VoiceList())
        EXPECT_EQ(voice.rfind("VW ", 0), std::string::npos) << voice << " offered";
    EXPECT_FALSE(FliteVoiceLoads("cmu_us_slt"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_TRUE(MappedFliteVoices().empty());
}

namespace {

bool EspeakMapped()
{
    std::ifstream maps("/proc/self/maps");
    const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return all.find("libespeak-ng.so") != std::string::npos;
}

bool Offered(const TSpeechEx &speech, const std::string &description)
{
    return std::find(speech.VoiceList().begin(), speech.VoiceList().end(), description)
           != speech.VoiceList().end();
}

// A folder with a file of espeak-ng's library name that is no library, and
// the installed data beside it: the voices are found, the library fails to
// load.
class BrokenEspeak {
public:
    BrokenEspeak()
    {
        const std::filesystem::path dir = m_dir.path().toStdString();
        std::ofstream(dir / "libespeak-ng.so.1") << "not a library";
        std::filesystem::create_directory_symlink(
            std::filesystem::path(EspeakDataPath()) / "espeak-ng-data", dir / "espeak-ng-data");
        SetEspeakLibrary((dir / "libespeak-ng.so.1").string());
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(SpeechDisk, EspeakNgIsLoadedOnlyWhenOneOfItsVoicesIsChosen)
{
    TSpeechEx speech;
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_EQ(speech.GetSpeakName(), "VW Kate");
    EXPECT_TRUE(Offered(speech, "Microsoft Mary"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    ASSERT_TRUE(speech.SetSpeaker(Gbk("NeoSpeak引擎"), 1, "VW Paul"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_FALSE(EspeakMapped());

    ASSERT_TRUE(speech.SetSpeaker(Gbk("微软引擎"), 0, "Microsoft Mary"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_TRUE(EspeakMapped());
}

TEST_F(SpeechDisk, WithoutEspeakNgTheFliteVoicesAloneAreOffered)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetEspeakLibrary(empty.filePath(QStringLiteral("libespeak-ng.so.1")).toStdString());
    TSpeechEx speech;
    Start(speech);
    EXPECT_EQ(speech.VoiceList(), (TStringList{"VW Kate", "VW Paul"}));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
    EXPECT_FALSE(EspeakMapped());
}

TEST_F(SpeechDisk, WithoutEitherEngineTheStartFailsAndSpeakingStaysHarmless)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetFliteVoiceDir(empty.path().toStdString());
    SetEspeakLibrary(empty.filePath(QStringLiteral("libespeak-ng.so.1")).toStdString());
    TSpeechEx speech;
    // What makes the main window tell the player to install an engine.
    EXPECT_FALSE(speech.InitEngine());
    EXPECT_NO_THROW(speech.Speak("apple"));
    EXPECT_FALSE(speech.IsSpeaking());
}

TEST_F(SpeechDisk, AnEspeakNgThatDoesNotLoadSilencesOnlyItsOwnVoices)
{
    const BrokenEspeak broken;
    TSpeechEx speech;
    Start(speech);
    ASSERT_TRUE(Offered(speech, "Microsoft Mary"));
    ASSERT_TRUE(speech.SetSpeaker(Gbk("微软引擎"), 0, "Microsoft Mary"));
    EXPECT_LT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), kAudible);
    EXPECT_FALSE(speech.IsSpeaking());

    ASSERT_TRUE(speech.SetSpeaker(Gbk("NeoSpeak引擎"), 0, "VW Kate"));
    EXPECT_GT(Samples::Peak(Hear([&] { speech.Speak("apple"); }, 1000)), 5000);
}

TEST_F(SpeechDisk, WithOnlyAnEspeakNgThatDoesNotLoadTheStartFails)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetFliteVoiceDir(empty.path().toStdString());
    const BrokenEspeak broken;
    TSpeechEx speech;
    EXPECT_FALSE(speech.InitEngine());
}

// An engine the program does not ship speaks through the same shaping and
// output: what the voice benchmark measures a candidate with.
TEST_F(SpeechDisk, AnOtherEngineIsShapedLikeTheProgramsOwn)
{
    TSpeechService &service = TSpeechService::Instance();
    service.SetOtherSynth(
        {[](const std::string &voice) { return voice == "tone"; },
         [](const std::string &, const std::string &, int, int volume, const TSampleSink &sink) {
             // 300 ms of 440 Hz at 32 kHz between 100 ms of silence each side.
             std::vector<std::int16_t> samples(32000 / 2, 0);
             for (int i = 3200; i < 3200 + 9600; ++i)
                 samples[static_cast<size_t>(i)] = static_cast<std::int16_t>(
                     std::lround(volume * 100 * std::sin(2 * M_PI * 440 * i / 32000.0)));
             return sink(samples.data(), static_cast<int>(samples.size()), 32000);
         }});
    EXPECT_TRUE(service.VoiceLoads("tone", TSynth::Other));
    EXPECT_FALSE(service.VoiceLoads("other", TSynth::Other));
    const std::vector<float> frames = service.Render({0, "a", "tone", 175, 100, TSynth::Other});
    // Stereo at 44.1 kHz, the silence trimmed to the shaper's 5 and 10 ms.
    EXPECT_NEAR(static_cast<double>(frames.size()) / 2, 44100 * 0.315, 44100 * 0.01);
    EXPECT_GT(*std::max_element(frames.begin(), frames.end()), 0.25F);
}
