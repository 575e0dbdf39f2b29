#pragma once
// Collects the log lines of one category while it lives, with that
// category's debug output switched on through the logging rules, exactly as
// QT_LOGGING_RULES would; the rules and the message handler are restored
// at the end.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class LogCapture {
public:
    explicit LogCapture(const QString &category);
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    const QStringList &Lines() const;
    // The level of each line, in the same order.
    const QList<QtMsgType> &Types() const;
};
