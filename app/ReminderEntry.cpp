#include "ReminderEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "AppLog.h"
#include "ProgramDirs.h"
#include "Settings.h"

namespace {

QString &givenDataDir()
{
    static QString dir;
    return dir;
}

// One argument of Exec, always quoted: inside the quotes '"', '`', '$' and
// '\' take a backslash, and a field code's '%' is doubled.
QString execArgument(const QString &argument)
{
    QString quoted;
    quoted.reserve(argument.size() + 2);
    quoted += u'"';
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%';
    }
    quoted += u'"';
    return quoted;
}

// A value of the entry's string type: a backslash is written as two.
QString entryValue(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    return escaped;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

QString withoutTrailingSlash(const std::string &dir)
{
    return QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(dir)));
}

}  // namespace

QString ReminderEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/org.example.kivrotype-remind.desktop");
}

QString ReminderEntryText(const TReminderLaunch &launch)
{
    if (launch.Program.isEmpty() || hasLineBreak(launch.Program) || hasLineBreak(launch.DataDir)
        || hasLineBreak(launch.WorkingDir))
        return {};
    QString exec = execArgument(launch.Program) + QStringLiteral(" --remind");
    if (!launch.DataDir.isEmpty())
        exec += QStringLiteral(" --data-dir ") + execArgument(launch.DataDir);
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Kivro单词速打复习提醒\n"
                                  "Comment=登录时提醒今天需要复习的单词\n"
                                  "Icon=org.example.kivrotype\n"
                                  "Terminal=false\n"
                                  "NoDisplay=true\n");
    text += QStringLiteral("Exec=") + entryValue(exec) + u'\n';
    if (!launch.WorkingDir.isEmpty())
        text += QStringLiteral("Path=") + entryValue(launch.WorkingDir) + u'\n';
    return text;
}

void SetReminderDataDir(const QString &dir)
{
    givenDataDir() = dir;
}

TReminderLaunch ThisProgramsReminder()
{
    TReminderLaunch launch;
    launch.Program = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
    launch.DataDir = givenDataDir();
    const TProgramDirs dirs = GetProgramDirs();
    if (dirs.Portable())
        launch.WorkingDir = withoutTrailingSlash(dirs.Player);
    return launch;
}

bool WriteReminderEntry(const TReminderLaunch &launch)
{
    const QString path = ReminderEntryPath();
    const QString text = ReminderEntryText(launch);
    if (text.isEmpty()) {
        qCWarning(lcApp).noquote() << "no autostart entry can start" << launch.Program;
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        qCWarning(lcApp).noquote() << "the autostart folder of" << path << "cannot be made";
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        qCWarning(lcApp).noquote() << "writing" << path << "failed:" << file.errorString();
        return false;
    }
    return true;
}

bool RemoveReminderEntry()
{
    const QString path = ReminderEntryPath();
    if (!QFileInfo::exists(path) || QFile::remove(path))
        return true;
    qCWarning(lcApp).noquote() << "removing" << path << "failed";
    return false;
}
