// Import, shuffled copy, toll-gate loading and connection of the word store.
// Run from a Release build: build-rel/bench/store_benchmarks
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchDatabase.h"
#include "GbkText.h"
#include "Settings.h"
#include "StoreProgress.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

// One program folder with one database for the whole run.
struct World : TBenchDatabase {
    int nameCounter = 0;

    // A word list of n lines like the shipped books: word, phonetics, Chinese meaning.
    QString List(int n)
    {
        const std::string path = dir.path().toStdString() + "/list" + std::to_string(n) + ".txt";
        if (!std::filesystem::exists(path)) {
            std::ofstream out(path, std::ios::binary);
            const std::string meaning = Gbk("n.放弃；放纵 v.抛弃，遗弃");
            for (int k = 0; k < n; ++k)
                out << "abandon" << k << "[5'bAnd5n]" << meaning << "\r\n";
        }
        return QString::fromStdString(path);
    }

    std::string NewName() { return "book" + std::to_string(++nameCounter); }

    int Import(int n)
    {
        TQuietProgress progress(false, true);
        const std::string name = NewName();
        if (!ImportWordLibrary(List(n), name, progress, 4))
            throw std::runtime_error("import failed");
        return GetBookId(name, 0);
    }
};

World &world()
{
    static World w;
    return w;
}

void BM_ImportWordLibrary(benchmark::State &state)
{
    World &w = world();
    const int lines = static_cast<int>(state.range(0));
    const QString file = w.List(lines);
    for (auto _ : state) {
        // Pending events are processed after every line, as in the dialog.
        TQuietProgress progress(false, true);
        if (!ImportWordLibrary(file, w.NewName(), progress, 4))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_ImportWordLibrary)->Arg(3480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportWordLibrary)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildShuffledBook(benchmark::State &state)
{
    World &w = world();
    const int words = static_cast<int>(state.range(0));
    const int source = w.Import(words);
    const std::string name = GetBookName(source);
    for (auto _ : state) {
        TQuietProgress progress(false, true);
        if (BuildShuffledBook(source, name, progress) == -1)
            state.SkipWithError("shuffled copy failed");
        state.PauseTiming();
        DropTable(ShuffledTableName(source));
        w.db.ExecuteSQL("DELETE FROM bookinfo WHERE booktype = 2");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * words);
}
BENCHMARK(BM_BuildShuffledBook)->Arg(3480)->Unit(benchmark::kMillisecond);

// Toll gate 1 and the last toll gate (5000) of a 100 000-word book.
void BM_LoadTollGateWords(benchmark::State &state)
{
    World &w = world();
    static const int book = w.Import(100000);
    TGamePara para;
    para.StoreTableName = GetBookTableName(book);
    const int gate = static_cast<int>(state.range(0));
    TWordInfos words;
    for (auto _ : state) {
        if (!LoadTollGateWords(para, gate, words) || words.size() != 20)
            state.SkipWithError("wrong toll gate");
    }
}
BENCHMARK(BM_LoadTollGateWords)->Arg(1)->Arg(5000)->Unit(benchmark::kMicrosecond);

// The first load after anything was written: the book's rows are counted
// again. Books of 3480 and 100 000 words, last toll gate.
void BM_LoadTollGateWordsAfterAWrite(benchmark::State &state)
{
    World &w = world();
    const int size = static_cast<int>(state.range(0));
    const int book = w.Import(size);
    TGamePara para;
    para.StoreTableName = GetBookTableName(book);
    const int last = CeilDiv(20, size);
    TWordInfos words;
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        AddGameRecord("bench", ++k);
        state.ResumeTiming();
        if (!LoadTollGateWords(para, last, words) || words.size() != 20)
            state.SkipWithError("wrong toll gate");
    }
}
BENCHMARK(BM_LoadTollGateWordsAfterAWrite)->Arg(3480)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ConnectDatabase(benchmark::State &state)
{
    world();
    TDataInterface other;
    for (auto _ : state) {
        if (!other.ConnectDatabase())
            state.SkipWithError("connect failed");
    }
}
BENCHMARK(BM_ConnectDatabase)->Unit(benchmark::kMillisecond);

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
