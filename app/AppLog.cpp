#include "AppLog.h"

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcApp, "kivro.app", QtWarningMsg)
