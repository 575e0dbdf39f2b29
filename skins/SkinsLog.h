#pragma once
// Errors of the skins that are handled where they
// happen. Silent by default; QT_LOGGING_RULES="kivro.skins.debug=true"
// shows them on standard error.

#include <QLoggingCategory>

#include "CommonLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcSkins)
