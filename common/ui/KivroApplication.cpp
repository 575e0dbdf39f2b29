#include "KivroApplication.h"

#include <exception>

#include <QLibraryInfo>
#include <QTranslator>

#include "MessageBoxes.h"

TKivroApplication::TKivroApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InstallChineseTranslation(*this);
}

bool TKivroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowGeneralError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowGeneralError(QStringLiteral("未知错误"));
    }
    return false;
}

void ShowGeneralError(const QString &message)
{
    // An error raised while the box for a previous one is open is shown too,
    // but a failure of the box itself must not escape either.
    try {
        ShowMessage(QApplication::activeWindow(), message, TMsgIcon::Exclamation);
    } catch (...) {
    }
}

void InstallChineseTranslation(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
