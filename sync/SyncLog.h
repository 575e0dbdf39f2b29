#pragma once
// Handled failures of a sync (a server that does not answer, a bad segment):
// warnings, on standard error by default; traces are debug lines, shown with
// QT_LOGGING_RULES="kivro.sync.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSync)
