// The dialog "从文章生成课本" on a made-up article of 2 000 words and on the
// subtitles of a made-up 90-minute film (1 350 cues, about 11 000 words):
// the time from choosing the file to the filled preview (reading, encoding,
// subtitle markup, lemmas, the table), and the same without the window.
// Run from a Release build: build-rel/bench/bin/text_book_bench
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>

#include "BenchDatabase.h"
#include "ReferenceData.h"
#include "TextWords.h"
#include "UFrmTextBook.h"

namespace {

// Words of everyday English and their forms, drawn so that a few are common
// and most rare, as in real text; some names and numbers among them.
const std::vector<std::string> &vocabulary()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> w;
        std::ifstream dictionary(KIVRO_SOURCE_DIR_DATA "/dictionary.tsv");
        std::string line;
        std::getline(dictionary, line);
        while (std::getline(dictionary, line) && w.size() < 12000) {
            const std::string spelling = line.substr(0, line.find('\t'));
            if (spelling.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos)
                w.push_back(spelling);
        }
        return w;
    }();
    return words;
}

std::string sentence(std::mt19937 &random, int words)
{
    const std::vector<std::string> &v = vocabulary();
    std::geometric_distribution<size_t> pick(0.002);
    std::string s;
    for (int k = 0; k < words; ++k) {
        std::string word = v[pick(random) % v.size()];
        if (k == 0)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        else if (random() % 40 == 0)
            word = "Jonathan";
        else if (random() % 60 == 0)
            word = std::to_string(random() % 2000);
        else if (random() % 5 == 0)
            word += "s";
        s += (k == 0 ? "" : " ") + word;
    }
    return s + ".";
}

std::string writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

struct World : TBenchDatabase {
    World()
    {
        std::filesystem::copy_file(KIVRO_TEST_PROGRAM_DIR "/reference.db",
                                   dir.path().toStdString() + "/reference.db");
        std::mt19937 random(20261211);
        std::string article;
        for (int words = 0; words < 2000;) {
            const int n = 8 + static_cast<int>(random() % 16);
            article += sentence(random, n) + (random() % 6 == 0 ? "\n\n" : " ");
            words += n;
        }
        articlePath = writeFile(dir.path().toStdString() + "/article.txt", article);
        // 90 minutes: a cue every 4 s, 8 words each, half of them in italics.
        std::string srt;
        for (int cue = 1; cue <= 1350; ++cue) {
            const int start = cue * 4;
            char timing[64];
            std::snprintf(timing, sizeof timing, "%02d:%02d:%02d,000 --> %02d:%02d:%02d,500",
                          start / 3600, start / 60 % 60, start % 60, start / 3600, start / 60 % 60,
                          (start + 3) % 60);
            const std::string text = sentence(random, 8);
            srt += std::to_string(cue) + "\r\n" + timing + "\r\n"
                   + (cue % 2 ? "<i>" + text + "</i>" : text) + "\r\n\r\n";
        }
        filmPath = writeFile(dir.path().toStdString() + "/film.srt", srt);
    }
    std::string articlePath;
    std::string filmPath;
};

World &world()
{
    static World w;
    return w;
}

const std::string &pathOf(int kind)
{
    return kind == 0 ? world().articlePath : world().filmPath;
}

// Choosing the file: a new dialog each time, as the menu command makes one.
void BM_ChooseFileToPreview(benchmark::State &state)
{
    const QString file = QString::fromStdString(pathOf(static_cast<int>(state.range(0))));
    int words = 0;
    for (auto _ : state) {
        TFrmTextBook dialog;
        dialog.show();
        if (!dialog.LoadFile(file))
            state.SkipWithError("the file was not read");
        QApplication::processEvents();
        words = dialog.findChild<QTableWidget *>(QStringLiteral("tvWords"))->rowCount();
    }
    state.counters["distinct_words"] = words;
    state.SetLabel(state.range(0) == 0 ? "2000-word article" : "90-minute film's subtitles");
}
BENCHMARK(BM_ChooseFileToPreview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The words alone, without the window: reading, lemmas and sentences.
void BM_TextWordsOfFile(benchmark::State &state)
{
    std::ifstream in(pathOf(static_cast<int>(state.range(0))), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const TTextKind kind = state.range(0) == 0 ? TTextKind::Plain : TTextKind::Srt;
    int tokens = 0;
    for (auto _ : state) {
        const TTextWords words = TextWordsOfBytes(bytes, kind, ProgramReferenceData());
        tokens = words.Tokens;
        benchmark::DoNotOptimize(words.Words.data());
    }
    state.counters["tokens"] = tokens;
}
BENCHMARK(BM_TextWordsOfFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    world();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
