// What speech costs the caller and how soon it is heard, and what decoding
// the background music costs the audio thread. The output goes through
// SDL's disk driver (to /dev/null unless told otherwise), which takes the
// samples at the pace a sound card would.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "AudioOutput.h"
#include "LoopingStream.h"
#include "USpeechEx.h"
#include "UtteranceShaper.h"

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<TSpeechEx> startedSpeech()
{
    auto speech = std::make_unique<TSpeechEx>();
    if (!speech->InitEngine())
        return nullptr;
    return speech;
}

// Time Speak takes on the calling thread: it only queues the word.
void BM_SpeakCall(benchmark::State &state)
{
    auto speech = startedSpeech();
    if (!speech) {
        state.SkipWithError("the speech engine did not start");
        return;
    }
    int spoken = 0;
    for (auto _ : state) {
        speech->Speak("apple");
        // A fresh speaker now and then, so the queue does not grow for ever.
        if (++spoken % 64 == 0) {
            state.PauseTiming();
            speech.reset();  // drops its queued words first
            speech = startedSpeech();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_SpeakCall)->Iterations(20000)->Unit(benchmark::kMicrosecond);

// From Speak to the first audible sample handed to the device.
void BM_SpeakToFirstSample(benchmark::State &state)
{
    auto speech = startedSpeech();
    if (!speech || !TAudioOutput::Shared().IsOpen()) {
        state.SkipWithError("no speech engine or no sound output");
        return;
    }
    std::atomic<bool> armed{false};
    std::atomic<Clock::rep> heard{0};
    TAudioOutput::Shared().SetMonitor([&](const std::int16_t *samples, int frames, std::int64_t) {
        if (!armed || heard != 0)
            return;
        for (int i = 0; i < frames; ++i) {
            if (std::abs(static_cast<int>(samples[2 * i])) > TUtteranceShaper::kAudible) {
                heard = Clock::now().time_since_epoch().count();
                return;
            }
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the start-up "." goes by
    static std::mt19937 random(12345);  // one sequence across the repetitions
    std::uniform_int_distribution<int> jitter(0, 47);
    for (auto _ : state) {
        heard = 0;
        armed = true;
        const Clock::time_point start = Clock::now();
        speech->Speak("apple");
        while (heard == 0 && Clock::now() - start < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        armed = false;
        if (heard == 0) {
            state.SkipWithError("the word was never heard");
            break;
        }
        const Clock::time_point at{Clock::duration{heard.load()}};
        state.SetIterationTime(std::chrono::duration<double>(at - start).count());
        // Let the word end so the next one starts from silence, and start it
        // at a random point of the device's buffer cycle: a fixed pause
        // would always land at the same distance before the next buffer.
        std::this_thread::sleep_for(std::chrono::milliseconds(600 + jitter(random)));
    }
    TAudioOutput::Shared().SetMonitor(nullptr);
}
// One word per repetition, so that the worst case shows beside the mean.
BENCHMARK(BM_SpeakToFirstSample)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly()
    ->ComputeStatistics("max",
                        [](const std::vector<double> &v) {
                            return *std::max_element(v.begin(), v.end());
                        })
    ->Unit(benchmark::kMillisecond);

// Decoding and mixing one device buffer of the default music.
void BM_MixMusicBuffer(benchmark::State &state)
{
    auto stream = TLoopingStream::Open(KIVRO_DEFAULT_MUSIC);
    if (!stream) {
        state.SkipWithError("the default music cannot be decoded");
        return;
    }
    stream->Play();
    std::vector<float> mix(2 * TAudioOutput::kBufferFrames);
    for (auto _ : state) {
        stream->MixInto(mix.data(), TAudioOutput::kBufferFrames);
        benchmark::DoNotOptimize(mix.data());
    }
    state.SetItemsProcessed(state.iterations() * TAudioOutput::kBufferFrames);
}
BENCHMARK(BM_MixMusicBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    ::setenv("SDL_AUDIODRIVER", "disk", 0);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
