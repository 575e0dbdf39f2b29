#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "ConnectionStages.h"
#include "InternetCheck.h"
#include "OnlineAddresses.h"
#include "LoopbackHttpServer.h"
#include "OnlineTestSupport.h"

namespace {

using namespace std::chrono_literals;

class OnlineInternetCheck : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    TOnlineAddresses addresses = LoopbackAddresses(server);

    void portalsUp(bool first, bool second)
    {
        if (first)
            server.Route(QStringLiteral("portal1"), TScripted::Page("<html>portal</html>"));
        else
            addresses.FirstPortal = LoopbackHttpServer::ClosedAddress();
        if (second)
            server.Route(QStringLiteral("portal2"), TScripted::Page("<html>portal</html>"));
        else
            addresses.SecondPortal = LoopbackHttpServer::ClosedAddress();
    }
};

TEST_F(OnlineInternetCheck, OnlineWhenThePortalAnswers)
{
    portalsUp(true, true);
    EXPECT_TRUE(IsConnected(LoopbackStages(), addresses));
    EXPECT_TRUE(IsOnline(LoopbackStages(), addresses));
    EXPECT_GE(server.Hits(QStringLiteral("portal1")), 2);
    EXPECT_EQ(server.Hits(QStringLiteral("portal2")), 0);

    // Any answer proves the connection, an error page included.
    server.Route(QStringLiteral("portal1"), TScripted::Status404());
    EXPECT_TRUE(IsOnline(LoopbackStages(), addresses));
}

TEST_F(OnlineInternetCheck, OfflineWhenTheSystemReportsNoConnection)
{
    portalsUp(true, true);
    EXPECT_FALSE(IsConnected(LoopbackStages(false), addresses));
    EXPECT_FALSE(IsOnline(LoopbackStages(false), addresses));
    // Without a connection no probe is sent.
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(OnlineInternetCheck, FirstPortalDownSecondUpIsConnectedButNotOnline)
{
    portalsUp(false, true);
    EXPECT_TRUE(IsConnected(LoopbackStages(), addresses));
    EXPECT_FALSE(IsOnline(LoopbackStages(), addresses));
    portalsUp(false, false);
    EXPECT_FALSE(IsConnected(LoopbackStages(), addresses));
}

TEST_F(OnlineInternetCheck, APortalThatDoesNotAnswerInTimeCountsAsDown)
{
    server.Route(QStringLiteral("portal1"), TScripted::Hanging());
    server.Route(QStringLiteral("portal2"), TScripted::Hanging());
    addresses.ProbeTimeout = 300ms;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(IsConnected(LoopbackStages(), addresses));
    EXPECT_EQ(server.Hits(QStringLiteral("portal2")), 1);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(OnlineInternetCheck, ConnectedStateOptionDecidesOnlyWhenItAnswers)
{
    portalsUp(true, true);
    EXPECT_FALSE(IsConnected(LoopbackStages(true, TConnectedState::Disconnected), addresses));
    EXPECT_TRUE(IsConnected(LoopbackStages(true, TConnectedState::Unavailable), addresses));

    // The real option, asked on a bus that does not exist, cannot be asked:
    // that counts as online.
    TConnectionStages real =
        SystemConnectionStages(QStringLiteral("unix:path=/nonexistent/kivro-test-bus"));
    EXPECT_EQ(real.ConnectedStateOption(nullptr), TConnectedState::Unavailable);
    real.SystemReportsConnection = [] { return true; };
    EXPECT_TRUE(IsConnected(real, addresses));
}

TEST_F(OnlineInternetCheck, AStageThatThrowsGivesOffline)
{
    portalsUp(true, true);
    TConnectionStages stages = LoopbackStages();
    stages.ConnectedStateOption = [](const std::atomic<bool> *) -> TConnectedState {
        throw std::runtime_error("bus gone");
    };
    EXPECT_FALSE(IsConnected(stages, addresses));
    stages.SystemReportsConnection = nullptr;
    EXPECT_FALSE(IsOnline(stages, addresses));
}

TEST_F(OnlineInternetCheck, ThreadRaisesTheFlagOnceAndEnds)
{
    portalsUp(true, true);
    const TOnlineFlag flag = NewOnlineFlag();
    {
        TInternetCheck check(flag, LoopbackStages(), addresses);
        EXPECT_FALSE(check.Online());
        check.Start();
        ASSERT_TRUE(WaitUntil([&] { return check.Finished(); }));
        EXPECT_TRUE(check.Online());
        EXPECT_EQ(check.Attempts(), 1);
    }
    // The flag outlives the check.
    EXPECT_TRUE(flag->load());
}

TEST_F(OnlineInternetCheck, FlagRisesSoonAfterTheConnectionComesUp)
{
    portalsUp(true, true);
    auto connected = std::make_shared<std::atomic<bool>>(false);
    TConnectionStages stages = LoopbackStages();
    stages.SystemReportsConnection = [connected] { return connected->load(); };
    TInternetCheck check(NewOnlineFlag(), stages, addresses);
    check.Start();
    ASSERT_TRUE(WaitUntil([&] { return check.Attempts() >= 1; }));
    EXPECT_FALSE(check.Online());
    connected->store(true);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitUntil([&] { return check.Online(); }, 4000));
    // One try a second: the next try after the connection sees it.
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_LE(check.Attempts(), 3);
}

TEST_F(OnlineInternetCheck, SleepsBetweenTries)
{
    TInternetCheck check(NewOnlineFlag(), LoopbackStages(false), addresses, 100ms);
    check.Start();
    Pump(550);
    check.Terminate();
    EXPECT_FALSE(check.Online());
    EXPECT_GE(check.Attempts(), 3);
    EXPECT_LE(check.Attempts(), 8);
}

TEST_F(OnlineInternetCheck, EndsPromptlyInTheMiddleOfARequest)
{
    server.Route(QStringLiteral("portal1"), TScripted::Hanging());
    addresses.ProbeTimeout = 60s;
    const TOnlineFlag flag = NewOnlineFlag();
    QElapsedTimer clock;
    {
        TInternetCheck check(flag, LoopbackStages(), addresses);
        check.Start();
        ASSERT_TRUE(WaitUntil([&] { return server.Hits(QStringLiteral("portal1")) == 1; }));
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(flag->load());
    // The second portal was not tried on the way out.
    EXPECT_EQ(server.Hits(QStringLiteral("portal2")), 0);
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST_F(OnlineInternetCheck, OfflineCheckIdlesTheProcessor)
{
    // The real stages, with the portals on a closed loopback port: offline
    // or not, the machine spends next to nothing between the tries.
    addresses.FirstPortal = LoopbackHttpServer::ClosedAddress();
    addresses.SecondPortal = LoopbackHttpServer::ClosedAddress();
    TInternetCheck check(NewOnlineFlag(),
                         SystemConnectionStages(QStringLiteral("unix:path=/nonexistent/bus")),
                         addresses);
    check.Start();
    ASSERT_TRUE(WaitUntil([&] { return check.Attempts() >= 1; }));
    const double before = processCpuSeconds();
    std::this_thread::sleep_for(3s);
    const double used = processCpuSeconds() - before;
    RecordProperty("cpu_ms_in_3s", static_cast<int>(used * 1000));
    EXPECT_FALSE(check.Online());
    EXPECT_GE(check.Attempts(), 3);
    EXPECT_LT(used, 0.02 * 3.0) << "CPU seconds used in 3 s: " << used;
}

TEST(OnlineRouteTables, DefaultRouteThroughAnUpInterface)
{
    const QByteArray header =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    const QByteArray withDefault = header
        + "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
          "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    const QByteArray localOnly = header + "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    const QByteArray routeDown = header + "eth0\t00000000\t0102A8C0\t0002\t0\t0\t100\t00000000\t0\t0\t0\n";
    const QStringList up{QStringLiteral("eth0")};

    EXPECT_TRUE(RouteTablesShowConnection(withDefault, {}, up));
    EXPECT_FALSE(RouteTablesShowConnection(withDefault, {}, {QStringLiteral("wlan0")}));
    EXPECT_FALSE(RouteTablesShowConnection(withDefault, {}, {}));
    EXPECT_FALSE(RouteTablesShowConnection(localOnly, {}, up));
    EXPECT_FALSE(RouteTablesShowConnection(routeDown, {}, up));
    EXPECT_FALSE(RouteTablesShowConnection(header, {}, up));
    EXPECT_FALSE(RouteTablesShowConnection({}, {}, up));
    EXPECT_FALSE(RouteTablesShowConnection("garbage\nmore garbage words here x y z w\n", {}, up));
}

TEST(OnlineRouteTables, IPv6DefaultRouteCounts)
{
    const QByteArray zero(32, '0');
    const QByteArray v6Default = zero + " 00 " + zero + " 00 fe800000000000000000000000000001 "
                                 "00000400 00000001 00000000 00000003 eth0\n";
    const QByteArray v6Loopback = QByteArray(31, '0') + "1 80 " + zero + " 00 " + zero
                                  + " 00000000 00000001 00000000 00000001 lo\n";
    EXPECT_TRUE(RouteTablesShowConnection({}, v6Default, {QStringLiteral("eth0")}));
    EXPECT_FALSE(RouteTablesShowConnection({}, v6Loopback, {QStringLiteral("eth0")}));
}

} // namespace
