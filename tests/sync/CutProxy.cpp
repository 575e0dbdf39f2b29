#include "CutProxy.h"

#include <memory>
#include <stdexcept>

#include <QTcpSocket>

namespace {

// One direction of one connection: what has passed, and where it is cut.
struct TFlow {
    QByteArray Seen;
    qint64 CutAt = -1;  // bytes of the stream let through; -1: not yet known
    qint64 Passed = 0;
};

}  // namespace

TCutProxy::TCutProxy(quint16 serverPort, TDirection direction, QByteArray marker, qint64 keep)
    : m_serverPort(serverPort), m_direction(direction), m_marker(std::move(marker)), m_keep(keep)
{
    if (!m_listener.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("the proxy does not listen");
    connect(&m_listener, &QTcpServer::newConnection, this, &TCutProxy::accept);
}

QUrl TCutProxy::Url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_listener.serverPort()).arg(path));
}

void TCutProxy::accept()
{
    while (QTcpSocket *client = m_listener.nextPendingConnection()) {
        auto *server = new QTcpSocket(client);
        auto flow = std::make_shared<TFlow>();
        const auto close = [client, server] {
            server->abort();
            client->abort();
            client->deleteLater();
        };
        // Passes what arrived on from to to, cutting the watched direction.
        const auto pass = [this, flow, close](QTcpSocket *from, QTcpSocket *to, bool watched) {
            QByteArray bytes = from->readAll();
            if (watched) {
                if (flow->CutAt < 0) {
                    flow->Seen += bytes;
                    const qsizetype at = flow->Seen.indexOf(m_marker);
                    if (at >= 0)
                        flow->CutAt = at + m_marker.size() + m_keep;
                }
                if (flow->CutAt >= 0 && flow->Passed + bytes.size() >= flow->CutAt) {
                    to->write(bytes.left(flow->CutAt - flow->Passed));
                    to->flush();
                    ++m_cuts;
                    close();
                    return;
                }
                flow->Passed += bytes.size();
            }
            to->write(bytes);
        };
        const bool up = m_direction == TDirection::Up;
        connect(client, &QTcpSocket::readyRead, server,
                [pass, client, server, up] { pass(client, server, up); });
        connect(server, &QTcpSocket::readyRead, client,
                [pass, client, server, up] { pass(server, client, !up); });
        connect(client, &QTcpSocket::disconnected, server, close);
        connect(server, &QTcpSocket::disconnected, client, close);
        server->connectToHost(QHostAddress::LocalHost, m_serverPort);
        // What the client sends before the server's end is up waits in its buffer.
        connect(server, &QTcpSocket::connected, client,
                [pass, client, server, up] { pass(client, server, up); });
    }
}
