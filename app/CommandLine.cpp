#include "CommandLine.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QFile>

namespace {

const QString kProgramName = QStringLiteral("kivrotype");

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

QString ProgramVersion()
{
    return QStringLiteral(KIVRO_VERSION);
}

TCommandLine ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kivro单词速打：边打字边记英语单词的游戏。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示这些选项的说明，然后退出。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("显示程序的版本，然后退出。"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("把玩家的文件（设置、课本、成绩、最近关卡、添加的音乐）放在文件夹 DIR "
                       "里，而不是通常的文件夹；文件夹不存在时会新建。"),
        QStringLiteral("DIR"));
    const QCommandLineOption remind(
        QStringLiteral("remind"),
        QStringLiteral(
            "不打开窗口：今天有需要复习的单词时显示一条桌面通知，点“开始复习”开始今日复习。"));
    const QCommandLineOption review(QStringLiteral("review"),
                                    QStringLiteral("开始游戏后直接开始今日复习。"));
    parser.addOptions({help, version, dataDir, remind, review});

    TCommandLine result;
    const bool parsed = parser.parse(arguments);
    // Without an application object the usage line does not know the
    // program's name: it is always this one.
    QString usage = parser.helpText();
    usage.replace(0, usage.indexOf(u'\n'), QStringLiteral("Usage: %1 [options]").arg(kProgramName));
    if (!parsed) {
        result.Action = TCommandLine::TAction::Error;
        const QStringList unknown = parser.unknownOptionNames();
        const QString what =
            unknown.isEmpty()
                ? parser.errorText()
                : QStringLiteral("未知的选项：%1").arg(unknown.join(QStringLiteral(", ")));
        result.Text = kProgramName + QStringLiteral(": ") + what + QStringLiteral("\n\n") + usage;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.Action = TCommandLine::TAction::Error;
        result.Text = kProgramName + QStringLiteral(": 多余的参数：")
                      + parser.positionalArguments().join(u' ') + QStringLiteral("\n\n") + usage;
        return result;
    }
    if (parser.isSet(help)) {
        result.Action = TCommandLine::TAction::Help;
        result.Text = usage;
        return result;
    }
    if (parser.isSet(version)) {
        result.Action = TCommandLine::TAction::Version;
        result.Text = kProgramName + u' ' + ProgramVersion() + u'\n';
        return result;
    }
    result.DataDir = parser.value(dataDir);
    if (parser.isSet(dataDir) && result.DataDir.isEmpty()) {
        result.Action = TCommandLine::TAction::Error;
        result.Text = kProgramName + QStringLiteral(": --data-dir 需要一个文件夹\n\n") + usage;
        return result;
    }
    if (parser.isSet(remind) && parser.isSet(review)) {
        result.Action = TCommandLine::TAction::Error;
        result.Text =
            kProgramName + QStringLiteral(": --remind 和 --review 不能一起用\n\n") + usage;
        return result;
    }
    if (parser.isSet(remind))
        result.Action = TCommandLine::TAction::Remind;
    result.Review = parser.isSet(review);
    return result;
}

QStringList CommandLineArguments(int argc, char **argv)
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

int AnswerCommandLine(const TCommandLine &commandLine)
{
    switch (commandLine.Action) {
    case TCommandLine::TAction::Help:
    case TCommandLine::TAction::Version:
        print(stdout, commandLine.Text);
        return 0;
    case TCommandLine::TAction::Error:
        print(stderr, commandLine.Text);
        return 2;
    case TCommandLine::TAction::Run:
    case TCommandLine::TAction::Remind:
        break;
    }
    return 0;
}
