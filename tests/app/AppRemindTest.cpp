// The login reminder: its autostart entry as written, kept at each start and
// removed, the 学习设置 box that turns it on and off, and `--remind` run as a
// process of its own where nothing can be shown.
#include <csignal>
#include <map>
#include <optional>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "Clock.h"
#include "FsrsScheduler.h"
#include "GameWindowFixture.h"
#include "ProgramChildRun.h"
#include "ReminderEntry.h"
#include "ReviewReminder.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "WordMemory.h"

namespace {

// XDG_CONFIG_HOME in a temporary folder for the test's lifetime, so that no
// test touches the user's own autostart folder.
class ConfigHome {
public:
    ConfigHome()
        : m_saved(qgetenv("XDG_CONFIG_HOME")),
          m_wasSet(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    }
    ~ConfigHome()
    {
        if (m_wasSet)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ConfigHome(const ConfigHome &) = delete;
    ConfigHome &operator=(const ConfigHome &) = delete;

    QString Path() const { return m_dir.path(); }
    QString Entry() const
    {
        return m_dir.path() + QStringLiteral("/autostart/org.example.kivrotype-remind.desktop");
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_wasSet;
};

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(file.readAll());
}

// The entry's keys and values as written (no group other than the one).
std::map<QString, QString> entryKeys(const QString &text)
{
    std::map<QString, QString> keys;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            keys[line.left(equals)] = line.mid(equals + 1);
    }
    return keys;
}

// ---- the entry ---------------------------------------------------------------------------

TEST(AppRemindEntry, ItLiesInTheConfigHomeGivenOnlyWhenThatIsAbsolute)
{
    ConfigHome home;
    EXPECT_EQ(ReminderEntryPath(), home.Entry());
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(ReminderEntryPath(),
              QDir::homePath()
                  + QStringLiteral("/.config/autostart/org.example.kivrotype-remind.desktop"));
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(ReminderEntryPath(),
              QDir::homePath()
                  + QStringLiteral("/.config/autostart/org.example.kivrotype-remind.desktop"));
}

TEST(AppRemindEntry, ExecQuotesThePathsSoAnyFolderNameStartsTheSameProgram)
{
    const std::map<QString, QString> plain =
        entryKeys(ReminderEntryText({QStringLiteral("/usr/bin/kivrotype"), QString(), QString()}));
    EXPECT_EQ(plain.at(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(plain.at(QStringLiteral("Exec")), QStringLiteral("\"/usr/bin/kivrotype\" --remind"));
    EXPECT_EQ(plain.count(QStringLiteral("Path")), 0u);

    // A portable folder on a stick, and a player's folder given by --data-dir.
    const TReminderLaunch odd{QStringLiteral("/media/u盘/my games/100% \"kivro\"/kivrotype"),
                              QStringLiteral("/home/li/$HOME`x`\\d"),
                              QStringLiteral("/media/u盘/my games/100% \"kivro\"")};
    const std::map<QString, QString> keys = entryKeys(ReminderEntryText(odd));
    // Exec's own quoting ('"', '`', '$', '\' take a backslash, '%' is
    // doubled), then the file's string escape (a backslash is written twice).
    EXPECT_EQ(keys.at(QStringLiteral("Exec")),
              QStringLiteral("\"/media/u盘/my games/100%% \\\\\"kivro\\\\\"/kivrotype\" --remind "
                             "--data-dir \"/home/li/\\\\$HOME\\\\`x\\\\`\\\\\\\\d\""));
    EXPECT_EQ(keys.at(QStringLiteral("Path")),
              QStringLiteral("/media/u盘/my games/100% \"kivro\""));

    // A line break would end the key: no entry rather than one starting something else.
    EXPECT_TRUE(ReminderEntryText({QStringLiteral("/tmp/a\nExec=/bin/sh"), {}, {}}).isEmpty());
    EXPECT_TRUE(
        ReminderEntryText({QStringLiteral("/tmp/k"), QStringLiteral("/x\r"), {}}).isEmpty());
    EXPECT_TRUE(ReminderEntryText({}).isEmpty());
}

TEST(AppRemindEntry, WrittenRewrittenAndRemoved)
{
    ConfigHome home;
    // No autostart folder yet: it is made.
    ASSERT_FALSE(QFile::exists(home.Path() + QStringLiteral("/autostart")));
    const TReminderLaunch first{
        QStringLiteral("/old/place/kivrotype"), {}, QStringLiteral("/old/place")};
    ASSERT_TRUE(WriteReminderEntry(first));
    EXPECT_EQ(readText(home.Entry()), ReminderEntryText(first));

    const TReminderLaunch moved{
        QStringLiteral("/new/place/kivrotype"), {}, QStringLiteral("/new/place")};
    ASSERT_TRUE(WriteReminderEntry(moved));
    EXPECT_EQ(readText(home.Entry()), ReminderEntryText(moved));
    // Written beside and renamed over: nothing else is left in the folder.
    EXPECT_EQ(
        QDir(home.Path() + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("org.example.kivrotype-remind.desktop")});

    // A launch no entry can hold leaves the one there as it was.
    EXPECT_FALSE(WriteReminderEntry({QStringLiteral("/a\nb"), {}, {}}));
    EXPECT_EQ(readText(home.Entry()), ReminderEntryText(moved));

    EXPECT_TRUE(RemoveReminderEntry());
    EXPECT_FALSE(QFile::exists(home.Entry()));
    EXPECT_TRUE(RemoveReminderEntry());  // none left is what was asked
}

TEST(AppRemindEntry, AFolderThatCannotBeWrittenIsAFailureNotASuccess)
{
    ConfigHome home;
    // The autostart "folder" is a file: neither folder nor entry can be made.
    QFile blocker(home.Path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(WriteReminderEntry({QStringLiteral("/usr/bin/kivrotype"), {}, {}}));
    EXPECT_FALSE(QFile::exists(home.Entry()));
}

TEST(AppRemindEntry, TheTextNamesTheDueCount)
{
    EXPECT_EQ(ReminderText(37), QStringLiteral("Kivro单词速打：今天有37个单词需要复习"));
}

// ---- the box in 学习设置 -------------------------------------------------------------

class AppRemindSettings : public GameWindowTest {
protected:
    // Opens 学习设置, sets the box (when asked) and presses OK; the box's
    // state as the dialog opened.
    bool ChooseInDialog(std::optional<bool> remind)
    {
        bool shown = false;
        ScriptDialog([&](QDialog &dialog) {
            auto *box = Control<QCheckBox>(dialog, "cbRemindDaily");
            EXPECT_EQ(box->text(), QStringLiteral("每天提醒我复习"));
            shown = box->isChecked();
            if (remind)
                box->setChecked(*remind);
            Control<QPushButton>(dialog, "btnOk")->click();
        });
        Control<QAction>(Window(), "nLearningSettings")->trigger();
        return shown;
    }

    ConfigHome m_home;
};

TEST_F(AppRemindSettings, TheBoxIsOffByDefaultAndTurnsTheEntryOnAndOff)
{
    Start();
    EXPECT_FALSE(ChooseInDialog(std::nullopt));
    EXPECT_FALSE(QFile::exists(m_home.Entry()));

    EXPECT_FALSE(ChooseInDialog(true));
    EXPECT_EQ(ReadSysInteger(Setting::RemindDaily), 1);
    // This program, from its own folder.
    const std::map<QString, QString> keys = entryKeys(readText(m_home.Entry()));
    ASSERT_EQ(keys.count(QStringLiteral("Exec")), 1u) << readText(m_home.Entry()).toStdString();
    EXPECT_EQ(keys.at(QStringLiteral("Exec")),
              u'"' + QCoreApplication::applicationFilePath() + QStringLiteral("\" --remind"));
    EXPECT_EQ(keys.at(QStringLiteral("Path")),
              QDir::cleanPath(QString::fromStdString(m_dir.Dir())));

    EXPECT_TRUE(ChooseInDialog(false));
    EXPECT_EQ(ReadSysInteger(Setting::RemindDaily), 0);
    EXPECT_FALSE(QFile::exists(m_home.Entry()));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Texts().join(u'\n').toStdString();
}

TEST_F(AppRemindSettings, AnEntryThatCannotBeWrittenIsToldAndTheChoiceKept)
{
    QFile blocker(m_home.Path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Start();
    ChooseInDialog(true);
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown().front().text,
              QStringLiteral("每天的复习提醒未能设置：无法写入") + m_home.Entry());
    // Kept on: the next start writes the entry once the folder can hold it.
    EXPECT_EQ(ReadSysInteger(Setting::RemindDaily), 1);
}

// Words missed two days ago in the folder's database: due today.
void makeDue(const std::vector<std::string> &spellings)
{
    TDataInterface db;
    ASSERT_TRUE(db.ConnectDatabase());
    SetDataInterface(&db);
    std::vector<TWordMeeting> meetings(spellings.size());
    for (std::size_t i = 0; i < spellings.size(); ++i) {
        meetings[i].Word.Spelling = spellings[i];
        meetings[i].Missed = 1;
        meetings[i].Rating = TRating::Again;
    }
    const std::int64_t at = ProgramClock().NowMs() - 2 * DayMs;
    RecordTollGate(TTollGatePlay{at, 0, 1, 1, 0, static_cast<int>(spellings.size()), false},
                   meetings, ReviewCard);
    EXPECT_EQ(CountDueWords(NextLocalMidnightMs(ProgramClock().NowMs())),
              static_cast<std::int64_t>(spellings.size()));
    SetDataInterface(nullptr);
}

// ---- the program started ---------------------------------------------------------------

class AppRemindProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!NetworkCanBeCut())
            GTEST_SKIP() << "the real Internet check must not reach the network";
    }
    QStringList Env(QStringList more = {}) const
    {
        return more << QStringLiteral("XDG_CONFIG_HOME=") + m_home.Path();
    }

    ConfigHome m_home;
    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
};

TEST_F(AppRemindProcess, EachStartWritesTheEntryAgainWhileTheReminderIsOn)
{
    // An entry left by the folder's earlier place.
    ASSERT_TRUE(WriteReminderEntry(
        {QStringLiteral("/old/place/kivrotype"), {}, QStringLiteral("/old/place")}));
    const QString stale = readText(m_home.Entry());

    // Off: another folder's entry is not this start's business.
    ChildRun run = RunProgram(m_dir, Env({QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readText(m_home.Entry()), stale);

    m_dir.StoreSetting(Setting::RemindDaily, "1");
    run = RunProgram(m_dir, Env({QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::map<QString, QString> keys = entryKeys(readText(m_home.Entry()));
    ASSERT_EQ(keys.count(QStringLiteral("Exec")), 1u) << readText(m_home.Entry()).toStdString();
    EXPECT_TRUE(
        keys.at(QStringLiteral("Exec")).endsWith(QStringLiteral("/app_program_child\" --remind")))
        << keys.at(QStringLiteral("Exec")).toStdString();
    EXPECT_FALSE(keys.at(QStringLiteral("Exec")).contains(QStringLiteral("/old/place")));
}

TEST_F(AppRemindProcess, ADataDirGoesIntoTheEntry)
{
    QTemporaryDir player;
    ASSERT_TRUE(player.isValid());
    const QString dir = player.path() + QStringLiteral("/kivro");
    // The player's folder starts from the program's settings.
    m_dir.StoreSetting(Setting::RemindDaily, "1");
    const ChildRun run = RunProgram(m_dir, Env({QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")}),
                                    {QStringLiteral("--data-dir"), dir});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString exec = entryKeys(readText(m_home.Entry()))[QStringLiteral("Exec")];
    EXPECT_TRUE(exec.endsWith(QStringLiteral("\" --remind --data-dir \"") + dir + u'"'))
        << exec.toStdString();
    // Not a portable folder's: no working folder.
    EXPECT_EQ(entryKeys(readText(m_home.Entry())).count(QStringLiteral("Path")), 0u);
}

// Without a bus nothing can be shown and nothing is said, words due or not;
// a running game's lock does not stand in the way, and the folder is only
// read. Without a display a window could not open either: the status says
// none was tried.
TEST_F(AppRemindProcess, WithoutASessionBusItEndsQuietlyWithoutTheLockAndChangesNothing)
{
    makeDue({"seldom"});
    ProgramChild running(m_dir, Env({QStringLiteral("KIVRO_CHILD_STAY=1")}));
    ASSERT_TRUE(running.WaitForLine(QStringLiteral("FIRST FRAME "))) << running.Out().toStdString();
    const std::string database = m_dir.ReadFile("data/kivrotype.mdb");
    const std::string settings = m_dir.ReadFile("data/typeconfig.ini");

    const ChildRun remind =
        RunProgram(m_dir,
                   Env({QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus"),
                        QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY="),
                        QStringLiteral("QT_LOGGING_RULES=kivro.app.debug=true")}),
                   {QStringLiteral("--remind")});
    EXPECT_EQ(remind.exitCode, 0) << remind.err.toStdString();
    EXPECT_TRUE(remind.out.isEmpty()) << remind.out.toStdString();
    // It counted the word due and went for the bus.
    EXPECT_TRUE(remind.err.contains(QStringLiteral("no session bus: no reminder")))
        << remind.err.toStdString();
    EXPECT_EQ(m_dir.ReadFile("data/kivrotype.mdb"), database);
    EXPECT_EQ(m_dir.ReadFile("data/typeconfig.ini"), settings);

    running.Signal(SIGTERM);
    EXPECT_EQ(running.Finish().exitCode, 0);
}

TEST_F(AppRemindProcess, ReviewStartsTheGameOnTodaysReviewOrSaysNothingIsDue)
{
    const QStringList closeAtOnce = Env({QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")});
    ChildRun run = RunProgram(m_dir, closeAtOnce, {QStringLiteral("--review")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("BOX 0 今天没有到期的单词。\n")))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("今日复习"))) << run.out.toStdString();

    makeDue({"seldom", "abide", "vex"});
    run = RunProgram(m_dir, closeAtOnce, {QStringLiteral("--review")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("\nBOOK 今日复习\n"))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("BOX "))) << run.out.toStdString();

    // Without the option the game opens on the saved book, due words or not.
    run = RunProgram(m_dir, closeAtOnce);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("今日复习"))) << run.out.toStdString();
}

// What --remind counts: the words due before the next local midnight, read
// without a write (the file is byte for byte as it was).
TEST_F(AppRemindProcess, TheReminderCountsTodaysDueWordsReadOnly)
{
    EXPECT_EQ(DueWordsForReminder(), 0);
    makeDue({"seldom", "abide"});
    const std::string database = m_dir.ReadFile("data/kivrotype.mdb");
    EXPECT_EQ(DueWordsForReminder(), 2);
    EXPECT_EQ(m_dir.ReadFile("data/kivrotype.mdb"), database);
    // No database: nothing to remind of.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(m_dir.Path("data/kivrotype.mdb"))));
    EXPECT_EQ(DueWordsForReminder(), 0);
}

}  // namespace
