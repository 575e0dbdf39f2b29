#include "BlockingHttp.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {

enum class TMode { Probe, Fetch };

constexpr int kPollMs = 25;

THttpOutcome run(const QUrl &url, TMode mode, std::chrono::milliseconds timeout,
                 const std::atomic<bool> *cancel, std::int64_t maxBytes, QIODevice *sink)
{
    THttpOutcome out;
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https")) {
        out.Error = QStringLiteral("not an HTTP address");
        return out;
    }
    if (cancel && cancel->load()) {
        out.Error = QStringLiteral("cancelled");
        return out;
    }

    QNetworkAccessManager net;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    std::unique_ptr<QNetworkReply> reply(net.get(request));

    QEventLoop loop;
    bool tooLarge = false;
    bool writeFailed = false;
    std::int64_t received = 0;

    auto statusArrived = [&] {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        if (mode == TMode::Probe && statusArrived()) {
            out.Answered = true;
            loop.quit();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        if (mode == TMode::Probe) {
            out.Answered = out.Answered || statusArrived();
            loop.quit();
            return;
        }
        const QByteArray chunk = reply->readAll();
        received += chunk.size();
        if (received > maxBytes) {
            tooLarge = true;
            reply->abort();
            return;
        }
        if (sink) {
            if (sink->write(chunk) != chunk.size()) {
                writeFailed = true;
                reply->abort();
            }
        } else {
            out.Body += chunk;
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);

    // The deadline covers the whole exchange; the transfer timeout above only
    // notices silence.
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if ((cancel && cancel->load()) || clock.elapsed() > timeout.count())
            reply->abort();
    });
    poll.start();

    if (!reply->isFinished())
        loop.exec();
    poll.stop();

    out.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.Answered = out.Answered || out.Status != 0;
    if (mode == TMode::Probe) {
        reply->abort();
        return out;
    }
    if (reply->isRunning())
        reply->abort();
    if (tooLarge) {
        out.Error = QStringLiteral("the answer is too large");
    } else if (writeFailed) {
        out.Error = QStringLiteral("the file cannot be written");
    } else if (reply->error() != QNetworkReply::NoError) {
        out.Error = reply->errorString();
    } else {
        // Read what arrived together with the end of the reply.
        const QByteArray rest = reply->readAll();
        received += rest.size();
        if (received > maxBytes) {
            out.Error = QStringLiteral("the answer is too large");
        } else if (sink && sink->write(rest) != rest.size()) {
            out.Error = QStringLiteral("the file cannot be written");
        } else {
            if (!sink)
                out.Body += rest;
            out.Ok = out.Status >= 200 && out.Status < 300;
            if (!out.Ok)
                out.Error = QStringLiteral("HTTP status %1").arg(out.Status);
        }
    }
    if (!out.Ok)
        out.Body.clear();
    return out;
}

}  // namespace

bool HttpAnswers(const QUrl &url, std::chrono::milliseconds timeout,
                 const std::atomic<bool> *cancel)
{
    return run(url, TMode::Probe, timeout, cancel, 0, nullptr).Answered;
}

THttpOutcome HttpGet(const QUrl &url, std::chrono::milliseconds timeout,
                     const std::atomic<bool> *cancel, std::int64_t maxBytes, QIODevice *sink)
{
    return run(url, TMode::Fetch, timeout, cancel, maxBytes, sink);
}
