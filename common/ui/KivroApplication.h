#pragma once
// The application object: shows any exception that escapes an event handler
// instead of letting it cross Qt's event loop, and speaks Chinese in the
// standard dialogs.

#include <functional>
#include <utility>

#include <QApplication>

class TKivroApplication : public QApplication {
public:
    TKivroApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an error message the way the program shows every unexpected error.
void ShowGeneralError(const QString &message);

// The error boundary of a window's commands: runs one command and shows an
// exception it throws with the general error display, so that none unwinds
// through Qt's menu or button code. False when the command threw.
bool RunCommand(const std::function<void()> &command);

// A slot for connect() that runs command through RunCommand.
template <class Command>
auto Guarded(Command command)
{
    return [command = std::move(command)] { RunCommand(command); };
}

// The same for a member slot without arguments.
template <class Object>
auto Guarded(Object *object, void (Object::*slot)())
{
    return Guarded([object, slot] { (object->*slot)(); });
}

// Loads Qt's own Chinese texts so standard buttons read 是/否/确定/取消.
void InstallChineseTranslation(QCoreApplication &app);
