// What the Internet check costs between its tries, and what reading an
// advert list costs.
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

void BM_ParseAdXml(benchmark::State &state)
{
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><Root><Parameter><AdWidth Value=\"300\"/>"
        "<AdHeight Value=\"200\"/><StartPlayInterval Value=\"5\"/><MaxPalyNum Value=\"0\"/>"
        "<AdInterval Value=\"20\"/><CountHttp Value=\"http://example.invalid/c\"/></Parameter>"
        "<HttpList Count=\"20\">";
    for (int i = 0; i < 20; ++i)
        xml += "<Item Value=\"http://example.invalid/ad" + QByteArray::number(i) + ".html\" Title=\"advert "
               + QByteArray::number(i) + "\"/>";
    xml += "</HttpList></Root>";
    for (auto _ : state) {
        TAdParameter params;
        benchmark::DoNotOptimize(ParseAdXml(xml, false, params));
    }
}
BENCHMARK(BM_ParseAdXml)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
