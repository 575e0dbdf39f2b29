// The import dialog on a large word list, with its window live: how long the
// preview takes to appear after the file is chosen, and how fast the import
// runs while the progress bar moves and events are processed after every line.
// Run from a Release build: build-rel/bench/bin/import_dialog_bench
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

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
