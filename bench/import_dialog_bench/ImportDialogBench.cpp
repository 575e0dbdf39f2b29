// The import dialog on a large word list, with its window live: how long the
// preview takes to appear after the file is chosen, and how fast the import
// runs while the progress bar moves and events are processed after every line;
// and on 50 MB files (one line, one line of Chinese in UTF-8, a million
// lines), the preview's and the import's time, the peak resident memory and
// the longest time the dialog left events waiting.
// Run from a Release build: build-rel/bench/bin/import_dialog_bench
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchDatabase.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "Settings.h"
#include "UDataInterface.h"
#include "UFrmImportLib.h"

namespace {

// Every message box is answered at once: nothing waits on the player.
class AnsweringBoxes final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *, const QString &, const QString &text, TMsgIcon,
                                     QMessageBox::StandardButtons) override
    {
        last = text;
        return QMessageBox::Yes;
    }
    QString last;
};

struct World : TBenchDatabase {
    std::shared_ptr<AnsweringBoxes> boxes = std::make_shared<AnsweringBoxes>();

    World() { SetMessageBoxes(boxes); }

    // n lines like the shipped books, one in a hundred an error line.
    QString List(int n)
    {
        const std::string path = dir.path().toStdString() + "/list" + std::to_string(n) + ".txt";
        if (!std::filesystem::exists(path)) {
            std::ofstream out(path, std::ios::binary);
            const std::string meaning = Gbk("n.放弃；放纵 v.抛弃，遗弃");
            for (int k = 0; k < n; ++k) {
                if (k % 100 == 99)
                    out << "\r\n";
                else
                    out << "abandon" << k << "[5'bAnd5n]" << meaning << "\r\n";
            }
        }
        return QString::fromStdString(path);
    }
};

World &world()
{
    static World w;
    return w;
}

// The peak resident memory is reset (Linux: 5 into clear_refs) and read
// (VmHWM) around each measurement.
void resetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

// The longest wait between two rounds of the event loop while it runs: a
// timer due every 5 ms notes how late it comes.
class StallWatch {
public:
    StallWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    double LongestMs() { return static_cast<double>(std::max(m_longest, m_since.elapsed())); }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

// 50 MiB and a few bytes: kind 0 "abandon[5'bAnd5n]" and x to the end, on
// one line; kind 1 the same start and 放 to the end, in UTF-8 with a mark;
// kind 2 lines like the shipped books'.
QString FiftyMegabytes(World &w, int kind)
{
    const std::string path = w.dir.path().toStdString() + "/fifty" + std::to_string(kind) + ".txt";
    if (std::filesystem::exists(path))
        return QString::fromStdString(path);
    constexpr size_t kSize = size_t{50} << 20;
    std::string bytes;
    bytes.reserve(kSize + 64);
    if (kind == 0) {
        bytes = "abandon[5'bAnd5n]" + std::string(kSize, 'x');
    } else if (kind == 1) {
        bytes = "\xEF\xBB\xBF"
                "abandon[5'bAnd5n]";
        while (bytes.size() < kSize)
            bytes += "放";
    } else {
        const std::string meaning = Gbk("n.放弃；放纵 v.抛弃，遗弃");
        for (int k = 0; bytes.size() < kSize; ++k)
            bytes += "abandon" + std::to_string(k) + "[5'bAnd5n]" + meaning + "\r\n";
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return QString::fromStdString(path);
}

// One choice of the file and one import, each timed once: a run of these
// takes long enough that one is the figure.
void BM_FiftyMegabyteFile(benchmark::State &state)
{
    World &w = world();
    const QString file = FiftyMegabytes(w, static_cast<int>(state.range(0)));
    int book = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dialog = std::make_unique<TFrmImportLib>();
        dialog->show();
        QApplication::processEvents();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("sFileName"));
        dialog->findChild<QCheckBox *>(QStringLiteral("cbSkipErrorLines"))->setChecked(true);
        resetPeakRss();
        state.ResumeTiming();

        QElapsedTimer preview;
        preview.start();
        double previewStall = 0;
        {
            StallWatch watch;
            // As a choice in the browse dialog arrives: from the event loop.
            QTimer::singleShot(0, name, [name, &file] { name->setText(file); });
            QApplication::processEvents();
            dialog->findChild<QTableWidget *>(QStringLiteral("tvPreview"))->repaint();
            QApplication::processEvents();
            previewStall = watch.LongestMs();
        }
        const double previewMs = static_cast<double>(preview.elapsed());

        dialog->findChild<QLineEdit *>(QStringLiteral("ediLibName"))
            ->setText(QStringLiteral("fifty%1").arg(++book));
        QElapsedTimer import;
        import.start();
        double importStall = 0;
        {
            StallWatch watch;
            dialog->findChild<QPushButton *>(QStringLiteral("btnImport"))->click();
            importStall = watch.LongestMs();
        }
        const double importMs = static_cast<double>(import.elapsed());

        state.PauseTiming();
        state.counters["preview_ms"] = previewMs;
        state.counters["preview_stall_ms"] = previewStall;
        state.counters["import_ms"] = importMs;
        state.counters["import_stall_ms"] = importStall;
        state.counters["peak_rss_MB"] = peakRssMb();
        state.counters["lines"] = static_cast<double>(dialog->PreviewList().Lines.size());
        state.counters["error_lines"] = dialog->PreviewList().ErrorLines();
        state.SetLabel(w.boxes->last.toStdString());
        dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FiftyMegabyteFile)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_PreviewOnChoosingAFile(benchmark::State &state)
{
    World &w = world();
    const QString file = w.List(static_cast<int>(state.range(0)));
    TFrmImportLib dialog;
    dialog.show();
    QApplication::processEvents();
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("sFileName"));
    for (auto _ : state) {
        name->setText(file);
        // Until the table is painted.
        dialog.findChild<QTableWidget *>(QStringLiteral("tvPreview"))->repaint();
        state.PauseTiming();
        if (dialog.PreviewList().Lines.size() != static_cast<size_t>(state.range(0)))
            state.SkipWithError("the preview does not hold the file");
        name->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewOnChoosingAFile)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportWithTheWindowLive(benchmark::State &state)
{
    World &w = world();
    const int lines = static_cast<int>(state.range(0));
    TFrmImportLib dialog;
    dialog.show();
    dialog.findChild<QLineEdit *>(QStringLiteral("sFileName"))->setText(w.List(lines));
    auto *bookName = dialog.findChild<QLineEdit *>(QStringLiteral("ediLibName"));
    auto *import = dialog.findChild<QPushButton *>(QStringLiteral("btnImport"));
    int book = 0;
    for (auto _ : state) {
        bookName->setText(QStringLiteral("book%1").arg(++book));
        import->click();
        if (w.boxes->last != QStringLiteral("恭喜您,导入词库成功了！"))
            state.SkipWithError("the import failed");
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportWithTheWindowLive)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
