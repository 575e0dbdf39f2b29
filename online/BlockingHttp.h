#pragma once
// HTTP GET that waits for its answer. Only for worker threads: it runs a
// local event loop, which on the user-interface thread would let other
// events in while the caller is half way through its work. A set cancel
// flag aborts the request within a few tens of milliseconds.

#include <atomic>
#include <chrono>
#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QUrl>

class QIODevice;

struct THttpOutcome {
    bool Answered = false;  // an HTTP status line arrived (any status)
    bool Ok = false;        // the whole body arrived with a success status
    int Status = 0;
    QByteArray Body;  // only when no sink was given
    QString Error;
};

// True when the address answers with any HTTP status within the timeout.
// Stops reading as soon as the status arrives, so a large page costs nothing.
bool HttpAnswers(const QUrl &url, std::chrono::milliseconds timeout,
                 const std::atomic<bool> *cancel = nullptr);

// Fetches the whole body, into sink when given (written as it arrives),
// otherwise into the outcome's Body. A body above maxBytes fails.
THttpOutcome HttpGet(const QUrl &url, std::chrono::milliseconds timeout,
                     const std::atomic<bool> *cancel, std::int64_t maxBytes,
                     QIODevice *sink = nullptr);
