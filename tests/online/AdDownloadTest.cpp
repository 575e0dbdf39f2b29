#include <atomic>
#include <thread>

#include <QFile>

#include <gtest/gtest.h>

#include "AdDownload.h"
#include "LoopbackHttpServer.h"
#include "OnlineTestSupport.h"
#include "WaitWithoutEvents.h"
#include "TempProgramDir.h"

namespace {

using namespace std::chrono_literals;

class OnlineAdDownload : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    TempProgramDir dir;
    TConnectionStages stages = LoopbackStages();
    TOnlineAddresses addresses = LoopbackAddresses(server);
    std::atomic<bool> cancel{false};
    TDownloadContext context{&stages, &addresses, &cancel};
    const QString list = QStringLiteral("software/kivrotype/kivrotype2.xml");

    void SetUp() override { server.Route(QStringLiteral("portal1"), TScripted::Page("portal")); }
    QString local() const { return QString::fromStdString(dir.Path("kivrotype2.xml")); }
    bool exists() const { return QFile::exists(local()); }
};

TEST_F(OnlineAdDownload, DownloadsIntoTheLocalFile)
{
    server.Route(list, TScripted::Page("<Root/>", "text/xml"));
    dir.WriteFile("kivrotype2.xml", "an older and much longer copy of the list");
    EXPECT_TRUE(DownloadFile(server.Url(list), local(), context));
    EXPECT_EQ(dir.ReadFile("kivrotype2.xml"), "<Root/>");
    // The short test guarded the download: the first portal was asked.
    EXPECT_EQ(server.Hits(QStringLiteral("portal1")), 1);
}

TEST_F(OnlineAdDownload, RefusedWhileNotOnline)
{
    server.Route(list, TScripted::Page("<Root/>"));
    addresses.FirstPortal = LoopbackHttpServer::ClosedAddress();
    EXPECT_FALSE(DownloadFile(server.Url(list), local(), context));
    EXPECT_EQ(server.Hits(list), 0);
    EXPECT_FALSE(exists());
}

TEST_F(OnlineAdDownload, ABrokenTransferFallsBackToAFetchIntoMemory)
{
    const QByteArray body(2000, 'x');
    server.RouteSequence(list, {TScripted::Dropped(body), TScripted::Page(body)});
    EXPECT_TRUE(DownloadFile(server.Url(list), local(), context));
    EXPECT_EQ(server.Hits(list), 2);
    EXPECT_EQ(dir.ReadFile("kivrotype2.xml"), body.toStdString());
}

TEST_F(OnlineAdDownload, AFailedDownloadLeavesNoFile)
{
    server.Route(list, TScripted::Status404());
    EXPECT_FALSE(DownloadFile(server.Url(list), local(), context));
    // Tried both ways.
    EXPECT_EQ(server.Hits(list), 2);
    EXPECT_FALSE(exists());

    // HttpDownload deletes the old copy before it fetches, even when the fetch fails.
    dir.WriteFile("kivrotype2.xml", "old");
    EXPECT_FALSE(HttpDownload(server.Url(list), local(), context));
    EXPECT_FALSE(exists());
}

TEST_F(OnlineAdDownload, AnAnswerFarTooLargeForAListIsRefused)
{
    server.Route(list, TScripted::Page(QByteArray(qsizetype{5} * 1024 * 1024, 'x'), "text/xml"));
    EXPECT_FALSE(DownloadFile(server.Url(list), local(), context));
    EXPECT_FALSE(exists());
}

TEST_F(OnlineAdDownload, TheOldListIsDeletedBeforeTheDownload)
{
    dir.WriteFile("kivrotype2.xml", AdListXml(ThreeItems()).toStdString());
    // The server has no list: the old one must not be used instead.
    TAdListLoad load = LoadAdList(server.Url(list), local(), false, context);
    EXPECT_FALSE(load.Downloaded);
    EXPECT_TRUE(load.Params.HttpList.isEmpty());
    EXPECT_FALSE(exists());

    // Offline: the old copy goes all the same.
    dir.WriteFile("kivrotype2.xml", "old");
    TConnectionStages offline = LoopbackStages(false);
    TDownloadContext offlineContext{&offline, &addresses, &cancel};
    load = LoadAdList(server.Url(list), local(), false, offlineContext);
    EXPECT_FALSE(load.Downloaded);
    EXPECT_FALSE(exists());
}

TEST_F(OnlineAdDownload, CancellingEndsAHangingDownload)
{
    server.Route(list, TScripted::Hanging());
    // A download that would wait an hour: only the cancel can end it (the
    // test's own time limit fails it otherwise).
    addresses.DownloadTimeout = 1h;
    std::thread canceller([this] {
        // Cancel once the request has reached the server.
        WaitWithoutEvents([this] { return server.Hits(list) >= 1; }, std::chrono::seconds(30));
        cancel = true;
    });
    EXPECT_FALSE(DownloadFile(server.Url(list), local(), context));
    canceller.join();
    // No second attempt after a cancel.
    EXPECT_EQ(server.Hits(list), 1);
    EXPECT_FALSE(exists());
}

}  // namespace
