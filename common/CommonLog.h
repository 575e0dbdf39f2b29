#pragma once
// Errors of the settings file and the shared helpers that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.common.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include <QString>

// What the exception being handled says; call only inside a catch block.
QString CurrentExceptionText();

Q_DECLARE_LOGGING_CATEGORY(lcCommon)
