#include "SyncLog.h"

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcSync, "kivro.sync", QtWarningMsg)
