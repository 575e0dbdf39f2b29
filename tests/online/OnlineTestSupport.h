#pragma once
// Shared by the online tests: stages and addresses aimed at the loopback
// server, advert lists, and recording
// fakes of the pane, the label and the browser opener.

#include <chrono>
#include <functional>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtCore/qtestsupport_core.h>

#include "AdInterface.h"
#include "ConnectionStages.h"
#include "LoopbackHttpServer.h"
#include "OnlineAddresses.h"

// Stage 1 as given, the real HTTP probe, stage 3 as given.
TConnectionStages LoopbackStages(bool systemConnected = true,
                                 TConnectedState state = TConnectedState::Connected);
// Portals, advert folder and navigation page on the server.
TOnlineAddresses LoopbackAddresses(const LoopbackHttpServer &server);
TAdServices LoopbackServices(const LoopbackHttpServer &server,
                             std::chrono::milliseconds second = std::chrono::milliseconds(100));

struct TAdItem {
    QString Value;
    QString Title;
};
struct TAdListContent {
    int AdWidth = 320;
    int AdHeight = 240;
    int StartPlayInterval = 1;
    int MaxPalyNum = 0;
    int AdInterval = 1;
    QString CountHttp;
    int Count = -1;  // -1: the number of items
    std::vector<TAdItem> Items;
};
QByteArray AdListXml(const TAdListContent &adList);
// Items "adN" with titles "广告N" on the server: ad0, ad1, ...
std::vector<TAdItem> LoopbackItems(const LoopbackHttpServer &server, int n);
// A list of three items elsewhere, for an old copy on disk.
TAdListContent ThreeItems();

class RecordingBrowser : public TAdBrowser {
public:
    void Navigate(const QString &address) override { Navigated << address; }
    QStringList Navigated;
};

class RecordingTitleView : public TAdTitleView {
public:
    void ShowAdvert(const QString &title, const QString &address) override
    {
        Titles << title;
        Addresses << address;
    }
    QStringList Titles;
    QStringList Addresses;
};

struct RecordingOpener {
    std::shared_ptr<QList<QUrl>> Opened = std::make_shared<QList<QUrl>>();
    std::function<void(const QUrl &)> Opener() const
    {
        auto opened = Opened;
        return [opened](const QUrl &url) { opened->append(url); };
    }
};
