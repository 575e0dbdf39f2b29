#pragma once
// The application object: shows any exception that escapes an event handler
// instead of letting it cross Qt's event loop, and speaks Chinese in the
// standard dialogs.

#include <QApplication>

class TKivroApplication : public QApplication {
public:
    TKivroApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an error message the way the program shows every unexpected error.
void ShowGeneralError(const QString &message);

// Loads Qt's own Chinese texts so standard buttons read 是/否/确定/取消.
void InstallChineseTranslation(QCoreApplication &app);
