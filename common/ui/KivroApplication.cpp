#include "KivroApplication.h"

#include <exception>

#include <QLibraryInfo>
#include <QTranslator>

#include "CommonLog.h"
#include "ExplainedError.h"
#include "MessageBoxes.h"

TKivroApplication::TKivroApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InstallChineseTranslation(*this);
}

namespace {

// Shows the exception being handled, for the command of that name (none
// for an event outside any command); call only inside a catch block.
void showCurrentException(const QString &command)
{
    QString reason = QStringLiteral("程序出现了意外的错误。");
    try {
        throw;
    } catch (const EExplainedError &e) {
        qCWarning(lcCommon).noquote() << command << "failed:" << e.what();
        reason = e.Reason();
    } catch (const std::exception &e) {
        qCWarning(lcCommon).noquote() << command << "failed:" << e.what();
    } catch (...) {
        // A command runs code of every library and of Qt: anything may come.
        qCWarning(lcCommon).noquote() << command << "failed: an exception of unknown type";
    }
    ShowGeneralError(command.isEmpty() ? reason
                                       : QStringLiteral("“%1”未能完成：%2").arg(command, reason));
}

}  // namespace

bool TKivroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The last net: whatever an event handler of any library throws.
        showCurrentException({});
    }
    return false;
}

bool RunCommand(const QString &command, const std::function<void()> &run)
{
    try {
        run();
        return true;
    } catch (...) {
        // Caught whole here and named in showCurrentException.
        showCurrentException(command);
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
        // The box runs the window system's code and whatever it calls.
        qCWarning(lcCommon).noquote() << "the error box failed:" << CurrentExceptionText();
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
