#pragma once
// The application object: shows any exception that escapes an event handler
// instead of letting it cross Qt's event loop, and speaks Chinese in the
// standard dialogs.

#include <functional>
#include <utility>

#include <QApplication>
#include <QString>

class TKivroApplication : public QApplication {
public:
    TKivroApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an error message the way the program shows every unexpected error.
void ShowGeneralError(const QString &message);

// The error boundary of a window's commands: runs one command and shows an
// exception it throws with the general error display, so that none unwinds
// through Qt's menu or button code. The player reads the command's name
// (the text of its menu item or button) and the cause: an EExplainedError's
// reason (a database failure in words), else that something unexpected went
// wrong; the exception's own text goes to the log. False when it threw.
bool RunCommand(const QString &command, const std::function<void()> &run);

// A slot for connect() that runs a command through RunCommand.
template <class Command>
auto Guarded(QString command, Command run)
{
    return [command = std::move(command), run = std::move(run)] { RunCommand(command, run); };
}

// The same for a member slot without arguments.
template <class Object>
auto Guarded(QString command, Object *object, void (Object::*slot)())
{
    return Guarded(std::move(command), [object, slot] { (object->*slot)(); });
}

// Loads Qt's own Chinese texts so standard buttons read 是/否/确定/取消.
void InstallChineseTranslation(QCoreApplication &app);
