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

// A folder as the player reads it: no trailing '/'.
QString shown(const std::string &dir)
{
    return QDir::cleanPath(decoded(dir));
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

QString PreparePlayerDir(const TProgramDirs &dirs, const std::string &exeDir)
{
    const QString notWritable = QStringLiteral("玩家文件夹不可写：");
    if (dirs.Portable()) {
        if (!writableDir(dirs.Player + "data"))
            return notWritable + shown(dirs.Player + "data");
        return {};
    }
    // A data/ beside the executable and none installed: a portable folder
    // that cannot be written, not an installation.
    const std::string exeData = exeDir + "data";
    if (!exeDir.empty() && QFileInfo(decoded(exeData)).isDir()
        && !QFileInfo(decoded(dirs.Installed + "data")).isDir())
        return notWritable + shown(exeData);
    // The deepest folder that exists decides which message applies.
    for (const std::string &dir : {dirs.Player, dirs.Player + "data"}) {
        if (!QFileInfo(decoded(dir)).isDir() && !QDir().mkpath(decoded(dir))) {
            qCWarning(lcCommon) << "cannot make the player's folder" << decoded(dir);
            return QStringLiteral("无法创建玩家文件夹：") + shown(dir);
        }
        if (!writableDir(dir)) {
            qCWarning(lcCommon) << "the player's folder is not writable:" << decoded(dir);
            return notWritable + shown(dir);
        }
    }
    return {};
}
