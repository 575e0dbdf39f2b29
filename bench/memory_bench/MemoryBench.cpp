// The learning memory: recording a toll gate and counting today's due words,
// in a database that already remembers 30 000 words.
// Run from a Release build: build-rel/bench/bin/memory_bench
#include <string>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "BenchDatabase.h"
#include "FsrsScheduler.h"
#include "WordMemory.h"

namespace {

constexpr int kRemembered = 30000;
constexpr std::int64_t kStart = 1'780'000'000'000;

TWordMeeting meeting(int k, TRating rating)
{
    TWordMeeting m;
    m.Word.Spelling = "word" + std::to_string(k);
    m.Word.Meaning = "meaning";
    m.BookId = 1;
    m.BookRow = k;
    m.Right = rating == TRating::Again ? 0 : 1;
    m.Missed = rating == TRating::Again ? 1 : 0;
    m.Rating = rating;
    return m;
}

// One database remembering kRemembered words, met over 100 days.
struct World {
    TBenchDatabase database;
    std::int64_t now = kStart + 100 * DayMs;

    World()
    {
        constexpr int kBatch = 300;
        for (int first = 0; first < kRemembered; first += kBatch) {
            std::vector<TWordMeeting> words;
            for (int k = first; k < first + kBatch; ++k)
                words.push_back(meeting(k, k % 7 == 0 ? TRating::Hard : TRating::Good));
            const std::int64_t at = kStart + (first / kBatch) * DayMs;
            RecordTollGate({at, 1, first / 20 + 1, 1, kBatch, 0, false}, words, ReviewCard);
        }
    }
};

World &world()
{
    static World w;
    return w;
}

// A toll gate of 20 remembered words: 17 typed well, 2 with slips, 1 missed.
void BM_RecordTollGate(benchmark::State &state)
{
    World &w = world();
    int gate = 0;
    for (auto _ : state) {
        std::vector<TWordMeeting> words;
        const int first = (gate * 20) % kRemembered;
        for (int k = first; k < first + 20; ++k) {
            const TRating rating = k == first      ? TRating::Again
                                   : k < first + 3 ? TRating::Hard
                                                   : TRating::Good;
            words.push_back(meeting(k, rating));
            if (rating == TRating::Hard)
                words.back().Slips = {{1, 'a', 's'}, {2, 'b', 'v'}};
        }
        w.now += std::int64_t{60} * 1000;
        RecordTollGate({w.now, 1, gate + 1, 2, 19, 1, false}, words, ReviewCard);
        ++gate;
    }
}
BENCHMARK(BM_RecordTollGate)->Unit(benchmark::kMillisecond);

void BM_CountDueToday(benchmark::State &state)
{
    World &w = world();
    const std::int64_t midnight = NextLocalMidnightMs(w.now);
    std::int64_t due = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(due = CountDueWords(midnight));
    state.counters["due"] = static_cast<double>(due);
}
BENCHMARK(BM_CountDueToday)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetDataInterface(nullptr);
    return 0;
}
