// What the Internet check costs between its tries, and what reading an
// advert list costs.
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "AdParameter.h"
#include "ConnectionStages.h"
#include "InternetCheck.h"

namespace {

// Stage 1 alone: what every try costs on a machine without a network.
void BM_SystemReportsConnection(benchmark::State &state)
{
    const TConnectionStages stages = SystemConnectionStages();
    for (auto _ : state)
        benchmark::DoNotOptimize(stages.SystemReportsConnection());
}
BENCHMARK(BM_SystemReportsConnection)->Unit(benchmark::kMicrosecond);

// A whole try against a portal on a closed loopback port: the cost when the
// machine has a route but no portal answers.
void BM_IsConnectedPortalRefused(benchmark::State &state)
{
    TConnectionStages stages = SystemConnectionStages(QStringLiteral("unix:path=/nonexistent/bus"));
    stages.SystemReportsConnection = [] { return true; };
    TOnlineAddresses addresses;
    addresses.FirstPortal = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    addresses.SecondPortal = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    for (auto _ : state)
        benchmark::DoNotOptimize(IsConnected(stages, addresses));
}
BENCHMARK(BM_IsConnectedPortalRefused)->Unit(benchmark::kMicrosecond);

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The check thread offline, with the real stages and the portals on a closed
// loopback port: the processor time the whole process spends per second of
// waiting between tries (it should be next to nothing).
void BM_OfflineCheckIdle(benchmark::State &state)
{
    TOnlineAddresses addresses;
    addresses.FirstPortal = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    addresses.SecondPortal = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    TInternetCheck check(NewOnlineFlag(),
                         SystemConnectionStages(QStringLiteral("unix:path=/nonexistent/bus")),
                         addresses);
    check.Start();
    double cpu = 0;
    int tries = 0;
    for (auto _ : state) {
        const int triesBefore = check.Attempts();
        const double before = processCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        cpu += processCpuSeconds() - before;
        tries += check.Attempts() - triesBefore;
    }
    state.counters["CpuMsPerSecond"] =
        benchmark::Counter(cpu * 1000.0 / 3.0, benchmark::Counter::kAvgIterations);
    state.counters["Tries"] = benchmark::Counter(tries, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OfflineCheckIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseAdXml(benchmark::State &state)
{
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><Root><Parameter><AdWidth Value=\"300\"/>"
        "<AdHeight Value=\"200\"/><StartPlayInterval Value=\"5\"/><MaxPalyNum Value=\"0\"/>"
        "<AdInterval Value=\"20\"/><CountHttp Value=\"http://example.invalid/c\"/></Parameter>"
        "<HttpList Count=\"20\">";
    for (int i = 0; i < 20; ++i)
        xml += "<Item Value=\"http://example.invalid/ad" + QByteArray::number(i)
               + ".html\" Title=\"advert " + QByteArray::number(i) + "\"/>";
    xml += "</HttpList></Root>";
    for (auto _ : state) {
        TAdParameter params;
        benchmark::DoNotOptimize(ParseAdXml(xml, false, params));
    }
}
BENCHMARK(BM_ParseAdXml)->Unit(benchmark::kMicrosecond);

// A hostile list: a million elements nested inside an item and never closed
// (3 MB, under the download cap).
QByteArray millionNestedList()
{
    QByteArray xml =
        "<?xml version=\"1.0\"?><Root><Parameter><AdWidth Value=\"300\"/>"
        "<AdHeight Value=\"200\"/><StartPlayInterval Value=\"5\"/><MaxPalyNum Value=\"0\"/>"
        "<AdInterval Value=\"20\"/><CountHttp Value=\"http://example.invalid/c\"/></Parameter>"
        "<HttpList Count=\"2\"><Item Value=\"http://example.invalid/ad0.html\" Title=\"ad\">";
    xml.reserve(xml.size() + qsizetype{3} * 1000000);
    for (int i = 0; i < 1000000; ++i)
        xml += "<a>";
    return xml;
}

// Kilobytes of a "VmHWM:" or "VmRSS:" line of /proc/self/status; -1 without one.
long statusKilobytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}

// Time per parse; PeakMB is how far the resident memory rose above what it was
// before one parse (the list itself already in memory), from the kernel's
// high-water mark, which writing "5" to clear_refs resets.
void BM_ParseAdXmlMillionNested(benchmark::State &state)
{
    const QByteArray xml = millionNestedList();
    double peakMb = -1;
    if (std::ofstream("/proc/self/clear_refs") << "5" << std::flush) {
        const long before = statusKilobytes("VmRSS");
        TAdParameter params;
        benchmark::DoNotOptimize(ParseAdXml(xml, false, params));
        const long peak = statusKilobytes("VmHWM");
        if (before >= 0 && peak >= 0)
            peakMb = static_cast<double>(peak - before) / 1024.0;
    }
    for (auto _ : state) {
        TAdParameter params;
        benchmark::DoNotOptimize(ParseAdXml(xml, false, params));
    }
    state.counters["InputMB"] = static_cast<double>(xml.size()) / (1024.0 * 1024.0);
    state.counters["PeakMB"] = peakMb;
}
BENCHMARK(BM_ParseAdXmlMillionNested)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
