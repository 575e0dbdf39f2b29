#pragma once
// Errors of the main window and its commands that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.app.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcApp)
