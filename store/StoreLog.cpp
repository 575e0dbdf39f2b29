#include "StoreLog.h"

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcStore, "kivro.store", QtWarningMsg)
