#include "StoreProgress.h"

#include <QCoreApplication>

void TQuietProgress::ProcessPendingEvents()
{
    if (m_processEvents && QCoreApplication::instance())
        QCoreApplication::processEvents();
}

QString ErrorLineQuestion(int lineNumber)
{
    return QStringLiteral("导入的词库中第%1条有错误,是否略过继续执行导入?").arg(lineNumber);
}
