#include <QBuffer>
#include <QImage>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include "BrowserPane.h"
#include "LoopbackHttpServer.h"
#include "OnlineTestSupport.h"
#include "QueuedSentinel.h"

namespace {

QByteArray png()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class OnlineBrowserPane : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    RecordingOpener opener;
    TBrowserPane pane{nullptr, opener.Opener()};
    bool loaded = false;
    bool loadedOk = false;

    void SetUp() override
    {
        pane.resize(300, 200);
        pane.show();
        QObject::connect(&pane, &TBrowserPane::PageLoaded, [this](const QUrl &, bool ok) {
            loaded = true;
            loadedOk = ok;
        });
    }
    bool navigate(const QString &path)
    {
        loaded = false;
        pane.Navigate(server.Url(path).toString());
        return QTest::qWaitFor([this] { return loaded; });
    }
};

TEST_F(OnlineBrowserPane, ShowsThePageAndFetchesItsImages)
{
    server.Route(QStringLiteral("ads/page.html"),
                 TScripted::Page("<html><body><p>Learn 100 words a day</p>"
                                 "<img src=\"pic.png\" width=\"8\" height=\"8\">"
                                 "<script>document.write('scripted')</script></body></html>"));
    server.Route(QStringLiteral("ads/pic.png"), TScripted::Page(png(), "image/png"));
    ASSERT_TRUE(navigate(QStringLiteral("ads/page.html")));
    EXPECT_TRUE(loadedOk);
    EXPECT_TRUE(pane.toPlainText().contains(QStringLiteral("Learn 100 words a day")));
    EXPECT_FALSE(pane.toPlainText().contains(QStringLiteral("scripted")));
    const QUrl image = server.Url(QStringLiteral("ads/pic.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.HasImage(image); }));
    EXPECT_EQ(server.Hits(QStringLiteral("ads/pic.png")), 1);
    EXPECT_EQ(pane.PageUrl(), server.Url(QStringLiteral("ads/page.html")));
}

TEST_F(OnlineBrowserPane, DecodesChinesePages)
{
    QStringEncoder toGbk("GBK");
    server.Route(
        QStringLiteral("header"),
        TScripted::Page(toGbk.encode(QStringLiteral("<p>背单词</p>")), "text/html; charset=gbk"));
    server.Route(
        QStringLiteral("meta"),
        TScripted::Page(
            toGbk.encode(QStringLiteral(
                "<html><head><meta http-equiv=\"Content-Type\" "
                "content=\"text/html; charset=gb2312\"></head><body>打字游戏</body></html>")),
            "text/html"));
    ASSERT_TRUE(navigate(QStringLiteral("header")));
    EXPECT_TRUE(pane.toPlainText().contains(QStringLiteral("背单词")));
    ASSERT_TRUE(navigate(QStringLiteral("meta")));
    EXPECT_TRUE(pane.toPlainText().contains(QStringLiteral("打字游戏")));
}

TEST_F(OnlineBrowserPane, OnlyWebAddressesAreFetched)
{
    pane.Navigate(QStringLiteral("file:///etc/passwd"));
    pane.Navigate(QStringLiteral("javascript:alert(1)"));
    pane.Navigate(QString());
    EXPECT_EQ(pane.Navigations(), 0);

    // A page cannot make the pane read local files either.
    server.Route(
        QStringLiteral("local"),
        TScripted::Page("<p>x</p><img src=\"file:///usr/share/pixmaps/debian-logo.png\">"));
    ASSERT_TRUE(navigate(QStringLiteral("local")));
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_FALSE(pane.HasImage(QUrl(QStringLiteral("file:///usr/share/pixmaps/debian-logo.png"))));
}

TEST_F(OnlineBrowserPane, LinksOpenInTheUsersBrowser)
{
    server.Route(QStringLiteral("ads/page.html"),
                 TScripted::Page("<a href=\"more.html\">more</a>"));
    ASSERT_TRUE(navigate(QStringLiteral("ads/page.html")));
    emit pane.anchorClicked(QUrl(QStringLiteral("more.html")));
    emit pane.anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    ASSERT_EQ(opener.Opened->size(), 1);
    EXPECT_EQ(opener.Opened->first(), server.Url(QStringLiteral("ads/more.html")));
    // The pane itself stays on its advert.
    EXPECT_EQ(server.Hits(QStringLiteral("ads/more.html")), 0);
}

TEST_F(OnlineBrowserPane, TheLatestNavigationWins)
{
    TScripted slow = TScripted::Page("<p>old advert</p>");
    slow.DelayMs = 300;
    server.Route(QStringLiteral("slow"), slow);
    server.Route(QStringLiteral("fast"), TScripted::Page("<p>new advert</p>"));
    pane.Navigate(server.Url(QStringLiteral("slow")).toString());
    ASSERT_TRUE(navigate(QStringLiteral("fast")));
    QTest::qWait(500);
    EXPECT_TRUE(pane.toPlainText().contains(QStringLiteral("new advert")));
    EXPECT_FALSE(pane.toPlainText().contains(QStringLiteral("old advert")));
}

}  // namespace
