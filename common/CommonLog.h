#pragma once
// Errors of the settings file and the shared helpers that are handled where they
// happen: warnings, on standard error by default; traces are debug lines,
// shown with QT_LOGGING_RULES="kivro.common.debug=true".

#include <QLoggingCategory>

#include <QString>

// What the exception being handled says; call only inside a catch block.
QString CurrentExceptionText();

Q_DECLARE_LOGGING_CATEGORY(lcCommon)
