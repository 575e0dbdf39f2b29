#include "KeyForwarder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "DetectableAutoRepeat.h"

TKeyForwarder::TKeyForwarder(QWidget *target, Sink sink, QObject *parent)
    : QObject(parent), m_target(target), m_sink(std::move(sink))
{
    // Without it, X11 sends a held key's repeats as release/press pairs that
    // are not always marked as repeats, and each would type a letter.
    UseDetectableAutoRepeat();
    qApp->installEventFilter(this);
}

TKeyForwarder::~TKeyForwarder()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TKeyForwarder::eventFilter(QObject *watched, QEvent *event)
{
    // An unaccepted key event is offered again to each parent of the focus
    // widget; only its delivery to the panel itself counts, so a letter is
    // never typed twice.
    if (event->type() == QEvent::KeyRelease && m_target && watched == m_target
        && m_target->hasFocus()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Auto-repeat sends press/release pairs while a key is held; only the
        // physical release counts. Alt combinations are menu keys.
        if (!key->isAutoRepeat() && !(key->modifiers() & Qt::AltModifier) && m_sink)
            m_sink(*key);
    }
    return false;
}

bool CapsLockOn(const QKeyEvent &event)
{
    constexpr quint32 kX11LockMask = 0x2;
    return (event.nativeModifiers() & kX11LockMask) != 0;
}
