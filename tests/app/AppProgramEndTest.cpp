// The real program in processes of its own: one program per program folder,
// and the orderly end on SIGTERM, SIGINT and SIGHUP.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include <QMessageBox>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "ProgramChildRun.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBookType.h"
#include "UDataInterface.h"

namespace {

namespace fs = std::filesystem;

const QString kFirstFrame = QStringLiteral("FIRST FRAME ");
const QString kStay = QStringLiteral("KIVRO_CHILD_STAY=1");
const QString kCloseAtOnce = QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1");
const QString kRealBoxes = QStringLiteral("KIVRO_CHILD_REAL_BOXES=1");

// Every file under the folder with its size, time and content.
using Snapshot = std::map<std::string, std::tuple<std::uintmax_t, fs::file_time_type, size_t>>;

Snapshot TakeSnapshot(const TempProgramDir &dir)
{
    Snapshot files;
    for (const auto &entry : fs::recursive_directory_iterator(dir.Dir())) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(entry.path(), dir.Dir()).string()] = {
            entry.file_size(), entry.last_write_time(), std::hash<std::string>{}(bytes.str())};
    }
    return files;
}

std::vector<std::string> SkinFiles(const TempProgramDir &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir.Path("data"))) {
        if (entry.path().extension() == ".asz")
            names.push_back(entry.path().filename().string());
    }
    return names;
}

int Count(const QString &text, const QString &line)
{
    return static_cast<int>(text.split(u'\n').count(line));
}

class AppProgramProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!NetworkCanBeCut())
            GTEST_SKIP() << "the real Internet check must not reach the network";
    }

    bool LockExists() const { return fs::exists(m_dir.Path("data/kivrotype.lock")); }

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
};

// ---- one program per program folder ----------------------------------------------

using AppProgramLock = AppProgramProcess;

TEST_F(AppProgramLock, ASecondStartSaysSoExitsZeroAndWritesNothing)
{
    ProgramChild first(m_dir, {kStay});
    ASSERT_TRUE(first.WaitForLine(kFirstFrame)) << first.Out().toStdString();
    EXPECT_TRUE(LockExists());
    const Snapshot before = TakeSnapshot(m_dir);

    const ChildRun second = RunProgram(m_dir, {kCloseAtOnce});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(second.out, QStringLiteral("BOX 0 Kivro单词速打已经在运行。\n"));
    EXPECT_TRUE(TakeSnapshot(m_dir) == before) << "the second start changed the program folder";

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Finish().exitCode, 0);
    EXPECT_FALSE(LockExists());
    // The folder is free again.
    const ChildRun third = RunProgram(m_dir, {kCloseAtOnce});
    EXPECT_EQ(third.exitCode, 0);
    EXPECT_TRUE(third.out.startsWith(kFirstFrame)) << third.out.toStdString();
}

TEST_F(AppProgramLock, ALockLeftByAKilledProgramIsTakenOver)
{
    ProgramChild first(m_dir, {kStay});
    ASSERT_TRUE(first.WaitForLine(kFirstFrame)) << first.Out().toStdString();
    first.Signal(SIGKILL);
    EXPECT_EQ(first.Finish().exitCode, -1);
    ASSERT_TRUE(LockExists());
    EXPECT_FALSE(SkinFiles(m_dir).empty());  // a kill cleans nothing up

    const ChildRun second = RunProgram(m_dir, {kCloseAtOnce});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.startsWith(kFirstFrame)) << second.out.toStdString();
    EXPECT_FALSE(LockExists());
    EXPECT_TRUE(SkinFiles(m_dir).empty());
}

// ---- ending by signal --------------------------------------------------------------

using AppProgramSignals = AppProgramProcess;

TEST_F(AppProgramSignals, EachEndingSignalSavesTheGameRemovesTheRunsFilesAndExitsZero)
{
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(::testing::Message() << "signal " << sig);
        TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
        // The program brings the toll gate into the book and the child picks
        // another level: both must be written at the end.
        dir.StoreSetting(Setting::TollGateIndex, "999");
        dir.StoreSetting(Setting::Level, "1");
        const std::string bookType = dir.StoredSetting(Setting::BookType);
        dir.WriteFile("kivrotype1.xml", "<Root/>");
        dir.WriteFile("kivrotype2.xml", "<Root/>");

        ProgramChild child(dir, {kStay, QStringLiteral("KIVRO_CHILD_LEVEL=3")});
        ASSERT_TRUE(child.WaitForLine(QStringLiteral("LEVEL 3"))) << child.Out().toStdString();
        ASSERT_FALSE(SkinFiles(dir).empty());
        ASSERT_TRUE(fs::exists(dir.Path("kivrotype2.xml")));
        child.Signal(sig);
        const ChildRun run = child.Finish();

        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(dir.StoredSetting(Setting::TollGateIndex), "174");
        EXPECT_EQ(dir.StoredSetting(Setting::Level), "3");
        EXPECT_EQ(dir.StoredSetting(Setting::StoreTableName), "lib109");
        EXPECT_EQ(dir.StoredSetting(Setting::WordCount), "3480");
        EXPECT_EQ(dir.StoredSetting(Setting::BookName), Gbk("《最新TOEFL词汇》"));
        EXPECT_EQ(dir.StoredSetting(Setting::BookType), bookType);
        EXPECT_TRUE(SkinFiles(dir).empty());
        EXPECT_FALSE(fs::exists(dir.Path("kivrotype1.xml")));
        EXPECT_FALSE(fs::exists(dir.Path("kivrotype2.xml")));
        EXPECT_FALSE(fs::exists(dir.Path("data/kivrotype.lock")));
    }
}

TEST_F(AppProgramSignals, AnOpenDialogIsClosedAsByEsc)
{
    ProgramChild child(m_dir, {kStay, QStringLiteral("KIVRO_CHILD_OPEN=N30")});
    ASSERT_TRUE(child.WaitForLine(QStringLiteral("MODAL FrmTollGate")))
        << child.Out().toStdString();
    child.Signal(SIGTERM);
    const ChildRun run = child.Finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Rejected, as Esc does: the toll gate stays.
    EXPECT_EQ(Count(run.out, QStringLiteral("FINISHED FrmTollGate 0")), 1) << run.out.toStdString();
    EXPECT_EQ(m_dir.StoredSetting(Setting::TollGateIndex), "1");
}

TEST_F(AppProgramSignals, AQuestionIsAnsweredAsByEscAndFurtherSignalsAreIgnored)
{
    ProgramChild child(m_dir, {kStay, kRealBoxes, QStringLiteral("KIVRO_CHILD_OPEN=sbRecord")});
    ASSERT_TRUE(child.WaitForLine(QStringLiteral("MODAL QMessageBox")))
        << child.Out().toStdString();
    EXPECT_TRUE(child.Out().contains(QStringLiteral("BOX 1 是否记录您的游戏成绩？\n")));
    // The second and third come while the first is being handled.
    child.Signal(SIGTERM);
    child.Signal(SIGHUP);
    child.Signal(SIGINT);
    const ChildRun run = child.Finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Esc is No there: no name is asked for.
    EXPECT_EQ(Count(run.out, QStringLiteral("ANSWER %1").arg(int(QMessageBox::No))), 1)
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("FrmInputBox")));
    EXPECT_EQ(m_dir.StoredSetting(Setting::TollGateIndex), "1");
    EXPECT_TRUE(SkinFiles(m_dir).empty());
}

TEST_F(AppProgramSignals, ARunningImportEndsAsOnNoAndRegistersNoBook)
{
    std::string words;
    for (int k = 1; k <= 200; ++k)
        words += "word" + std::to_string(k) + "[w]w\r\n";
    m_dir.WriteFile("words.txt", words);
    const QString name = QStringLiteral("中断的书");
    ProgramChild child(m_dir, {kStay, kRealBoxes, QStringLiteral("KIVRO_CHILD_OPEN=N15"),
                               QStringLiteral("KIVRO_CHILD_IMPORT=%1|%2")
                                   .arg(QString::fromStdString(m_dir.Path("words.txt")), name)});
    ASSERT_TRUE(child.WaitForLine(QStringLiteral("IMPORT RUNNING"))) << child.Out().toStdString();
    child.Signal(SIGINT);
    const ChildRun run = child.Finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("BOX 2 导入词库失败了！\n")))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("恭喜您")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("导入的词库中第")));  // no question was asked
    EXPECT_EQ(Count(run.out, QStringLiteral("FINISHED FrmImportLib 0")), 1);

    TDataInterface db;
    ASSERT_TRUE(db.ConnectDatabase());
    SetDataInterface(&db);
    EXPECT_FALSE(BookNameExists(QStringToGbk(name)));
    SetDataInterface(nullptr);
}

}  // namespace
