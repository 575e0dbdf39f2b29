#include "FlowLog.h"

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcFlow, "kivro.flow", QtWarningMsg)
