#include "CommonLog.h"

#include <exception>
#include <stdexcept>

// Warnings and above only, unless the logging rules ask for more.
Q_LOGGING_CATEGORY(lcCommon, "kivro.common", QtWarningMsg)

QString CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        // Called inside any catch (...), of any exception at all.
        return QStringLiteral("unknown exception");
    }
}
