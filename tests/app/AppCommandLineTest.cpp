// The program's command line: what the parser makes of it, and the real
// program answering it in a process of its own.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CommandLine.h"
#include "ProgramChildRun.h"
#include "TempProgramDir.h"

namespace {

namespace fs = std::filesystem;
using TAction = TCommandLine::TAction;

TCommandLine parse(const QStringList &options)
{
    return ParseCommandLine(QStringList{QStringLiteral("/usr/bin/kivrotype")} + options);
}

// ---- the parser ----------------------------------------------------------------------

TEST(AppCommandLine, WithoutOptionsTheGameRunsOnTheUsualFolder)
{
    const TCommandLine line = parse({});
    EXPECT_EQ(line.Action, TAction::Run);
    EXPECT_TRUE(line.DataDir.isEmpty());
}

TEST(AppCommandLine, HelpAndVersionAnswerWhateverElseIsGiven)
{
    for (const QStringList &options :
         {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("-h")},
          QStringList{QStringLiteral("--data-dir"), QStringLiteral("/x"),
                      QStringLiteral("--help")}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const TCommandLine line = parse(options);
        EXPECT_EQ(line.Action, TAction::Help);
        EXPECT_TRUE(line.Text.startsWith(QStringLiteral("Usage: kivrotype [options]")))
            << line.Text.toStdString();
        for (const char *name : {"--help", "--version", "--data-dir <DIR>"})
            EXPECT_TRUE(line.Text.contains(QLatin1String(name))) << name;
    }
    for (const char *option : {"--version", "-v"}) {
        const TCommandLine line = parse({QLatin1String(option)});
        EXPECT_EQ(line.Action, TAction::Version) << option;
        EXPECT_EQ(line.Text, QStringLiteral("kivrotype " KIVRO_TEST_VERSION "\n"));
    }
}

TEST(AppCommandLine, DataDirTakesTheFolderInEitherSpelling)
{
    EXPECT_EQ(parse({QStringLiteral("--data-dir"), QStringLiteral("/media/u盘/kivro")}).DataDir,
              QStringLiteral("/media/u盘/kivro"));
    const TCommandLine joined = parse({QStringLiteral("--data-dir=rel/dir")});
    EXPECT_EQ(joined.Action, TAction::Run);
    EXPECT_EQ(joined.DataDir, QStringLiteral("rel/dir"));
}

TEST(AppCommandLine, RemindRunsTheReminderAndReviewTheGameOnTodaysReview)
{
    const TCommandLine remind =
        parse({QStringLiteral("--remind"), QStringLiteral("--data-dir=/d")});
    EXPECT_EQ(remind.Action, TAction::Remind);
    EXPECT_EQ(remind.DataDir, QStringLiteral("/d"));
    EXPECT_FALSE(remind.Review);
    const TCommandLine review = parse({QStringLiteral("--review")});
    EXPECT_EQ(review.Action, TAction::Run);
    EXPECT_TRUE(review.Review);
    EXPECT_FALSE(parse({}).Review);
    EXPECT_TRUE(parse({QStringLiteral("--help")}).Text.contains(QStringLiteral("--remind")));
}

TEST(AppCommandLine, WhatIsNotUnderstoodIsAnErrorWithTheUsage)
{
    const std::map<QString, QStringList> cases = {
        {QStringLiteral("未知的选项：bogus"), {QStringLiteral("--bogus")}},
        {QStringLiteral("未知的选项：x"), {QStringLiteral("-x"), QStringLiteral("--version")}},
        {QStringLiteral("--data-dir"), {QStringLiteral("--data-dir")}},
        {QStringLiteral("--data-dir 需要一个文件夹"), {QStringLiteral("--data-dir=")}},
        {QStringLiteral("多余的参数：book.txt"), {QStringLiteral("book.txt")}},
        {QStringLiteral("--remind 和 --review 不能一起用"),
         {QStringLiteral("--remind"), QStringLiteral("--review")}},
    };
    for (const auto &[said, options] : cases) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const TCommandLine line = parse(options);
        EXPECT_EQ(line.Action, TAction::Error);
        EXPECT_TRUE(line.Text.startsWith(QStringLiteral("kivrotype: "))) << line.Text.toStdString();
        EXPECT_TRUE(line.Text.contains(said)) << line.Text.toStdString();
        EXPECT_TRUE(line.Text.contains(QStringLiteral("Usage: kivrotype")))
            << line.Text.toStdString();
    }
}

// ---- the program -----------------------------------------------------------------------

const QString kCloseAtOnce = QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1");
// A window would need the X server, and there is none.
const QStringList kNoDisplay = {QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY="),
                                QStringLiteral("WAYLAND_DISPLAY=")};

// Every file under a folder with its content.
std::map<std::string, std::string> Files(const std::string &dir)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(entry.path(), dir).string()] = bytes.str();
    }
    return files;
}

class AppCommandLineProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!NetworkCanBeCut())
            GTEST_SKIP() << "the real Internet check must not reach the network";
    }

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
};

TEST_F(AppCommandLineProcess, HelpAndVersionNeedNoDisplayAndNoLock)
{
    // Without a display the game itself cannot start: the check below can fail.
    const ChildRun game = RunProgram(m_dir, kNoDisplay);
    ASSERT_NE(game.exitCode, 0) << game.out.toStdString();

    // Another program holds the folder's lock.
    ProgramChild running(m_dir, {QStringLiteral("KIVRO_CHILD_STAY=1")});
    ASSERT_TRUE(running.WaitForLine(QStringLiteral("FIRST FRAME "))) << running.Out().toStdString();

    const ChildRun version = RunProgram(m_dir, kNoDisplay, {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("kivrotype " KIVRO_TEST_VERSION "\n"));
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();

    const ChildRun help = RunProgram(m_dir, kNoDisplay, {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: kivrotype [options]")))
        << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--data-dir <DIR>")));
    EXPECT_FALSE(help.out.contains(QStringLiteral("BOX ")));

    running.Signal(SIGTERM);
    EXPECT_EQ(running.Finish().exitCode, 0);
}

TEST_F(AppCommandLineProcess, AnUnknownOptionPrintsTheUsageOnStandardErrorAndExits2)
{
    const auto before = Files(m_dir.Dir());
    const ChildRun run = RunProgram(m_dir, kNoDisplay, {QStringLiteral("--bogus")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("kivrotype: 未知的选项：bogus\n")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("--data-dir <DIR>")));
    EXPECT_TRUE(Files(m_dir.Dir()) == before) << "the program folder changed";
}

TEST_F(AppCommandLineProcess, DataDirKeepsThePlayersFilesThereAndTheProgramsUntouched)
{
    const auto program = Files(m_dir.Dir());
    QTemporaryDir stick;
    ASSERT_TRUE(stick.isValid());
    // Not there yet: the first start makes it.
    const std::string dir = stick.path().toStdString() + "/u盘/kivro";
    const QStringList args = {QStringLiteral("--data-dir"), QString::fromStdString(dir)};

    const ChildRun first = RunProgram(m_dir, {kCloseAtOnce}, args);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith(QStringLiteral("FIRST FRAME "))) << first.out.toStdString();
    for (const char *file : {"data/typeconfig.ini", "data/kivrotype.mdb", "UseRecord.txt"})
        EXPECT_TRUE(fs::is_regular_file(dir + "/" + file)) << file;
    EXPECT_FALSE(fs::exists(dir + "/data/kivrotype.lock"));
    EXPECT_TRUE(Files(m_dir.Dir()) == program) << "the program's own folder changed";

    // The player's settings, changed between two games, are what the next one starts from.
    const std::string settings = dir + "/data/typeconfig.ini";
    std::string text = Files(dir).at("data/typeconfig.ini");
    const size_t level = text.find("\nLevel=");
    ASSERT_NE(level, std::string::npos);
    text[level + 7] = '3';
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << text;

    const ChildRun second = RunProgram(m_dir, {kCloseAtOnce}, args);
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_NE(Files(dir).at("data/typeconfig.ini").find("\nLevel=3"), std::string::npos);
    EXPECT_TRUE(Files(m_dir.Dir()) == program) << "the program's own folder changed";
}

TEST_F(AppCommandLineProcess, ADataDirThatCannotBeMadeIsSaidAndExits1)
{
    const ChildRun run = RunProgram(m_dir, kNoDisplay,
                                    {QStringLiteral("--data-dir"), QStringLiteral("/proc/kivro")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("无法使用文件夹 /proc/kivro。")))
        << run.err.toStdString();
}

}  // namespace
