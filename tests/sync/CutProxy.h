#pragma once
// A loopback proxy in front of a server that cuts transfers part-way: on
// each connection, once the marker has passed in the chosen direction
// ("PUT /" going up, "HTTP/1.1 200 " coming down), it lets keep more bytes
// through and then closes both ends. Everything else passes untouched.

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class TCutProxy : public QObject {
    Q_OBJECT
public:
    enum class TDirection { Up, Down };
    TCutProxy(quint16 serverPort, TDirection direction, QByteArray marker, qint64 keep);

    // The server's address as seen through the proxy.
    QUrl Url(const QString &path) const;
    int Cuts() const { return m_cuts; }

private:
    void accept();

    QTcpServer m_listener;
    quint16 m_serverPort;
    TDirection m_direction;
    QByteArray m_marker;
    qint64 m_keep;
    int m_cuts = 0;
};
