// Opening 学习进度 on a long-used memory: 30 000 words met in ten books,
// 300 000 reviews, 60 000 slips and 3 000 toll gates played; the habit
// figures its tab 学习习惯 reads, and the first show of that tab and of
// 易错单词, which are read then.
// Run from a Release build with QT_QPA_PLATFORM=offscreen:
//   build-rel/bench/bin/study_progress_bench
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QTabWidget>

#include "BenchDatabase.h"
#include "FsrsScheduler.h"
#include "GbkText.h"
#include "StudyHabit.h"
#include "StudyProgressQueries.h"
#include "UDataInterface.h"
#include "UFrmStudyProgress.h"

namespace {

constexpr int Words = 30'000;
constexpr int ReviewsPerWord = 10;
constexpr int SlipsPerWord = 2;
constexpr int Books = 10;
constexpr int TollGates = 3'000;
constexpr std::int64_t Now = 1'780'000'000'000;
constexpr std::int64_t Year = 365 * DayMs;

struct World : TBenchDatabase {
    World() { Fill(); }

    // Rows as a year of play leaves them, spread over the year.
    void Fill()
    {
        TSqlConnection &c = db.Connection();
        TSqlTransaction t(c);
        for (int b = 1; b <= Books; ++b)
            t.Execute("INSERT INTO bookinfo(id, bookname, wordnumber, storetablename) "
                      "VALUES(?, ?, ?, ?)",
                      {std::int64_t{b}, GbkToUtf8(Gbk("课本")) + std::to_string(b),
                       std::int64_t{Words / Books + 500}, "lib" + std::to_string(b)});
        for (int w = 0; w < Words; ++w) {
            const std::string spelling = "word" + std::to_string(w);
            const std::int64_t seen = Now - Year + std::int64_t(w) * (Year / Words);
            const double stability = double(w % 60);
            t.Execute(
                "INSERT INTO wordmemory(spelling, firstseen, lastseen, bookid, bookrow, seen, "
                "rightcount, missed, slips, stability, difficulty, due, lastreview, reps, "
                "state) VALUES(?, ?, ?, ?, ?, 10, 8, ?, ?, ?, 5.0, ?, ?, 10, 2)",
                {spelling, seen, seen, std::int64_t{w % Books + 1}, std::int64_t{w / Books},
                 std::int64_t{w % 7}, std::int64_t{SlipsPerWord}, stability,
                 seen + std::int64_t(stability * double(DayMs)), seen});
            for (int r = 0; r < ReviewsPerWord; ++r)
                t.Execute("INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, "
                          "due, state) VALUES(?, ?, 3, ?, 5.0, ?, 2)",
                          {spelling, seen + std::int64_t{r} * 3 * DayMs,
                           stability * (r + 1) / ReviewsPerWord,
                           seen + std::int64_t{r + 1} * 3 * DayMs});
            for (int s = 0; s < SlipsPerWord; ++s)
                t.Execute("INSERT INTO wordslip(spelling, at, position, expected, typed) "
                          "VALUES(?, ?, ?, ?, ?)",
                          {spelling, seen, std::int64_t{s}, std::int64_t{'a' + (w + s) % 26},
                           std::int64_t{'a' + w % 26}});
        }
        for (int g = 0; g < TollGates; ++g)
            t.Execute("INSERT INTO playlog(at, bookid, tollgate, level, rightcount, errorcount) "
                      "VALUES(?, ?, ?, 1, 18, 2)",
                      {Now - Year + g * (Year / TollGates), std::int64_t{g % Books + 1},
                       std::int64_t{g / Books % 150 + 1}});
        t.Commit();
    }
};

World &world()
{
    static World w;
    return w;
}

void BM_ReadStudyProgress(benchmark::State &state)
{
    world();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadStudyProgress(Now));
}
BENCHMARK(BM_ReadStudyProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window reads at open: the log in one pass, then the figures
// without the mistakes.
void BM_ReadStudyLog(benchmark::State &state)
{
    world();
    for (auto _ : state)
        benchmark::DoNotOptimize(TStudyLog::Read());
}
BENCHMARK(BM_ReadStudyLog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadBookProgress(benchmark::State &state)
{
    world();
    const TStudyLog log = TStudyLog::Read();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBookProgress(Now, log));
}
BENCHMARK(BM_ReadBookProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadStudyMistakes(benchmark::State &state)
{
    world();
    for (auto _ : state) {
        TStudyProgress progress;
        ReadStudyMistakes(progress);
        benchmark::DoNotOptimize(progress);
    }
}
BENCHMARK(BM_ReadStudyMistakes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The habit tab's reads, one at a time.
void BM_ReadRetentionByMonth(benchmark::State &state)
{
    world();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadRetentionByMonth());
}
BENCHMARK(BM_ReadRetentionByMonth)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadRetentionSinceByBook(benchmark::State &state)
{
    world();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadRetentionSinceByBook(Now - 30 * DayMs));
}
BENCHMARK(BM_ReadRetentionSinceByBook)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadDailyPlayYear(benchmark::State &state)
{
    world();
    const QDate today = QDateTime::fromMSecsSinceEpoch(Now).date();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadDailyPlay(today.addDays(-364), today));
}
BENCHMARK(BM_ReadDailyPlayYear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadDueForecast(benchmark::State &state)
{
    world();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadDueForecast(Now, 30));
}
BENCHMARK(BM_ReadDueForecast)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the learner waits for: the window made, read, laid out and drawn once.
void BM_OpenStudyProgress(benchmark::State &state)
{
    world();
    for (auto _ : state) {
        TFrmStudyProgress window;
        window.LoadProgress(Now);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenStudyProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

// A tab read when first shown: from the click to the tab drawn, the window
// already open.
void firstShowOfTab(benchmark::State &state, const char *page)
{
    world();
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<TFrmStudyProgress>();
        window->LoadProgress(Now);
        window->show();
        benchmark::DoNotOptimize(window->grab());
        auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabProgress"));
        QWidget *shown = window->findChild<QWidget *>(QLatin1String(page));
        state.ResumeTiming();
        tabs->setCurrentWidget(shown);
        benchmark::DoNotOptimize(window->grab());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

void BM_FirstShowOfHabitTab(benchmark::State &state)
{
    firstShowOfTab(state, "tabHabit");
}
BENCHMARK(BM_FirstShowOfHabitTab)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FirstShowOfMistakesTab(benchmark::State &state)
{
    firstShowOfTab(state, "tabMistakes");
}
BENCHMARK(BM_FirstShowOfMistakesTab)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
