#include "KivroApplication.h"

#include <exception>

#include <QLibraryInfo>
#include <QTranslator>

#include "CommonLog.h"
#include "MessageBoxes.h"

TKivroApplication::TKivroApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InstallChineseTranslation(*this);
}

namespace {

// Shows the exception being handled; call only inside a catch block.
void showCurrentException()
{
    try {
        throw;
    } catch (const std::exception &e) {
        qCDebug(lcCommon) << "shown to the player:" << e.what();
        ShowGeneralError(QString::fromUtf8(e.what()));
    } catch (...) {
        qCDebug(lcCommon) << "shown to the player: an unknown exception";
        ShowGeneralError(QStringLiteral("未知错误"));
    }
}

}  // namespace

bool TKivroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
    }
    return false;
}

bool RunCommand(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

void ShowGeneralError(const QString &message)
{
    // An error raised while the box for a previous one is open is shown too,
    // but a failure of the box itself must not escape either.
    try {
        ShowMessage(QApplication::activeWindow(), message, TMsgIcon::Exclamation);
    } catch (...) {
        qCDebug(lcCommon).noquote() << "the error box failed:" << CurrentExceptionText();
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
