// A sync of 100 000 review rows up from one computer and down into another
// through Apache's WebDAV on loopback, then a sync with nothing new: the
// figures, in milliseconds, on standard output. Needs root (the server runs
// as www-data) and a network namespace of its own:
//   tests/sync/in-loopback-net build-rel/bench/bin/sync_bench
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>

#include <QCoreApplication>
#include <QEventLoop>

#include "ApacheDav.h"
#include "BenchDatabase.h"
#include "GbkText.h"
#include "MemoryParameters.h"
#include "StoreProgress.h"
#include "SyncRun.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordMemory.h"

namespace {

constexpr int kWords = 1000;
constexpr int kTollGates = 100;  // of every word: 100 000 reviews
constexpr std::int64_t kT0 = 1'790'000'000'000;

struct TTimed {
    TSyncOutcome Outcome;
    double Ms = 0;
};

TTimed syncNow(TDataInterface &computer, const TSyncAccount &account)
{
    SetDataInterface(&computer);
    TSyncRun run(account);
    std::optional<TSyncOutcome> outcome;
    QEventLoop loop;
    QObject::connect(&run, &TSyncRun::finished, &loop, [&](const TSyncOutcome &o) {
        outcome = o;
        loop.quit();
    });
    const auto start = std::chrono::steady_clock::now();
    run.Start();
    loop.exec();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    return {outcome.value_or(TSyncOutcome{}), spent.count()};
}

void report(const char *what, const TTimed &timed)
{
    std::printf("%-40s %9.1f ms  (%s)\n", what, timed.Ms,
                timed.Outcome.Message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const std::optional<std::string> missing = TApacheDav::Missing()) {
        std::fprintf(stderr, "sync_bench: %s\n", missing->c_str());
        return 1;
    }
    TApacheDav server;
    const TSyncAccount account{server.Url(), TApacheDav::User(), TApacheDav::Password()};

    TBenchDatabase a;
    const std::string list = a.dir.path().toStdString() + "/list.txt";
    {
        std::ofstream out(list, std::ios::binary);
        for (int k = 0; k < kWords; ++k)
            out << "word" << k << "[w3:d]" << Gbk("词") << "\r\n";
    }
    TQuietProgress progress(false);
    const int book = NextBookId();
    if (!ImportWordLibrary(QString::fromStdString(list), Gbk("《词》"), progress, 4)) {
        std::fprintf(stderr, "sync_bench: the book was not imported\n");
        return 1;
    }
    std::vector<TWordMeeting> gate;
    {
        TSqlQuery rows =
            a.db.Query("SELECT spelling, pronunciation, meaning FROM "
                       + QuoteIdentifier(GbkToUtf8(GetBookTableName(book))) + " ORDER BY id");
        while (rows.Next()) {
            TWordMeeting m;
            m.Word.Spelling = Utf8ToGbk(rows.Text(0));
            m.Word.Pronunciation = Utf8ToGbk(rows.Text(1));
            m.Word.Meaning = Utf8ToGbk(rows.Text(2));
            m.BookId = book;
            m.BookRow = static_cast<int>(gate.size());
            m.Right = 1;
            gate.push_back(m);
        }
    }
    const TFsrsParameters parameters = ReadMemoryParameters();
    for (int g = 0; g < kTollGates; ++g) {
        for (size_t k = 0; k < gate.size(); ++k) {
            const bool missed = (k + static_cast<size_t>(g)) % 7 == 0;
            gate[k].Rating = missed ? TRating::Again : TRating::Good;
            gate[k].Right = missed ? 0 : 1;
            gate[k].Missed = missed ? 1 : 0;
        }
        RecordTollGate({kT0 + std::int64_t{g} * 86'400'000, book, g + 1, 1, kWords, 0, false}, gate,
                       [&](const TMemoryCard &card, TRating rating, std::int64_t at) {
                           return ReviewCardWith(card, rating, at, parameters);
                       });
    }

    const std::string otherPath = a.dir.path().toStdString() + "/other.mdb";
    CreateStoreDatabase(otherPath);
    TDataInterface b;
    if (!b.ConnectDatabaseFile(otherPath)) {
        std::fprintf(stderr, "sync_bench: the second database does not open\n");
        return 1;
    }
    SetDataInterface(&b);
    ImportWordLibrary(QString::fromStdString(list), Gbk("《词》"), progress, 4);

    std::printf("%d review rows, server %s\n", kWords * kTollGates,
                server.Url().toString().toLocal8Bit().constData());
    report("up: segment written and uploaded", syncNow(a.db, account));
    report("down: fetched and merged", syncNow(b, account));
    report("nothing new (the computer that uploaded)", syncNow(a.db, account));
    report("nothing new (the computer that fetched)", syncNow(b, account));
    SetDataInterface(nullptr);
    return 0;
}
