#include "ConnectionStages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QNetworkInterface>
#include <QTimer>

#include "BlockingHttp.h"

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // /proc files report size 0, so read until the end rather than by size.
    return file.readAll();
}

QStringList upInterfaceNames()
{
    QStringList names;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning)
            && !flags.testFlag(QNetworkInterface::IsLoopBack))
            names << i.name();
    }
    return names;
}

QList<QByteArray> fields(const QByteArray &line)
{
    return line.simplified().split(' ');
}

// "Iface Destination Gateway Flags RefCnt Use Metric Mask ..."; a default
// route has destination and mask 0 and the RTF_UP flag.
bool ipv4DefaultRoute(const QByteArray &table, const QStringList &up)
{
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QList<QByteArray> f = fields(lines[n]);
        if (f.size() < 8)
            continue;
        bool ok = false;
        const unsigned flags = f[3].toUInt(&ok, 16);
        if (!ok || (flags & 0x1u) == 0)
            continue;
        if (f[1] == "00000000" && f[7] == "00000000" && up.contains(QString::fromLatin1(f[0])))
            return true;
    }
    return false;
}

// "dest prefixlen src srcprefixlen nexthop metric refcnt use flags iface",
// no header line.
bool ipv6DefaultRoute(const QByteArray &table, const QStringList &up)
{
    const QByteArray zero(32, '0');
    const QList<QByteArray> lines = table.split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = fields(line);
        if (f.size() < 10)
            continue;
        bool ok = false;
        const unsigned flags = f[8].toUInt(&ok, 16);
        if (!ok || (flags & 0x1u) == 0)
            continue;
        if (f[0] == zero && f[1] == "00" && up.contains(QString::fromLatin1(f[9])))
            return true;
    }
    return false;
}

bool systemReportsConnection()
{
    const QStringList up = upInterfaceNames();
    if (up.isEmpty())
        return false;
    return RouteTablesShowConnection(readProcFile(QStringLiteral("/proc/net/route")),
                                     readProcFile(QStringLiteral("/proc/net/ipv6_route")), up);
}

constexpr int kDBusTimeoutMs = 2000;
constexpr int kPollMs = 25;

TConnectedState askNetworkManager(const QString &dbusAddress, const std::atomic<bool> *cancel)
{
    // A connection of our own per question: QDBusConnection objects are
    // shared per name, and the check and the advert loader ask from
    // different threads.
    static std::atomic<unsigned> serial{0};
    const QString name = QStringLiteral("kivro-connected-state-%1").arg(serial.fetch_add(1));
    QDBusConnection bus = dbusAddress.isEmpty()
                              ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, name)
                              : QDBusConnection::connectToBus(dbusAddress, name);
    TConnectedState answer = TConnectedState::Unavailable;
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.NetworkManager"),
            QStringLiteral("/org/freedesktop/NetworkManager"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        call << QStringLiteral("org.freedesktop.NetworkManager") << QStringLiteral("State");
        QDBusPendingCall pending = bus.asyncCall(call, kDBusTimeoutMs);
        QEventLoop loop;
        QDBusPendingCallWatcher watcher(pending);
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (cancel && cancel->load())
                loop.quit();
        });
        poll.start(kPollMs);
        if (!watcher.isFinished())
            loop.exec();
        if (watcher.isFinished() && !watcher.isError()) {
            const QDBusMessage reply = watcher.reply();
            if (!reply.arguments().isEmpty()) {
                const QVariant value =
                    reply.arguments().constFirst().value<QDBusVariant>().variant();
                bool ok = false;
                const unsigned state = value.toUInt(&ok);
                if (ok)
                    answer = ConnectedStateFromNetworkManager(state);
            }
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return answer;
}

}  // namespace

bool RouteTablesShowConnection(const QByteArray &ipv4Routes, const QByteArray &ipv6Routes,
                               const QStringList &upInterfaces)
{
    return ipv4DefaultRoute(ipv4Routes, upInterfaces) || ipv6DefaultRoute(ipv6Routes, upInterfaces);
}

TConnectedState ConnectedStateFromNetworkManager(unsigned state)
{
    // NM_STATE_ASLEEP (10) and NM_STATE_DISCONNECTED (20) say there is no
    // connection; NM_STATE_UNKNOWN (0) says nothing.
    switch (state) {
    case 10:
    case 20:
        return TConnectedState::Disconnected;
    case 0:
        return TConnectedState::Unavailable;
    default:
        return TConnectedState::Connected;
    }
}

TConnectionStages SystemConnectionStages(const QString &dbusAddress)
{
    TConnectionStages stages;
    stages.SystemReportsConnection = systemReportsConnection;
    stages.PortalAnswers = [](const QUrl &portal, std::chrono::milliseconds timeout,
                              const std::atomic<bool> *cancel) {
        return HttpAnswers(portal, timeout, cancel);
    };
    stages.ConnectedStateOption = [dbusAddress](const std::atomic<bool> *cancel) {
        return askNetworkManager(dbusAddress, cancel);
    };
    return stages;
}
