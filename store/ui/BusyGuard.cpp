#include "BusyGuard.h"

TBusyGuard::TBusyGuard(bool &busy, const QList<QWidget *> &controls) : m_busy(busy)
{
    m_busy = true;
    for (QWidget *w : controls) {
        if (w && w->isEnabled()) {
            w->setEnabled(false);
            m_disabled << w;
        }
    }
}

TBusyGuard::~TBusyGuard()
{
    for (const QPointer<QWidget> &w : m_disabled) {
        if (w)
            w->setEnabled(true);
    }
    m_busy = false;
}
