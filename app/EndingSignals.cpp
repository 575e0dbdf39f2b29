#include "EndingSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWidget>

#include "ProgramEnd.h"

namespace {

// The handler may do almost nothing: it writes one byte into a pipe that the
// event loop watches. Both live as long as the process.
int g_pipe[2] = {-1, -1};
std::atomic_flag g_signalled = ATOMIC_FLAG_INIT;

extern "C" void onEndingSignal(int)
{
    if (g_signalled.test_and_set())
        return;  // a second signal during shutdown
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
    errno = saved;
}

bool installHandlers()
{
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
    return true;
}

// Dialogs that do not close on Esc hold the end up for this many steps (3 s):
// then the window is closed and every event loop left all the same.
constexpr int kMaxAttempts = 300;
constexpr int kStepMs = 10;

}  // namespace

TEndingSignals::TEndingSignals()
{
    if (!installHandlers())
        return;  // without a pipe the signals keep their default effect
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TEndingSignals::signalReceived);
    m_step.setInterval(kStepMs);
    connect(&m_step, &QTimer::timeout, this, &TEndingSignals::closeStep);
}

TEndingSignals::~TEndingSignals() = default;

void TEndingSignals::signalReceived()
{
    char byte = 0;
    while (read(g_pipe[0], &byte, 1) > 0) {
    }
    m_notifier->setEnabled(false);
    RequestProgramEnd();
    closeStep();
    m_step.start();
}

void TEndingSignals::closeStep()
{
    // Dialogs first, also those the window's closing shows (a refused
    // settings write); one that ignores Esc holds things up only so long.
    if (QWidget *popup = QApplication::activePopupWidget()) {
        popup->close();
        if (++m_attempts < kMaxAttempts)
            return;
    } else if (QWidget *modal = QApplication::activeModalWidget()) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(modal, &esc);
        if (++m_attempts < kMaxAttempts)
            return;
    }
    if (m_closing)
        return;  // re-entered from an event loop of the window's closing
    m_closing = true;
    if (m_window)
        m_window->close();
    m_step.stop();
    // Every loop, nested ones included: nothing waits for the player now.
    QCoreApplication::exit(0);
}
