#pragma once
// While a long store operation runs, pending events are processed after every
// row, so a second click could start a second operation on the same table.
// The guard disables the dialog's controls for its lifetime; the dialog also
// asks IsBusy() before closing (close box, Esc).

#include <QList>
#include <QPointer>
#include <QWidget>

class TBusyGuard {
public:
    TBusyGuard(bool &busy, const QList<QWidget *> &controls);
    ~TBusyGuard();
    TBusyGuard(const TBusyGuard &) = delete;
    TBusyGuard &operator=(const TBusyGuard &) = delete;

private:
    bool &m_busy;
    QList<QPointer<QWidget>> m_disabled;  // only those that were enabled before
};
