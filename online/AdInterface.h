#pragma once
// The controller of one advert channel:
//   pop-up channel (browser mode): adverts are pages shown in a browser pane;
//   status-bar channel: adverts are titles shown in a label, a click opens
//   the advert on display in the user's browser.
// Start fetches the channel's list on a worker thread; when it has arrived
// the counter page is loaded and the start timer armed. StartPlayInterval
// seconds later the play thread shows the first advert, then one every
// AdInterval seconds, through the list again and again until MaxPalyNum
// passes are done (0 or less: for ever) or Stop is called.
//
// The controller never owns the pane or the label it is given: whoever
// hosts them destroys the controller first. Destroying it ends and joins
// both of its threads before anything else goes.

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

#include <QObject>
#include <QString>
#include <QUrl>

#include "AdDownload.h"
#include "AdParameter.h"
#include "AdPlayThread.h"
#include "ConnectionStages.h"
#include "OnlineAddresses.h"

class QThread;
class QTimer;

// Where the pop-up channel shows its adverts and any channel its counter page.
class TAdBrowser {
public:
    virtual ~TAdBrowser() = default;
    virtual void Navigate(const QString &address) = 0;
};

// Where the status-bar channel shows its adverts.
class TAdTitleView {
public:
    virtual ~TAdTitleView() = default;
    // The advert now on display: its text and the address a click opens.
    virtual void ShowAdvert(const QString &title, const QString &address) = 0;
};

// The pane's navigate operation; nothing happens without a pane.
void NavigateTo(TAdBrowser *pane, const QString &address);

// What a controller takes from outside.
struct TAdServices {
    TOnlineAddresses Addresses = ProgramAddresses();
    TConnectionStages Stages = SystemConnectionStages();
    // One second of the list's intervals (tests shorten it).
    std::chrono::milliseconds SecondLength{1000};
};

// The two lists' file names.
inline const QString kPopupAdList = QStringLiteral("kivrotype1.xml");
inline const QString kStatusBarAdList = QStringLiteral("kivrotype2.xml");

// Deletes both lists from the program directory (at exit); a file that
// cannot be deleted is left.
void DeleteAdvertLists();

class TAdInterface : public QObject {
    Q_OBJECT
public:
    explicit TAdInterface(TAdServices services = {}, QObject *parent = nullptr);
    ~TAdInterface() override;

    // Stores the channel's settings and starts fetching its list from
    // baseUrl + xmlName into the program directory. The rest of the start
    // happens when the list has arrived (ListLoaded). Errors are swallowed;
    // only the first call does anything.
    void Start(const QUrl &baseUrl, const QString &xmlName, TAdBrowser *browser,
               TAdTitleView *label, bool browserMode);
    // Disables the start timer and pauses the rotation, for good.
    void Stop();

    // One rotation step; the play thread calls it on this object's thread.
    void PlayNext();
    // The start timer's handler: starts the rotation.
    void StartTimerTick();

    const QUrl &BaseUrl() const { return m_baseUrl; }
    const QString &XmlName() const { return m_xmlName; }
    bool BrowserMode() const { return m_browserMode; }
    const TAdParameter &Params() const { return m_params; }
    int PopupWidth() const { return m_popupWidth; }
    int PopupHeight() const { return m_popupHeight; }
    int Passes() const { return m_passes; }
    int AdIndex() const { return m_adIndex; }
    int UrlCount() const { return m_urlCount; }
    bool ListArrived() const { return m_listArrived; }
    bool Stopped() const { return m_stopped; }
    bool StartTimerActive() const;
    const TAdPlayThread &PlayThread() const { return *m_playThread; }
    // The advert on display, -1 before the first one.
    int DisplayedIndex() const { return m_displayedIndex; }

signals:
    // The list has arrived (or failed to) and the start steps after it ran.
    void ListLoaded();
    void AdvertShown(int index);

private:
    void listArrived(const TAdListLoad &load);

    TAdServices m_services;
    QUrl m_baseUrl;
    QString m_xmlName;
    bool m_browserMode = false;
    TAdParameter m_params;
    int m_popupWidth = 0;
    int m_popupHeight = 0;
    TAdTitleView *m_adLabel = nullptr;
    TAdBrowser *m_adBrowser = nullptr;
    TAdBrowser *m_counterBrowser = nullptr;
    int m_passes = 0;
    QTimer *m_startTimer = nullptr;
    std::unique_ptr<TAdPlayThread> m_playThread;
    int m_adIndex = 0;
    int m_urlCount = 0;
    int m_displayedIndex = -1;
    bool m_started = false;
    bool m_listArrived = false;
    bool m_stopped = false;

    std::atomic<bool> m_cancel{false};
    std::unique_ptr<QThread> m_loader;
};
