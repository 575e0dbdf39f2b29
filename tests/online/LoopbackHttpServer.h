#pragma once
// A small HTTP server on 127.0.0.1 for the tests: it answers from a script
// per path, on a thread of its own so that code waiting for an answer on the
// test's thread still gets one. Nothing it serves ever leaves the machine.

#include <memory>
#include <mutex>
#include <vector>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

struct TScripted {
    enum class Kind {
        Reply,  // status, headers and body
        Drop,   // promises the body, sends half of it and hangs up
        Hang,   // never answers
    };
    Kind What = Kind::Reply;
    int Status = 200;
    QByteArray ContentType = "text/html";
    QByteArray Body;
    int DelayMs = 0;

    static TScripted Page(QByteArray body, QByteArray type = "text/html")
    {
        TScripted s;
        s.Body = std::move(body);
        s.ContentType = std::move(type);
        return s;
    }
    static TScripted Status404()
    {
        TScripted s;
        s.Status = 404;
        s.Body = "not here";
        return s;
    }
    static TScripted Dropped(QByteArray body)
    {
        TScripted s;
        s.What = Kind::Drop;
        s.Body = std::move(body);
        return s;
    }
    static TScripted Hanging()
    {
        TScripted s;
        s.What = Kind::Hang;
        return s;
    }
};

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    // http://127.0.0.1:<port>/<path>
    QUrl Url(const QString &path) const;
    // Every request for the path gets this answer (paths without a leading '/').
    void Route(const QString &path, TScripted answer);
    // Answers in turn; the last one repeats.
    void RouteSequence(const QString &path, std::vector<TScripted> answers);
    // Requests for the path so far.
    int Hits(const QString &path) const;
    // Every requested path in order of arrival.
    QStringList Requests() const;

    // An address on 127.0.0.1 where nothing listens.
    static QUrl ClosedAddress(const QString &path = QStringLiteral("portal"));

    struct State;

private:
    class Worker;
    std::shared_ptr<State> m_state;
    std::unique_ptr<Worker> m_worker;
    quint16 m_port = 0;
};
