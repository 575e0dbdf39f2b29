#include "ProgramDirs.h"

#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "CommonLog.h"

namespace {

QString decoded(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool writableDir(const std::string &path)
{
    return QFileInfo(decoded(path)).isDir() && ::access(path.c_str(), W_OK | X_OK) == 0;
}

bool copyIfAbsent(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        return true;
    // Copied under a temporary name and renamed, so that a copy cut short is
    // never taken for the player's file at the next start.
    const QString partial = to + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QFile::copy(from, partial)) {
        qCWarning(lcCommon).noquote() << "copying" << from << "failed";
        return false;
    }
    // The installed copy is read-only; the player's must not be.
    QFile::setPermissions(partial,
                          QFile::permissions(partial) | QFile::ReadOwner | QFile::WriteOwner);
    if (!QFile::rename(partial, to)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

}  // namespace

TProgramDirs ResolveProgramDirs(const std::string &exeDir, const std::string &dataHome)
{
    if (writableDir(exeDir + "data"))
        return {exeDir, exeDir};
    // Relative to the executable, so that an unpacked package runs where it is.
    const QString installed =
        QDir::cleanPath(decoded(exeDir + "../share/kivrotype")) + QLatin1Char('/');
    return {dataHome + "kivrotype/", QFile::encodeName(installed).toStdString()};
}

bool SeedPlayerDir(const TProgramDirs &dirs)
{
    if (dirs.Portable())
        return true;
    const QString player = decoded(dirs.Player);
    bool ok = QDir().mkpath(player + QStringLiteral("data"))
              && QDir().mkpath(player + QStringLiteral("source/mp3"));
    const QString installedData = decoded(dirs.Installed) + QStringLiteral("data");
    QDirIterator files(installedData, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString relative = QDir(installedData).relativeFilePath(from);
        const QString to = player + QStringLiteral("data/") + relative;
        ok = QDir().mkpath(QFileInfo(to).path()) && copyIfAbsent(from, to) && ok;
    }
    return ok;
}
