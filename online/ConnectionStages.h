#pragma once
// The three stages of the Internet test, each replaceable so that tests
// choose its answer:
//   1. the system reports a connection: a non-loopback interface is up and
//      a default route leaves through one;
//   2. a forced check: an HTTP request to a portal answers in time;
//   3. the connected-state option: NetworkManager, asked over D-Bus, must not
//      say "disconnected"; when it cannot be asked the stage passes.
// Every stage may run on a worker thread; the cancel flag, when set, ends a
// stage early with "no".

#include <atomic>
#include <chrono>
#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

enum class TConnectedState { Connected, Disconnected, Unavailable };

struct TConnectionStages {
    std::function<bool()> SystemReportsConnection;
    std::function<bool(const QUrl &portal, std::chrono::milliseconds timeout,
                       const std::atomic<bool> *cancel)>
        PortalAnswers;
    std::function<TConnectedState(const std::atomic<bool> *cancel)> ConnectedStateOption;
};

// The stages of the running system. The connected state is asked on the
// system bus, or on the bus at dbusAddress when one is given.
TConnectionStages SystemConnectionStages(const QString &dbusAddress = {});

// Stage 1 on given data: the text of /proc/net/route and /proc/net/ipv6_route
// and the names of the interfaces that are up, running and not loopback.
bool RouteTablesShowConnection(const QByteArray &ipv4Routes, const QByteArray &ipv6Routes,
                               const QStringList &upInterfaces);

// NetworkManager's NMState value → the option's answer.
TConnectedState ConnectedStateFromNetworkManager(unsigned state);
