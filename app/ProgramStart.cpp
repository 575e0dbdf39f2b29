#include "ProgramStart.h"

#include <cstdio>
#include <future>

#include <QLockFile>

#include "EndingSignals.h"
#include "Fonts.h"
#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "Settings.h"
#include "SkinManager.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

int ProgramMain(int argc, char **argv, const TProgramStartOptions &options)
{
    TKivroApplication app(argc, argv);
    InstallFontSubstitutions();
    ConfigFileName = "data/typeconfig.ini";
    TEndingSignals endingSignals;

    // One program per program folder: two would overwrite each other's
    // settings and recent list. Nothing is written before the lock is ours.
    // A lock whose program is gone (a crash, a kill) is taken over; age alone
    // never makes one stale. Where no lock file can be made (a read-only
    // folder) nothing can be overwritten either, and the program runs.
    QLockFile lock(QString::fromStdString(ProgramPath("data/kivrotype.lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        ShowMessage(nullptr, QStringLiteral("Kivro单词速打已经在运行。"), TMsgIcon::Information);
        return 0;
    }

    // Declared before the window, so it outlives everything that uses it.
    TDataInterface dataInterface;
    // Deriving the database cipher's key is deliberately slow and a good part
    // of the start-up: it runs on a thread of its own while the window is
    // built. Nothing touches the database until the connection is handed
    // over below (and should the window throw, the future's destructor
    // waits for the thread).
    std::future<bool> connected = std::async(std::launch::async,
                                             [&dataInterface] { return dataInterface.ConnectDatabase(); });
    TFrmType window;
    endingSignals.SetMainWindow(&window);

    if (!connected.get()) {
        // Without its books the game cannot run: say why, instead of
        // vanishing without a word.
        const QString message = dataInterface.ConnectFailureMessage();
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        ShowMessage(nullptr, message, TMsgIcon::Exclamation);
        return 1;
    }
    SetDataInterface(&dataInterface);
    ApplyDefaultSkin();

    window.CreateAdWindow();

    if (options.OnFirstFrame)
        window.SetFirstFrameHook(options.OnFirstFrame);
    window.show();
    return app.exec();
}
