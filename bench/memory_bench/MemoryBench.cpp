// The learning memory: recording a toll gate and counting today's due words,
// in a database that already remembers 30 000 words; rebuilding every card
// from a review log of 30 000 words reviewed 10 times each.
// Run from a Release build: build-rel/bench/bin/memory_bench
#include <string>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "BenchDatabase.h"
#include "FsrsScheduler.h"
#include "SqlDatabase.h"
#include "UDataInterface.h"
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

// 30 000 words, each reviewed 10 times over a year, written straight into
// the tables (recording them toll gate by toll gate would take minutes).
struct ReplayWorld {
    TBenchDatabase database;
    static constexpr int kWords = 30000;
    static constexpr int kReviews = 10;

    ReplayWorld()
    {
        TSqlTransaction t(DataInterface().Connection());
        std::uint32_t seed = 7;
        for (int k = 0; k < kWords; ++k) {
            const std::string spelling = "word" + std::to_string(k);
            TMemoryCard card;
            std::int64_t at = kStart + (k % 100) * DayMs;
            for (int r = 0; r < kReviews; ++r) {
                seed = seed * 1664525u + 1013904223u;
                const auto rating = static_cast<TRating>(1 + (seed >> 28) % 4);
                card = ReviewCard(card, rating, at);
                t.Execute("INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, "
                          "due, state) VALUES(?, ?, ?, ?, ?, ?, ?)",
                          {spelling, at, std::int64_t{static_cast<int>(rating)}, card.Stability,
                           card.Difficulty, card.Due, std::int64_t{2}});
                at = card.Due;
            }
            t.Execute("INSERT INTO wordmemory(spelling, stability, difficulty, due, lastreview, "
                      "reps, lapses, scheduleddays, state) VALUES(?, ?, ?, ?, ?, ?, ?, ?, 2)",
                      {spelling, card.Stability, card.Difficulty, card.Due, card.LastReview,
                       std::int64_t{card.Reps}, std::int64_t{card.Lapses},
                       std::int64_t{card.ScheduledDays}});
        }
        t.Commit();
    }
};

// What a change of retention or weights costs: every card rebuilt from its log.
void BM_Replay30000CardsOf10Reviews(benchmark::State &state)
{
    static ReplayWorld w;
    TFsrsParameters keen;
    keen.Retention = 0.95;
    int rebuilt = 0;
    bool flip = false;
    for (auto _ : state) {
        // Alternating parameters: every iteration rewrites every card.
        const TFsrsParameters parameters = flip ? keen : TFsrsParameters{};
        flip = !flip;
        rebuilt = ReplayWordMemory([&parameters](const TMemoryCard &c, TRating r, std::int64_t at) {
            return ReviewCardWith(c, r, at, parameters);
        });
    }
    state.counters["cards"] = rebuilt;
}
BENCHMARK(BM_Replay30000CardsOf10Reviews)->Unit(benchmark::kMillisecond)->Iterations(4);

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
