#include <chrono>
#include <vector>

#include <QFile>

#include <gtest/gtest.h>

#include "AdInterface.h"
#include "InternetCheck.h"
#include "LoopbackHttpServer.h"
#include "OnlineTestSupport.h"
#include "QueuedSentinel.h"
#include "TempProgramDir.h"

namespace {

using namespace std::chrono_literals;

class OnlineAdInterface : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    TempProgramDir dir;
    RecordingBrowser pane;
    RecordingTitleView label;
    std::vector<int> shown;

    void SetUp() override { server.Route(QStringLiteral("portal1"), TScripted::Page("portal")); }

    void serve(const QString &name, const TAdListContent &adList)
    {
        server.Route(QStringLiteral("software/kivrotype/") + name,
                     TScripted::Page(AdListXml(adList), "text/xml"));
    }

    std::unique_ptr<TAdInterface> start(const QString &name, bool browserMode,
                                        std::chrono::milliseconds second = 100ms)
    {
        return startWith(name, browserMode, LoopbackServices(server, second));
    }

    std::unique_ptr<TAdInterface> startWith(const QString &name, bool browserMode,
                                            const TAdServices &services)
    {
        auto ads = std::make_unique<TAdInterface>(services);
        QObject::connect(ads.get(), &TAdInterface::AdvertShown,
                         [this](int index) { shown.push_back(index); });
        ads->Start(LoopbackAddresses(server).AdServerBase, name, &pane,
                   browserMode ? nullptr : &label, browserMode);
        return ads;
    }
};

TEST_F(OnlineAdInterface, RotatesThroughTheListFirstAdvertAfterTheStartInterval)
{
    TAdListContent adList;
    adList.StartPlayInterval = 1;
    adList.AdInterval = 1;
    adList.Items = LoopbackItems(server, 3);
    serve(kPopupAdList, adList);
    auto ads = start(kPopupAdList, true, 1000ms);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->ListArrived(); }));
    EXPECT_EQ(ads->UrlCount(), 3);
    EXPECT_TRUE(ads->StartTimerActive());
    EXPECT_TRUE(shown.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 4; }, 8000));
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(ads->PlayThread().Interval(), adList.AdInterval);
    const QStringList expected{adList.Items[0].Value, adList.Items[1].Value, adList.Items[2].Value,
                               adList.Items[0].Value};
    EXPECT_EQ(pane.Navigated, expected);
}

TEST_F(OnlineAdInterface, PassLimitOneWithTwoItemsShowsZeroOneZeroThenStops)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.MaxPalyNum = 1;
    adList.Items = LoopbackItems(server, 2);
    serve(kStatusBarAdList, adList);
    auto ads = start(kStatusBarAdList, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 3; }));
    // Suspended inside the tick that found the limit, while the worker waited
    // for that tick: no tick is on its way, so after the marker none can come.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->PlayThread().Suspended(); }, 2000));
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(ads->Passes(), 2);
    EXPECT_EQ(label.Titles, (QStringList{QStringLiteral("广告0"), QStringLiteral("广告1"),
                                         QStringLiteral("广告0")}));
}

TEST_F(OnlineAdInterface, CountLargerThanTheItemsRotatesThroughThoseThere)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Count = 4;
    adList.Items = LoopbackItems(server, 2);
    serve(kStatusBarAdList, adList);
    auto ads = start(kStatusBarAdList, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 3; }));
    EXPECT_EQ(ads->UrlCount(), 2);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 0}));
}

TEST_F(OnlineAdInterface, CounterPageLoadsFirstAndOnlyWhenNamed)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 1);
    adList.CountHttp = server.Url(QStringLiteral("count")).toString();
    serve(kPopupAdList, adList);
    auto ads = start(kPopupAdList, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 1; }));
    ASSERT_EQ(pane.Navigated.size(), 2);
    EXPECT_EQ(pane.Navigated[0], adList.CountHttp);
    EXPECT_EQ(pane.Navigated[1], adList.Items[0].Value);

    // Status-bar channel without a counter page: the pane sees nothing.
    ads.reset();
    shown.clear();
    pane.Navigated.clear();
    adList.CountHttp.clear();
    serve(kStatusBarAdList, adList);
    auto bar = start(kStatusBarAdList, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 1; }));
    EXPECT_TRUE(pane.Navigated.isEmpty());
    EXPECT_EQ(label.Addresses, QStringList{adList.Items[0].Value});
}

TEST_F(OnlineAdInterface, OfflineOrMissingListGivesNoAdverts)
{
    TAdServices offline = LoopbackServices(server);
    offline.Stages = LoopbackStages(false);
    auto ads = startWith(kPopupAdList, true, offline);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->ListArrived(); }));
    EXPECT_EQ(ads->UrlCount(), 0);
    EXPECT_FALSE(ads->StartTimerActive());
    EXPECT_TRUE(server.Requests().isEmpty());

    // Online, but the server has no list.
    auto missing = start(kStatusBarAdList, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return missing->ListArrived(); }));
    EXPECT_EQ(missing->UrlCount(), 0);
    EXPECT_FALSE(missing->StartTimerActive());
    // Only the start timer resumes the rotation, and it never ran.
    EXPECT_TRUE(missing->PlayThread().Suspended());
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_TRUE(shown.empty());
}

TEST_F(OnlineAdInterface, PopupStaysOffWhenTheShortTestFailsAfterTheDownload)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 2);
    serve(kPopupAdList, adList);
    // The first portal answers the guard of the download, then goes away.
    server.RouteSequence(QStringLiteral("portal1"),
                         {TScripted::Page("portal"), TScripted::Hanging()});
    TAdServices services = LoopbackServices(server);
    services.Addresses.ProbeTimeout = 300ms;
    auto ads = startWith(kPopupAdList, true, services);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->ListArrived(); }));
    EXPECT_EQ(ads->UrlCount(), 2);
    EXPECT_FALSE(ads->StartTimerActive());
}

TEST_F(OnlineAdInterface, StopPausesForGoodEvenBeforeTheListArrives)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 2);
    TScripted slow = TScripted::Page(AdListXml(adList), "text/xml");
    slow.DelayMs = 300;
    server.Route(QStringLiteral("software/kivrotype/kivrotype1.xml"), slow);
    auto ads = start(kPopupAdList, true);
    ads->Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->ListArrived(); }));
    EXPECT_EQ(ads->UrlCount(), 2);
    EXPECT_FALSE(ads->StartTimerActive());
    EXPECT_TRUE(ads->PlayThread().Suspended());
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_TRUE(shown.empty());

    // Stop while rotating: from inside the first advert's tick, while the
    // worker waits for it, so no other tick is on its way.
    serve(kStatusBarAdList, adList);
    auto bar = start(kStatusBarAdList, false);
    QObject::connect(bar.get(), &TAdInterface::AdvertShown, bar.get(), [&bar] { bar->Stop(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 1; }));
    EXPECT_TRUE(bar->PlayThread().Suspended());
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(OnlineAdInterface, DestroyedWhileRotating)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 3);
    serve(kStatusBarAdList, adList);
    auto ads = start(kStatusBarAdList, false, 10ms);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 2; }));
    // Destruction joins the worker: whatever it handed over is queued by now.
    ads.reset();
    const size_t before = shown.size();
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(shown.size(), before);
}

TEST(OnlineAdLists, DeletedAtExit)
{
    TempProgramDir dir;
    dir.WriteFile("kivrotype1.xml", "a");
    dir.WriteFile("kivrotype2.xml", "b");
    dir.WriteFile("kivrotype3.xml", "c");
    DeleteAdvertLists();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path("kivrotype1.xml"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path("kivrotype2.xml"))));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.Path("kivrotype3.xml"))));
    DeleteAdvertLists();  // nothing to delete: no harm
}

}  // namespace
