#include "LoopbackHttpServer.h"

#include <stdexcept>

#include <QHostAddress>
#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

struct LoopbackHttpServer::State {
    mutable std::mutex Mutex;
    QHash<QString, std::vector<TScripted>> Routes;
    QHash<QString, int> Hits;
    QStringList Requests;

    TScripted Next(const QString &path)
    {
        std::lock_guard lock(Mutex);
        Hits[path] += 1;
        Requests << path;
        auto found = Routes.find(path);
        if (found == Routes.end() || found->empty())
            return TScripted::Status404();
        TScripted answer = found->front();
        if (found->size() > 1)
            found->erase(found->begin());
        return answer;
    }
};

namespace {

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

void answer(QTcpSocket *socket, const TScripted &script)
{
    if (script.What == TScripted::Kind::Hang)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(script.Status) + ' '
                      + reasonFor(script.Status) + "\r\nContent-Type: " + script.ContentType
                      + "\r\nContent-Length: " + QByteArray::number(script.Body.size())
                      + "\r\nConnection: close\r\n\r\n";
    if (script.What == TScripted::Kind::Drop) {
        socket->write(head + script.Body.left(script.Body.size() / 2));
        socket->waitForBytesWritten(1000);
        socket->abort();
        return;
    }
    socket->write(head + script.Body);
    socket->disconnectFromHost();
}

}  // namespace

// Lives on the server thread; every socket is its child.
class LoopbackHttpServer::Worker : public QObject {
public:
    explicit Worker(std::shared_ptr<State> state) : m_state(std::move(state))
    {
        m_thread.setObjectName(QStringLiteral("loopback-http"));
        moveToThread(&m_thread);
        m_thread.start();
    }
    ~Worker() override
    {
        QMetaObject::invokeMethod(
            this, [this] { stopListening(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    quint16 Listen()
    {
        quint16 port = 0;
        QMetaObject::invokeMethod(
            this,
            [this, &port] {
                m_server = new QTcpServer(this);
                connect(m_server, &QTcpServer::newConnection, this, [this] { accept(); });
                if (m_server->listen(QHostAddress::LocalHost, 0))
                    port = m_server->serverPort();
            },
            Qt::BlockingQueuedConnection);
        return port;
    }

private:
    void stopListening()
    {
        const auto children = findChildren<QObject *>(Qt::FindDirectChildrenOnly);
        for (QObject *child : children)
            delete child;
        m_server = nullptr;
    }

    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            socket->setParent(this);
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0 || buffer->isEmpty())
                    return;
                const QList<QByteArray> requestLine =
                    buffer->left(buffer->indexOf("\r\n")).split(' ');
                buffer->clear();
                QString path =
                    requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
                if (path.startsWith(u'/'))
                    path.remove(0, 1);
                const TScripted script = m_state->Next(path);
                QPointer<QTcpSocket> guarded(socket);
                if (script.DelayMs > 0) {
                    QTimer::singleShot(script.DelayMs, this, [guarded, script] {
                        if (guarded)
                            answer(guarded, script);
                    });
                } else {
                    answer(socket, script);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    std::shared_ptr<State> m_state;
    QThread m_thread;
    QTcpServer *m_server = nullptr;
};

LoopbackHttpServer::LoopbackHttpServer()
    : m_state(std::make_shared<State>()), m_worker(std::make_unique<Worker>(m_state))
{
    m_port = m_worker->Listen();
    if (m_port == 0)
        throw std::runtime_error("the loopback server cannot listen");
}

LoopbackHttpServer::~LoopbackHttpServer() = default;

QUrl LoopbackHttpServer::Url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path));
}

void LoopbackHttpServer::Route(const QString &path, TScripted answer)
{
    RouteSequence(path, {std::move(answer)});
}

void LoopbackHttpServer::RouteSequence(const QString &path, std::vector<TScripted> answers)
{
    std::lock_guard lock(m_state->Mutex);
    m_state->Routes[path] = std::move(answers);
}

int LoopbackHttpServer::Hits(const QString &path) const
{
    std::lock_guard lock(m_state->Mutex);
    return m_state->Hits.value(path);
}

QStringList LoopbackHttpServer::Requests() const
{
    std::lock_guard lock(m_state->Mutex);
    return m_state->Requests;
}

QUrl LoopbackHttpServer::ClosedAddress(const QString &path)
{
    // Take a free port and give it back: nothing listens there afterwards.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path));
}
