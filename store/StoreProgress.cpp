#include "StoreProgress.h"

#include <QCoreApplication>

void TQuietProgress::ProcessPendingEvents()
{
    if (m_processEvents && QCoreApplication::instance())
        QCoreApplication::processEvents();
}
