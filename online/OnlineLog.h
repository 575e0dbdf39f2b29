#pragma once
// Errors of the adverts and the Internet check that are handled where they
// happen: warnings, on standard error by default; traces are debug lines,
// shown with QT_LOGGING_RULES="kivro.online.debug=true".

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcOnline)
