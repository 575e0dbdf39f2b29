// The learning memory: recording a toll gate and counting today's due words,
// in a database that already remembers 30 000 words; rebuilding every card
// from a review log of 30 000 words reviewed 10 times each; fitting the
// scheduler's weights to logs of 10 000 and 100 000 reviews.
// Run from a Release build: build-rel/bench/bin/memory_bench
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "BenchDatabase.h"
#include "FsrsOptimizer.h"
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

// A learner's log of about `reviews` reviews over a year: words met each day,
// reviewed when due (give or take), recalled as weights other than the
// defaults predict (so that the fit is kept and the whole log fitted again).
std::vector<TWordReviews> SimulatedLog(std::size_t reviews)
{
    TFsrsParameters learner;
    learner.Weights[8] = 1.3;
    learner.Weights[13] = 0.45;
    learner.Weights[20] = 0.4;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<TWordReviews> words;
    const std::int64_t end = kStart + 365 * DayMs;
    const std::size_t perDay = reviews / 365 / 5 + 1;
    std::size_t total = 0;
    for (int day = 0; day < 300 && total < reviews; ++day) {
        for (std::size_t n = 0; n < perDay && total < reviews; ++n) {
            TWordReviews word;
            TMemoryCard card;
            std::int64_t now = kStart + day * DayMs + 10 * 3'600'000LL;
            TRating rating = uniform(random) < 0.25 ? TRating::Again : TRating::Good;
            while (now < end && total < reviews) {
                word.push_back({now, rating});
                ++total;
                card = ReviewCardWith(card, rating, now, learner);
                now += std::max<std::int64_t>(
                           1, std::llround(card.ScheduledDays * (0.5 + uniform(random))))
                       * DayMs;
                rating = uniform(random) < Retrievability(card, now, learner) ? TRating::Good
                                                                              : TRating::Again;
            }
            words.push_back(std::move(word));
        }
    }
    return words;
}

// The whole optimisation as the player starts it: fit on the older 80 %, test
// on the newer 20 %, and (when better) the fit on the whole log.
void BM_OptimizeWeights(benchmark::State &state)
{
    const std::vector<TWordReviews> log = SimulatedLog(static_cast<std::size_t>(state.range(0)));
    TFsrsOptimization result;
    for (auto _ : state)
        result = OptimizeFsrsWeights(log, DefaultFsrsWeights());
    state.counters["reviews"] = static_cast<double>(result.Reviews);
    state.counters["new"] = result.Outcome == TFsrsOptimization::TOutcome::NewWeights ? 1 : 0;
}
BENCHMARK(BM_OptimizeWeights)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

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
