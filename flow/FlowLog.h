#pragma once
// Errors of the game flow and the recent list that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.flow.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcFlow)
