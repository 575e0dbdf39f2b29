#pragma once
// Errors of the word database that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.store.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcStore)
