#include "MusicFolder.h"

#include <algorithm>
#include <filesystem>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "GbkText.h"
#include "Settings.h"

namespace {

QString decoded(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The player's folder first; one folder in a portable program.
QStringList musicFolders()
{
    QStringList folders{decoded(MusicFolderPath())};
    const QString installed = decoded(InstalledMusicFolderPath());
    if (installed != folders.front())
        folders.append(installed);
    return folders;
}

bool lessByName(const QString &a, const QString &b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QStringList musicFiles(const QString &folder)
{
    QStringList files =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(files.begin(), files.end(), lessByName);
    return files;
}

bool storable(const QString &name)
{
    return GbkToQStringStrict(QStringToGbk(name)) == name;
}

}  // namespace

QString DefaultMusicName()
{
    return QStringLiteral("默认背景音乐");
}

std::string MusicFolderPath()
{
    return ProgramPath("source/mp3/");
}

std::string InstalledMusicFolderPath()
{
    return InstalledPath("source/mp3/");
}

QStringList ListMusicNames()
{
    QStringList files;
    for (const QString &folder : musicFolders()) {
        if (QFileInfo(folder).isDir())
            files += musicFiles(folder);
    }
    std::stable_sort(files.begin(), files.end(), lessByName);

    QStringList names;
    bool haveDefault = false;
    for (const QString &file : files) {
        if (!file.contains(QStringLiteral(".mp3")))
            continue;
        const QString name = QFileInfo(file).completeBaseName();
        // A piece in both folders is one piece: the player's copy plays.
        if (name.isEmpty() || !storable(name) || names.contains(name))
            continue;
        if (name == DefaultMusicName() && !haveDefault) {
            names.prepend(name);
            haveDefault = true;
        } else {
            names.append(name);
        }
    }
    return names;
}

std::string ResolveMusicFile(const std::string &gbkName)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const QString wanted = GbkToQString(gbkName) + QStringLiteral(".mp3");
    for (const QString &folder : musicFolders()) {
        std::string exact = QFile::encodeName(folder).toStdString() + GbkToUtf8(gbkName) + ".mp3";
        if (fs::is_regular_file(exact, error))
            return exact;
        for (const QString &file : musicFiles(folder)) {
            if (file.compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            std::string path = QFile::encodeName(folder + file).toStdString();
            if (fs::is_regular_file(path, error))
                return path;
        }
    }
    return {};
}

TMusicAddResult AddMusicFile(const QString &sourcePath, QString &name)
{
    const QFileInfo source(sourcePath);
    if (!source.isFile())
        return TMusicAddResult::NotFound;
    const QString folder = decoded(MusicFolderPath());
    if (!QDir().mkpath(folder))
        return TMusicAddResult::Failed;
    const QString target = folder + source.fileName().toLower();

    // Adding a file that is already the folder's copy: nothing to copy, and
    // replacing it would destroy it.
    const QFileInfo targetInfo(target);
    const bool same =
        targetInfo.exists() && targetInfo.canonicalFilePath() == source.canonicalFilePath();
    if (!same) {
        QFile in(source.absoluteFilePath());
        QSaveFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return TMusicAddResult::Failed;
        QByteArray chunk;
        while (!(chunk = in.read(1 << 16)).isEmpty()) {
            if (out.write(chunk) != chunk.size()) {
                out.cancelWriting();
                break;
            }
        }
        if (in.error() != QFileDevice::NoError)
            out.cancelWriting();
        if (!out.commit())
            return TMusicAddResult::Failed;
    }
    name = source.completeBaseName();
    return TMusicAddResult::Added;
}
