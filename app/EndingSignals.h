#pragma once
// SIGTERM, SIGINT and SIGHUP (a desktop logout, Ctrl+C in a terminal) end the
// program the way "退出游戏" does: every open modal dialog and menu is closed
// as by Esc (an import that runs ends as on No), then the main window closes,
// which saves the game, and the event loop ends with status 0. Signals after
// the first are ignored, so a second Ctrl+C cannot cut the shutdown short.

#include <QObject>
#include <QPointer>
#include <QTimer>

class QSocketNotifier;
class QWidget;

class TEndingSignals : public QObject {
public:
    // Installs the handlers for the rest of the process: a signal that comes
    // while this object is already gone is ignored too.
    TEndingSignals();
    ~TEndingSignals() override;
    TEndingSignals(const TEndingSignals &) = delete;
    TEndingSignals &operator=(const TEndingSignals &) = delete;

    // The window closed once the dialogs are gone; none: the loop just ends.
    void SetMainWindow(QWidget *window) { m_window = window; }

private:
    void signalReceived();
    void closeStep();

    QSocketNotifier *m_notifier = nullptr;
    QPointer<QWidget> m_window;
    QTimer m_step;
    int m_attempts = 0;
    bool m_closing = false;
};
