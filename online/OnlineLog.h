#pragma once
// Errors of the adverts and the Internet check that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.online.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcOnline)
