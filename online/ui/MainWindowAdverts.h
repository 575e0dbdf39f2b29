#pragma once
// The main window's part in the adverts, kept apart from the window so it
// can be tested alone. It owns the Internet check, the two timers of the
// main window and the controller of the status-bar channel:
//   TimerInterCheck (1000 ms): once the computer is online, starts the
//     status-bar channel with the label labAd and the hidden pane wbAd,
//     loads the navigation portal into the hidden pane wbAd1, and stops;
//   TimerAd (10000 ms, once): shows the pop-up advert window when its
//     adverts have loaded.
// Create it when the main window is created (the timers count from then),
// call StartInternetCheck when the window is first shown, and destroy it
// before the label and the panes (it never owns them).

#include <memory>

#include <QObject>
#include <QPointer>

#include "AdInterface.h"
#include "InternetCheck.h"
#include "UrlOpener.h"

class QLabel;
class QTimer;
class TAdLabelLink;
class TBrowserPane;
class TFrmAd;

class TMainWindowAdverts : public QObject {
    Q_OBJECT
public:
    TMainWindowAdverts(QLabel *labAd, TBrowserPane *wbAd, TBrowserPane *wbAd1,
                       TOnlineFlag online = ProgramOnlineFlag(), TAdServices services = {},
                       TUrlOpener opener = ShellOpener(), QObject *parent = nullptr);
    // Ends the Internet check and the channel's threads and waits for them.
    ~TMainWindowAdverts() override;

    // The pop-up window TimerAd shows; never owned.
    void SetPopup(TFrmAd *popup);

    // Starts the Internet check thread (once).
    void StartInternetCheck();

    void TimerInterCheckTimer();
    void TimerAdTimer();

    QTimer *TimerInterCheck() const { return m_timerInterCheck; }
    QTimer *TimerAd() const { return m_timerAd; }
    // The status-bar channel's controller; none until online.
    TAdInterface *AdInterface() const { return m_adInterface.get(); }
    TAdLabelLink *LabelLink() const { return m_labelLink; }
    TInternetCheck *InternetCheck() const { return m_internetCheck.get(); }

private:
    TOnlineFlag m_online;
    TAdServices m_services;
    QPointer<TBrowserPane> m_wbAd;
    QPointer<TBrowserPane> m_wbAd1;
    QPointer<TFrmAd> m_popup;
    TAdLabelLink *m_labelLink;
    QTimer *m_timerInterCheck;
    QTimer *m_timerAd;
    std::unique_ptr<TInternetCheck> m_internetCheck;
    std::unique_ptr<TAdInterface> m_adInterface;
};
