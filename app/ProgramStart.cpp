#include "ProgramStart.h"

#include <cstdio>
#include <future>

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QAction>
#include <QLockFile>

#include "AppLog.h"
#include "CommandLine.h"
#include "ComputerIdentity.h"
#include "EndingSignals.h"
#include "Fonts.h"
#include "IniFile.h"
#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ProgramDirs.h"
#include "ReminderEntry.h"
#include "ReviewReminder.h"
#include "Settings.h"
#include "SkinManager.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UImpExpLib.h"
#include "UTypeGameType.h"

namespace {

// Books shipped with a newer installation reach the player's database; the
// player's own books, copies and scores stay as they are.
void addShippedBooks()
{
    const TIniFile installed(InstalledPath(ConfigFileName));
    const std::string data = installed.ReadString(kSystemSection, Setting::Data.Name(), "");
    if (data.empty())
        return;
    const bool scrambled = installed.ReadInteger(kSystemSection, Setting::Encrypt.Name(), 0) == 1;
    const int added = AddShippedBooks(InstalledPath("data/" + data + ".mdb"), scrambled);
    qCDebug(lcApp) << "shipped books added:" << added;
}

// A folder copied from another computer or place gets an id of its own
// before it writes a row that travels; the game plays on when that fails.
void ensureComputerIdentity(TDataInterface &dataInterface)
{
    try {
        EnsureComputerIdentity(dataInterface.Connection(), ReadMachineId(),
                               DatabaseFolderOf(dataInterface.FilePath()));
    } catch (const EDatabaseError &e) {
        qCWarning(lcApp) << "the computer's identity could not be checked:" << e.what();
    }
}

// --data-dir: the player's files in the folder given, the installed ones
// where they are. False when the folder cannot be made.
bool usePlayerDir(const QString &dir)
{
    const QString absolute = QDir(dir).absolutePath();
    if (!QDir().mkpath(absolute + QStringLiteral("/data"))) {
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("无法使用文件夹 %1。").arg(absolute).toLocal8Bit().constData());
        return false;
    }
    SetProgramDirs({QFile::encodeName(absolute).toStdString(), GetProgramDirs().Installed});
    SetReminderDataDir(absolute);
    return true;
}

// The game's own arguments for the reminder's "开始复习": the same player's
// folder, on 今日复习.
QStringList reviewArguments(const TCommandLine &commandLine)
{
    QStringList arguments{QStringLiteral("--review")};
    if (!commandLine.DataDir.isEmpty())
        arguments << QStringLiteral("--data-dir") << QDir(commandLine.DataDir).absolutePath();
    return arguments;
}

// While the reminder is on, its autostart entry names this executable as it
// runs now; a failure leaves the game as it is.
void keepReminderEntry()
{
    try {
        if (ReadSysInteger(Setting::RemindDaily) == 1)
            WriteReminderEntry(ThisProgramsReminder());
    } catch (const std::exception &e) {
        qCWarning(lcApp) << "the reminder's autostart entry was not kept:" << e.what();
    }
}

}  // namespace

int ProgramMain(int argc, char **argv, const TProgramStartOptions &options)
{
    // Before the application object: answering --help needs no display.
    const TCommandLine commandLine = ParseCommandLine(CommandLineArguments(argc, argv));
    if (commandLine.Action == TCommandLine::TAction::Remind) {
        // The player's folder as it is: the reminder makes and writes nothing.
        if (!commandLine.DataDir.isEmpty())
            SetProgramDirs(
                {QFile::encodeName(QDir(commandLine.DataDir).absolutePath()).toStdString(),
                 GetProgramDirs().Installed});
        ConfigFileName = "data/typeconfig.ini";
        return RunReviewReminder(argc, argv, reviewArguments(commandLine));
    }
    if (commandLine.Action != TCommandLine::TAction::Run)
        return AnswerCommandLine(commandLine);
    if (!commandLine.DataDir.isEmpty() && !usePlayerDir(commandLine.DataDir))
        return 1;

    TKivroApplication app(argc, argv);
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.kivrotype"));
    // The installed icon, for window managers that take it from the window;
    // where none is installed the window keeps the toolkit's.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.kivrotype")));
    InstallFontSubstitutions();
    ConfigFileName = "data/typeconfig.ini";
    TEndingSignals endingSignals;

    // An installed program keeps the player's files in a folder of their own,
    // which the lock below needs before anything else. A folder that cannot
    // be made or written ends the program here, before anything is written.
    const TProgramDirs dirs = GetProgramDirs();
    const QString unusable = PreparePlayerDir(
        dirs,
        QFile::encodeName(QCoreApplication::applicationDirPath() + QLatin1Char('/')).toStdString());
    if (!unusable.isEmpty()) {
        std::fprintf(stderr, "%s\n", unusable.toUtf8().constData());
        ShowMessage(nullptr, unusable, TMsgIcon::Exclamation);
        return 1;
    }

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
    // Under the lock, so that two first starts do not copy over each other.
    if (!dirs.Portable() && !SeedPlayerDir(dirs))
        qCWarning(lcApp) << "the player's folder could not be filled completely";
    keepReminderEntry();

    // Declared before the window, so it outlives everything that uses it.
    TDataInterface dataInterface;
    // Deriving the database cipher's key is deliberately slow and a good part
    // of the start-up: it runs on a thread of its own while the window is
    // built. Nothing touches the database until the connection is handed
    // over below (and should the window throw, the future's destructor
    // waits for the thread).
    std::future<bool> connected = std::async(std::launch::async, [&dataInterface] {
        if (!dataInterface.ConnectDatabase())
            return false;
        ensureComputerIdentity(dataInterface);
        return true;
    });
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
    if (!dirs.Portable())
        addShippedBooks();
    ApplyDefaultSkin();

    window.CreateAdWindow();

    if (options.OnFirstFrame || commandLine.Review) {
        window.SetFirstFrameHook([&options, review = commandLine.Review](TFrmType &shown) {
            // As if chosen from the menu: the command's own error boundary,
            // its notice when nothing is due.
            if (auto *item = shown.findChild<QAction *>(QStringLiteral("nReview")); item && review)
                item->trigger();
            if (options.OnFirstFrame)
                options.OnFirstFrame(shown);
        });
    }
    window.show();
    return app.exec();
}
