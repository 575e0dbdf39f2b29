#include "BoardLog.h"

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcBoard, "kivro.board", QtWarningMsg)
