#include "StudyProgressPlugin.h"

#include <QDir>
#include <QLibrary>

#include "AppLog.h"
#include "GbkText.h"
#include "Settings.h"

namespace {

QString &chosenPath()
{
    static QString path;
    return path;
}

}  // namespace

QString StudyProgressPluginPath()
{
    if (!chosenPath().isEmpty())
        return chosenPath();
    const QString file = QLatin1String(kStudyProgressPluginFile);
    const TProgramDirs dirs = GetProgramDirs();
    if (dirs.Portable())
        return Utf8ToQString(dirs.Installed) + QStringLiteral("lib/") + file;
    return QDir::cleanPath(Utf8ToQString(dirs.Installed) + QStringLiteral("../../lib/kivrotype/")
                           + file);
}

void SetStudyProgressPluginPath(const QString &path)
{
    chosenPath() = path;
}

std::unique_ptr<TStudyProgressWindow> MakeStudyProgressWindow(QWidget *parent)
{
    // Resolved once per file; the library is never unloaded (QLibrary's
    // destructor leaves it loaded), as Qt Charts does not survive that.
    static QString loadedPath;
    static TMakeStudyProgressWindow make = nullptr;
    const QString path = StudyProgressPluginPath();
    if (path != loadedPath || !make) {
        QLibrary library(path);
        // Every symbol now: one the program lacks fails the load, not a click later.
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        make = library.load() ? reinterpret_cast<TMakeStudyProgressWindow>(
                   library.resolve(kMakeStudyProgressWindow))
                              : nullptr;
        loadedPath = path;
        if (!make) {
            qCWarning(lcApp) << "the progress window's plugin did not load:"
                             << library.errorString();
            return nullptr;
        }
    }
    return std::unique_ptr<TStudyProgressWindow>(make(parent));
}
