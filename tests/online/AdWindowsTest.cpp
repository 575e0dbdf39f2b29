#include <QCoreApplication>
#include <QGuiApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include "AdLabelLink.h"
#include "BrowserPane.h"
#include "FrmAd.h"
#include "LoopbackHttpServer.h"
#include "MainWindowAdverts.h"
#include "OnlineTestSupport.h"
#include "QueuedSentinel.h"
#include "TempProgramDir.h"

namespace {

using namespace std::chrono_literals;

void hover(QLabel &label)
{
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(&label, &enter);
}

void leave(QLabel &label)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &event);
}

void click(QLabel &label)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&label, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&label, &release);
}

bool looksLikeALink(const QLabel &label)
{
    return label.font().underline()
           && label.palette().color(QPalette::WindowText) == QColor(Qt::blue)
           && label.cursor().shape() == Qt::PointingHandCursor;
}

TEST(OnlineAdLabel, ShowsTheAdvertAndBehavesLikeALink)
{
    QWidget statusBar;
    QLabel &label = *new QLabel(QStringLiteral("design text"), &statusBar);
    label.resize(200, 20);
    RecordingOpener opener;
    TAdLabelLink link(&label, opener.Opener());

    // Before the first advert: the label keeps its look and a click does nothing.
    hover(label);
    EXPECT_FALSE(looksLikeALink(label));
    click(label);
    EXPECT_TRUE(opener.Opened->isEmpty());
    leave(label);

    link.ShowAdvert(QStringLiteral("<b>背单词</b>"), QStringLiteral("http://example.invalid/1"));
    EXPECT_EQ(label.text(), QStringLiteral("<b>背单词</b>"));
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(label.font().pointSize(), 9);
    EXPECT_FALSE(label.font().underline());

    hover(label);
    EXPECT_TRUE(looksLikeALink(label));
    leave(label);
    EXPECT_FALSE(label.font().underline());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_FALSE(label.testAttribute(Qt::WA_SetCursor));

    click(label);
    ASSERT_EQ(opener.Opened->size(), 1);
    EXPECT_EQ(opener.Opened->first(), QUrl(QStringLiteral("http://example.invalid/1")));

    // Only web addresses leave the program.
    link.ShowAdvert(QStringLiteral("x"), QStringLiteral("file:///etc/passwd"));
    click(label);
    EXPECT_EQ(opener.Opened->size(), 1);
}

class OnlineAdWindows : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    TempProgramDir dir;
    RecordingOpener opener;
    TOnlineFlag online = NewOnlineFlag();

    void SetUp() override { server.Route(QStringLiteral("portal1"), TScripted::Page("portal")); }

    void serve(const QString &name, const TAdListContent &adList)
    {
        server.Route(QStringLiteral("software/kivrotype/") + name,
                     TScripted::Page(AdListXml(adList), "text/xml"));
    }
    TAdServices services(std::chrono::milliseconds second = 100ms)
    {
        return LoopbackServices(server, second);
    }
};

// The main window's side, as the main window will hold it.
struct MainWindowParts {
    QWidget window;
    QLabel *labAd = new QLabel(&window);
    TBrowserPane *wbAd = new TBrowserPane(&window);
    TBrowserPane *wbAd1 = new TBrowserPane(&window);
    std::unique_ptr<TMainWindowAdverts> adverts;

    MainWindowParts(const TOnlineFlag &online, const TAdServices &services,
                    const RecordingOpener &opener)
    {
        labAd->setObjectName(QStringLiteral("labAd"));
        labAd->resize(300, 20);
        adverts = std::make_unique<TMainWindowAdverts>(labAd, wbAd, wbAd1, online, services,
                                                       opener.Opener());
    }
    ~MainWindowParts() { adverts.reset(); }
};

TEST_F(OnlineAdWindows, PopupIsAStayOnTopWindowWithoutATitle)
{
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    EXPECT_TRUE(popup.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(popup.windowTitle().isEmpty());
    EXPECT_FALSE(popup.testAttribute(Qt::WA_QuitOnClose));
    // Neither the window nor its pane takes the keyboard from the game.
    EXPECT_TRUE(popup.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(popup.Pane()->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_NE(popup.findChild<QFrame *>(QStringLiteral("panAd")), nullptr);
    EXPECT_EQ(popup.findChild<TBrowserPane *>(QStringLiteral("wbAd")), popup.Pane());
    EXPECT_EQ(popup.InterCheckTimer()->objectName(), QStringLiteral("TimerInterCheck"));
    EXPECT_EQ(popup.InterCheckTimer()->interval(), 1000);
    EXPECT_TRUE(popup.InterCheckTimer()->isActive());

    // Offline: the timer goes on waiting.
    popup.TimerInterCheckTimer();
    EXPECT_EQ(popup.AdInterface(), nullptr);
    EXPECT_TRUE(popup.InterCheckTimer()->isActive());
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(OnlineAdWindows, PopupTakesItsSizeFromTheListAndSitsInTheCorner)
{
    TAdListContent adList;
    adList.AdWidth = 320;
    adList.AdHeight = 240;
    adList.StartPlayInterval = 100;
    adList.Items = LoopbackItems(server, 2);
    serve(kPopupAdList, adList);
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    online->store(true);
    popup.TimerInterCheckTimer();
    ASSERT_NE(popup.AdInterface(), nullptr);
    EXPECT_FALSE(popup.InterCheckTimer()->isActive());
    EXPECT_TRUE(popup.AdInterface()->BrowserMode());
    EXPECT_EQ(popup.AdInterface()->XmlName(), QStringLiteral("kivrotype1.xml"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.AdInterface()->ListArrived(); }));
    popup.show();
    QTest::qWait(50);
    EXPECT_EQ(popup.width(), 320);
    EXPECT_EQ(popup.Pane()->height(), 240);
    const QRect area = popup.screen()->availableGeometry();
    EXPECT_EQ(popup.frameGeometry().right(), area.right());
    EXPECT_EQ(popup.frameGeometry().bottom(), area.bottom());
}

TEST_F(OnlineAdWindows, MainWindowStartsTheStatusBarChannelOnceOnline)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 2);
    serve(kStatusBarAdList, adList);
    server.Route(QStringLiteral("nav"), TScripted::Page("<p>portal page</p>"));
    MainWindowParts main(online, services(), opener);
    TMainWindowAdverts &adverts = *main.adverts;
    EXPECT_EQ(adverts.TimerInterCheck()->objectName(), QStringLiteral("TimerInterCheck"));
    EXPECT_EQ(adverts.TimerInterCheck()->interval(), 1000);
    EXPECT_EQ(adverts.TimerAd()->objectName(), QStringLiteral("TimerAd"));
    EXPECT_EQ(adverts.TimerAd()->interval(), 10000);
    EXPECT_TRUE(adverts.TimerInterCheck()->isActive());
    EXPECT_TRUE(adverts.TimerAd()->isActive());

    adverts.TimerInterCheckTimer();
    EXPECT_EQ(adverts.AdInterface(), nullptr);
    EXPECT_TRUE(adverts.TimerInterCheck()->isActive());

    // The check thread, on the loopback portal, raises the flag.
    adverts.StartInternetCheck();
    ASSERT_TRUE(QTest::qWaitFor([&] { return online->load(); }));
    adverts.TimerInterCheckTimer();
    ASSERT_NE(adverts.AdInterface(), nullptr);
    EXPECT_FALSE(adverts.TimerInterCheck()->isActive());
    EXPECT_FALSE(adverts.AdInterface()->BrowserMode());
    EXPECT_EQ(adverts.AdInterface()->XmlName(), QStringLiteral("kivrotype2.xml"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.labAd->text() == QStringLiteral("广告0"); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.labAd->text() == QStringLiteral("广告1"); }));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main.wbAd1->toPlainText().contains(QStringLiteral("portal page")); }));
}

TEST_F(OnlineAdWindows, AClickOpensTheAdvertOnDisplay)
{
    TAdListContent adList;
    adList.StartPlayInterval = 3;
    adList.Items = LoopbackItems(server, 3);
    serve(kStatusBarAdList, adList);
    MainWindowParts main(online, services(250ms), opener);
    online->store(true);
    main.adverts->TimerInterCheckTimer();
    TAdInterface *ads = main.adverts->AdInterface();
    ASSERT_NE(ads, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ads->ListArrived(); }));

    // Before any advert: nothing to open.
    click(*main.labAd);
    EXPECT_TRUE(opener.Opened->isEmpty());

    std::vector<int> clickedAfter;
    QObject::connect(ads, &TAdInterface::AdvertShown, [&](int k) {
        clickedAfter.push_back(k);
        click(*main.labAd);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return clickedAfter.size() == 4; }));
    ASSERT_EQ(opener.Opened->size(), 4);
    for (size_t i = 0; i < clickedAfter.size(); ++i)
        EXPECT_EQ(opener.Opened->at(static_cast<qsizetype>(i)).toString(),
                  adList.Items[static_cast<size_t>(clickedAfter[i])].Value);
    EXPECT_EQ(clickedAfter, (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(OnlineAdWindows, TimerAdShowsThePopupOnlyWhenItsAdvertsLoaded)
{
    MainWindowParts main(online, services(), opener);
    {
        // Still offline after ten seconds.
        TFrmAd popup(nullptr, online, services(), opener.Opener());
        main.adverts->SetPopup(&popup);
        main.adverts->TimerAdTimer();
        EXPECT_FALSE(popup.isVisible());
        EXPECT_FALSE(main.adverts->TimerAd()->isActive());
    }
    // Online, but no list on the server.
    MainWindowParts again(online, services(), opener);
    online->store(true);
    {
        TFrmAd popup(nullptr, online, services(), opener.Opener());
        again.adverts->SetPopup(&popup);
        popup.TimerInterCheckTimer();
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup.AdInterface()->ListArrived(); }));
        again.adverts->TimerAdTimer();
        EXPECT_FALSE(popup.isVisible());
    }
    // A popup freed before the timer fires is not touched.
    again.adverts->TimerAdTimer();

    TAdListContent adList;
    adList.StartPlayInterval = 100;
    adList.Items = LoopbackItems(server, 1);
    serve(kPopupAdList, adList);
    MainWindowParts third(online, services(), opener);
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    third.adverts->SetPopup(&popup);
    popup.TimerInterCheckTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.AdInterface()->ListArrived(); }));
    third.adverts->TimerAdTimer();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_FALSE(third.adverts->TimerAd()->isActive());
}

TEST_F(OnlineAdWindows, ClosingThePopupStopsItsRotationWhileTheStatusBarGoesOn)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 3);
    serve(kPopupAdList, adList);
    serve(kStatusBarAdList, adList);
    online->store(true);
    MainWindowParts main(online, services(), opener);
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    main.adverts->SetPopup(&popup);
    popup.TimerInterCheckTimer();
    main.adverts->TimerInterCheckTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.AdInterface()->ListArrived(); }));
    main.adverts->TimerAdTimer();
    ASSERT_TRUE(popup.isVisible());

    int popupShown = 0;
    int barShown = 0;
    QObject::connect(popup.AdInterface(), &TAdInterface::AdvertShown, [&] { ++popupShown; });
    QObject::connect(main.adverts->AdInterface(), &TAdInterface::AdvertShown, [&] { ++barShown; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return popupShown >= 1 && barShown >= 1; }));
    popup.close();
    EXPECT_FALSE(popup.isVisible());
    const int popupAtClose = popupShown;
    const int barAtClose = barShown;
    EXPECT_TRUE(popup.AdInterface()->PlayThread().Suspended());
    // Three more adverts of the bar, each an interval after the last, come
    // after anything the popup's rotation had on its way when it closed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return barShown >= barAtClose + 3; }));
    ASSERT_TRUE(DeliverEverythingQueuedSoFar());
    EXPECT_EQ(popupShown, popupAtClose);
}

TEST_F(OnlineAdWindows, EscapeStopsThePopupToo)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 2);
    serve(kPopupAdList, adList);
    online->store(true);
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    popup.TimerInterCheckTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.AdInterface()->ListArrived(); }));
    popup.show();
    popup.reject();
    EXPECT_TRUE(popup.AdInterface()->Stopped());
}

TEST_F(OnlineAdWindows, ClosingTheMainWindowQuitsWhileThePopupIsOpen)
{
    QWidget mainWindow;
    mainWindow.show();
    TFrmAd popup(nullptr, online, services(), opener.Opener());
    popup.show();
    ASSERT_TRUE(QGuiApplication::quitOnLastWindowClosed());
    QTimer::singleShot(0, &mainWindow, &QWidget::close);
    // Should the popup keep the program alive, the guard ends the loop with 99.
    QTimer::singleShot(3000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(OnlineAdWindows, EverythingEndsPromptlyWhenTheMainWindowGoes)
{
    TAdListContent adList;
    adList.StartPlayInterval = 0;
    adList.Items = LoopbackItems(server, 2);
    serve(kStatusBarAdList, adList);
    server.Route(QStringLiteral("software/kivrotype/kivrotype1.xml"), TScripted::Hanging());
    TAdServices slow = services();
    slow.Addresses.DownloadTimeout = 60s;
    online->store(true);
    auto main = std::make_unique<MainWindowParts>(online, slow, opener);
    auto popup = std::make_unique<TFrmAd>(&main->window, online, slow, opener.Opener());
    main->adverts->SetPopup(popup.get());
    main->adverts->StartInternetCheck();
    popup->TimerInterCheckTimer();
    main->adverts->TimerInterCheckTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->labAd->text().isEmpty(); }));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return server.Hits(QStringLiteral("software/kivrotype/kivrotype1.xml")) == 1; }));
    // Neither waits for the hanging download (the test's time limit says so).
    popup.reset();
    main.reset();
    QCoreApplication::sendPostedEvents();
}

}  // namespace
