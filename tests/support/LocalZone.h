#pragma once
// The process's local time zone for one test, and back after it.

#include <ctime>
#include <optional>

#include <QByteArray>
#include <QtGlobal>

class TLocalZone {
public:
    // Qt's environment calls are locked against each other.
    explicit TLocalZone(const char *zone)
    {
        if (qEnvironmentVariableIsSet("TZ"))
            m_old = qgetenv("TZ");
        qputenv("TZ", zone);
        ::tzset();
    }
    ~TLocalZone()
    {
        if (m_old)
            qputenv("TZ", *m_old);
        else
            qunsetenv("TZ");
        ::tzset();
    }
    TLocalZone(const TLocalZone &) = delete;
    TLocalZone &operator=(const TLocalZone &) = delete;

private:
    std::optional<QByteArray> m_old;
};
