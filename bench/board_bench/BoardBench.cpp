// Figures for the game board: the cost of a paint, of redrawing a full word
// canvas, of a motion step and of a key, how steady the play thread's ticks
// are, and the processor time a running board takes. Only meaningful from a
// Release build.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "Fonts.h"
#include "GbkText.h"
#include "Random.h"
#include "TextUtils.h"
#include "UTypeGameType.h"

namespace {

constexpr int kWidth = 815;
constexpr int kHeight = 424;

// Always 100: every row of a level-3 canvas takes two boxes.
class FixedRandom final : public TRandom {
public:
    int RandomInt(int lo, int hi) override { return std::clamp(100, lo, hi); }
};

TWordInfos Words(int count)
{
    // Meanings long enough to wrap to two lines.
    const std::string meaning = Gbk("n.住处，膳宿；调节，和解 adj.适当的");
    static const char *spellings[] = {"accommodation", "appropriate", "ambiguous", "benefit",
                                      "boundary",      "anticipate",  "authority"};
    TWordInfos words;
    for (int i = 0; i < count; ++i) {
        TWordInfo w;
        w.Spelling = spellings[i % 7];
        w.Meaning = meaning;
        words.push_back(std::move(w));
    }
    return words;
}

// How the board is played: Cloze as 例句填空 plays it, every box blanked,
// no spelling drawn, each accepting an inflected form.
enum class Mode { Normal, Cloze };

struct Board {
    std::unique_ptr<QWidget> Panel = std::make_unique<QWidget>();
    TTypeGameType *B;
    explicit Board(TTickSource ticks = TTickSource::Manual, int words = 2000,
                   Mode mode = Mode::Normal)
    {
        SetProgramRandom(std::make_shared<FixedRandom>());
        Panel->resize(kWidth, kHeight);
        B = new TTypeGameType(Panel.get(), ticks);
        B->resize(kWidth, kHeight);
        B->SetLevel(3);
        if (mode == Mode::Cloze) {
            B->SetDictation(true);
            B->SetBlankedBoxes([](int) { return true; });
            B->SetAcceptedAnswers([this](int wordIndex) {
                const TWordInfo *word = B->WordAt(wordIndex);
                return std::vector<std::string>{word != nullptr ? word->Spelling + "ed" : ""};
            });
        }
        B->StartGame(Words(words), nullptr);
    }
    ~Board() { SetProgramRandom(nullptr); }
};

// state.range(0): 0 a normal game, 1 例句填空.
Mode modeOf(const benchmark::State &state)
{
    return state.range(0) == 1 ? Mode::Cloze : Mode::Normal;
}

void BM_Paint(benchmark::State &state)
{
    Board board(TTickSource::Manual, 2000, modeOf(state));
    for (int i = 0; i < 600; ++i)
        board.B->RunManualTick();  // both canvases on view
    // At the screen's density (QT_SCALE_FACTOR=2 measures a 2x screen).
    const qreal ratio = board.B->PixelRatio();
    QImage target(qRound(kWidth * ratio), qRound(kHeight * ratio),
                  QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        QPainter painter(&target);
        board.B->Paint(painter);
    }
}
BENCHMARK(BM_Paint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawWordCanvas(benchmark::State &state)
{
    Board board(TTickSource::Manual, 2000, modeOf(state));
    const size_t boxes = board.B->WordCanvas1().Items.size();
    for (auto _ : state)
        board.B->DrawWordCanvas(1);
    state.counters["boxes"] = static_cast<double>(boxes);
}
BENCHMARK(BM_DrawWordCanvas)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same with nothing kept from earlier redraws, as after a refill with
// words not seen before.
void BM_DrawWordCanvasCold(benchmark::State &state)
{
    Board board;
    for (auto _ : state) {
        board.B->ClearTextCaches();
        board.B->DrawWordCanvas(1);
    }
}
BENCHMARK(BM_DrawWordCanvasCold)->Unit(benchmark::kMicrosecond);

void BM_MoveStep(benchmark::State &state)
{
    // Amortised: one step in 2H - 1 refills a canvas, which redraws it.
    Board board(TTickSource::Manual, 200000);
    for (auto _ : state)
        board.B->MoveStep();
}
BENCHMARK(BM_MoveStep)->Unit(benchmark::kMicrosecond);

// A key that matches no word still redraws both canvases; a paint follows
// every key on screen and clears it.
void BM_TypeKey(benchmark::State &state)
{
    Board board(TTickSource::Manual, 2000, modeOf(state));
    for (int i = 0; i < 600; ++i)
        board.B->RunManualTick();
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        board.B->TypeKey('Q', TShiftState{});
        state.PauseTiming();
        QPainter painter(&target);
        board.B->Paint(painter);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TypeKey)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A running board at level 3, shown (offscreen), with a player typing a
// word on view at about 16 keys a second so that arrows keep flying: the
// processor time of the whole process over 10 s, as a share of one core.
void BM_RunningBoardCpu(benchmark::State &state)
{
    for (auto _ : state) {
        Board board(TTickSource::PlayThread);
        board.Panel->show();
        int keys = 0;
        int shotsSeen = 0;
        std::string target;
        size_t typed = 0;
        QTimer typist;
        typist.setInterval(60);
        QObject::connect(&typist, &QTimer::timeout, [&] {
            TTypeGameType &b = *board.B;
            if (typed >= target.size()) {
                target.clear();
                typed = 0;
                for (const TWordCanvas *c : {&b.WordCanvas1(), &b.WordCanvas2()})
                    for (const TTypeWordItem &item : c->Items)
                        if (target.empty() && !item.Typed && !item.Missed && !item.ShotDown
                            && RectCornerInRect(item.BoxRect, c->SrcRect))
                            target = item.WordInfo.Spelling;
                if (target.empty())
                    return;
            }
            const char ch = target[typed++];
            b.TypeKey(static_cast<std::uint16_t>(ch - 'a' + 'A'), TShiftState{});
            ++keys;
            shotsSeen = std::max(shotsSeen, static_cast<int>(b.Shoots().size()));
        });
        typist.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = processCpuSeconds();
        loop.exec();
        const double cpu = processCpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        typist.stop();
        state.counters["cpu_share_pct"] = 100.0 * cpu / wall;
        state.counters["keys"] = keys;
        state.counters["right_words"] = board.B->RightWordCount();
        state.counters["max_shots_in_flight"] = shotsSeen;
    }
}
BENCHMARK(BM_RunningBoardCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

// The play thread's real tick period over three seconds: the mean period
// (tick start to tick start) against the interval plus the mean time a tick
// ran on the UI thread, and the 99th percentile of how far single periods
// strayed from interval + the previous tick's run time.
void BM_PlayThreadPeriod(benchmark::State &state)
{
    const int interval = static_cast<int>(state.range(0));
    using Clock = TTGPlayThread::TClock;
    for (auto _ : state) {
        Board board(TTickSource::PlayThread);
        board.B->SetLevelInterval3(interval);
        std::vector<Clock::time_point> starts;
        std::vector<double> ran;  // ms
        board.B->SetTickObserver([&](Clock::time_point start, Clock::duration d) {
            starts.push_back(start);
            ran.push_back(std::chrono::duration<double, std::milli>(d).count());
        });
        board.B->Restart();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        board.B->PauseGame();

        std::vector<double> periods;
        std::vector<double> deviations;
        for (size_t i = 1; i < starts.size(); ++i) {
            const double p =
                std::chrono::duration<double, std::milli>(starts[i] - starts[i - 1]).count();
            periods.push_back(p);
            deviations.push_back(std::abs(p - (interval + ran[i - 1])));
        }
        if (periods.empty()) {
            state.SkipWithError("no ticks");
            return;
        }
        const double meanPeriod = std::accumulate(periods.begin(), periods.end(), 0.0)
                                  / static_cast<double>(periods.size());
        const double meanRan =
            std::accumulate(ran.begin(), ran.end(), 0.0) / static_cast<double>(ran.size());
        std::sort(deviations.begin(), deviations.end());
        const auto pct = [&deviations](double q) {
            return deviations[static_cast<size_t>(q * static_cast<double>(deviations.size() - 1))];
        };
        state.counters["ticks"] = static_cast<double>(starts.size());
        state.counters["mean_period_ms"] = meanPeriod;
        state.counters["mean_tick_ms"] = meanRan;
        state.counters["period_ratio"] = meanPeriod / (interval + meanRan);
        state.counters["p50_dev_ms"] = pct(0.5);
        state.counters["p99_dev_ms"] = pct(0.99);
        state.counters["max_dev_ms"] = deviations.back();
    }
}
BENCHMARK(BM_PlayThreadPeriod)->Arg(50)->Arg(30)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): no thread yet
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
