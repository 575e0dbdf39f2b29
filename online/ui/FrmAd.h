#pragma once
// The pop-up advert window: a small stay-on-top window without a title that
// holds one browser pane. It is created at program start, hidden. Once the
// computer is online its timer starts the pop-up advert channel; when the
// list has arrived the window takes its size from the list and moves to the
// bottom-right corner of the work area. The main window shows it once, ten
// seconds after start, if adverts were loaded. Closing it stops its
// rotation; it never keeps the program running.

#include <memory>

#include <QDialog>

#include "AdInterface.h"
#include "InternetCheck.h"
#include "UrlOpener.h"

class QFrame;
class QTimer;
class TBrowserPane;

class TFrmAd : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAd(QWidget *parent = nullptr, TOnlineFlag online = ProgramOnlineFlag(),
                    TAdServices services = {}, TUrlOpener opener = ShellOpener());
    // Frees the controller, which ends its threads, before the pane goes.
    ~TFrmAd() override;

    // The channel's controller; none until the computer was found online.
    TAdInterface *AdInterface() const { return m_adInterface.get(); }
    TBrowserPane *Pane() const { return m_wbAd; }
    QTimer *InterCheckTimer() const { return m_timerInterCheck; }

    // Once a second until online: starts the channel.
    void TimerInterCheckTimer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void stopRotation();
    void listLoaded();
    void placeAtWorkAreaCorner();

    TOnlineFlag m_online;
    TAdServices m_services;
    QFrame *m_panAd;
    TBrowserPane *m_wbAd;
    QTimer *m_timerInterCheck;
    std::unique_ptr<TAdInterface> m_adInterface;
};
