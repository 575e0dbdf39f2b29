#include <atomic>
#include <chrono>

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
    // Returning at all is the point: both portals hang for good.
    EXPECT_FALSE(IsConnected(LoopbackStages(), addresses));
    EXPECT_EQ(server.Hits(QStringLiteral("portal2")), 1);
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
        ASSERT_TRUE(QTest::qWaitFor([&] { return check.Finished(); }));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.Attempts() >= 1; }));
    EXPECT_FALSE(check.Online());
    const int before = check.Attempts();
    connected->store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.Online(); }, 10000));
    // The next try after the connection sees it (one more may have been
    // under way when it came).
    EXPECT_LE(check.Attempts(), before + 2);
}

TEST_F(OnlineInternetCheck, SleepsBetweenTries)
{
    {
        // Offline, it keeps trying.
        TInternetCheck check(NewOnlineFlag(), LoopbackStages(false), addresses, 10ms);
        check.Start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return check.Attempts() >= 3; }));
        check.Terminate();
        EXPECT_FALSE(check.Online());
    }
    // With an hour between tries, the first try is the only one for a while.
    TInternetCheck check(NewOnlineFlag(), LoopbackStages(false), addresses, 1h);
    check.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.Attempts() >= 1; }));
    QTest::qWait(300);
    EXPECT_EQ(check.Attempts(), 1);
}

TEST_F(OnlineInternetCheck, EndsPromptlyInTheMiddleOfARequest)
{
    server.Route(QStringLiteral("portal1"), TScripted::Hanging());
    // A request that would wait an hour: the end must not wait for it (the
    // test's own time limit fails it if it does).
    addresses.ProbeTimeout = 1h;
    const TOnlineFlag flag = NewOnlineFlag();
    {
        TInternetCheck check(flag, LoopbackStages(), addresses);
        check.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.Hits(QStringLiteral("portal1")) == 1; }));
    }
    EXPECT_FALSE(flag->load());
    // The second portal was not tried on the way out.
    EXPECT_EQ(server.Hits(QStringLiteral("portal2")), 0);
}

TEST(OnlineRouteTables, DefaultRouteThroughAnUpInterface)
{
    const QByteArray header =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    const QByteArray withDefault =
        header
        + "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
          "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    const QByteArray localOnly =
        header + "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
    const QByteArray routeDown =
        header + "eth0\t00000000\t0102A8C0\t0002\t0\t0\t100\t00000000\t0\t0\t0\n";
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
    const QByteArray v6Default = zero + " 00 " + zero
                                 + " 00 fe800000000000000000000000000001 "
                                   "00000400 00000001 00000000 00000003 eth0\n";
    const QByteArray v6Loopback = QByteArray(31, '0') + "1 80 " + zero + " 00 " + zero
                                  + " 00000000 00000001 00000000 00000001 lo\n";
    EXPECT_TRUE(RouteTablesShowConnection({}, v6Default, {QStringLiteral("eth0")}));
    EXPECT_FALSE(RouteTablesShowConnection({}, v6Loopback, {QStringLiteral("eth0")}));
}

}  // namespace
