#pragma once
// Waiting for something not to happen without waiting a fixed time: a marker
// is queued to this thread after the moment from which nothing may happen.
// Queued calls and events of one thread are delivered in the order they were
// posted, so once the marker has arrived, every tick, advert or late call
// posted before it has been delivered too and had its chance to do harm.

#include <QMetaObject>
#include <QObject>
#include <QtCore/qtestsupport_core.h>

// True once the marker arrived (false only when the event loop is stuck).
inline bool DeliverEverythingQueuedSoFar(int timeoutMs = 5000)
{
    QObject marker;
    bool arrived = false;
    QMetaObject::invokeMethod(
        &marker, [&arrived] { arrived = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&arrived] { return arrived; }, timeoutMs);
}
