#include "LogCapture.h"

#include <QLoggingCategory>
#include <QtGlobal>

namespace {

QString &capturedCategory()
{
    static QString category;
    return category;
}

QStringList &capturedLines()
{
    static QStringList lines;
    return lines;
}

QList<QtMsgType> &capturedTypes()
{
    static QList<QtMsgType> types;
    return types;
}

QtMessageHandler &previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && capturedCategory() == QLatin1String(context.category)) {
        capturedLines().append(message);
        capturedTypes().append(type);
        return;
    }
    if (previousHandler())
        previousHandler()(type, context, message);
}

}  // namespace

LogCapture::LogCapture(const QString &category)
{
    capturedCategory() = category;
    capturedLines().clear();
    capturedTypes().clear();
    previousHandler() = qInstallMessageHandler(capture);
    QLoggingCategory::setFilterRules(category + QStringLiteral(".debug=true"));
}

LogCapture::~LogCapture()
{
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previousHandler());
    capturedCategory().clear();
}

const QStringList &LogCapture::Lines() const
{
    return capturedLines();
}

const QList<QtMsgType> &LogCapture::Types() const
{
    return capturedTypes();
}
