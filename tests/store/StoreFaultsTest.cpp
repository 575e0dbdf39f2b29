// The store against real trouble: another process holding the database, a
// disk that fills up, a read-only database, files that are no database.
#include <filesystem>
#include <sys/wait.h>

#include "ChildProcess.h"
#include "Settings.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

namespace fs = std::filesystem;

class StoreFaults : public StoreFixture {
protected:
    QString listOf(int lines, const std::string &prefix = "w")
    {
        std::string bytes;
        for (int k = 1; k <= lines; ++k)
            bytes += prefix + std::to_string(k) + "[p]m" + std::to_string(k) + "\r\n";
        return WriteWordFile(prefix + std::to_string(lines) + ".txt", bytes);
    }
    std::string integrity()
    {
        TSqlQuery check = db->Query("PRAGMA integrity_check");
        return check.Next() ? check.Text(0) : "none";
    }
};

TEST_F(StoreFaults, AnErrorLineQuestionHoldsNoLockWhileItWaits)
{
    const QString file = WriteWordFile("list.txt", "a[1]x\n\nb[2]y\n");
    class AskingElsewhere final : public TQuietProgress {
    public:
        explicit AskingElsewhere(const StoreFixture &fixture)
            : TQuietProgress(true), m_fixture(fixture)
        {
        }
        bool AskYesNo(const QString &question) override
        {
            // While the player thinks, another program records a score at once.
            const TChildOutcome outcome = RunInChild([this] {
                auto other = m_fixture.OtherConnection();
                other->SetBusyTimeout(0);
                other->Execute("INSERT INTO gamerecord(name, score, recoretime) "
                               "VALUES('other', 7, '2026-01-01')");
                return std::string("recorded");
            });
            otherResult = outcome.output;
            return TQuietProgress::AskYesNo(question);
        }
        std::string otherResult;

    private:
        const StoreFixture &m_fixture;
    } progress(*this);
    ASSERT_TRUE(ImportWordLibrary(file, "book", progress, 4));
    EXPECT_EQ(progress.otherResult, "recorded");
    EXPECT_EQ(LoadGameRecords(), (std::vector<TGameRecordItem>{{1, "other", 7}}));
    EXPECT_EQ(TableRows("lib1").size(), 2u);
    // Both passes on the progress bar.
    EXPECT_EQ(progress.Maximum(), 6);
    EXPECT_EQ(progress.Position(), 6);
}

TEST_F(StoreFaults, ALockedDatabaseFailsEachOperationAndLosesNothing)
{
    const int source = ImportNumberedBook("source", 30);
    AddGameRecord("kept", 10);
    const QString file = listOf(50);
    {
        const auto holder = HoldDatabase("BEGIN IMMEDIATE");
        ASSERT_TRUE(holder->Ready());
        TQuietProgress progress(true);
        EXPECT_FALSE(ImportWordLibrary(file, "new", progress, 4));
        EXPECT_EQ(BuildShuffledBook(source, "source", progress), -1);
        try {
            AddGameRecord("lost", 20);
            ADD_FAILURE() << "a score was written into a locked database";
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(DatabaseFailureReason(e), QStringLiteral("单词数据库正被其他程序使用。"))
                << e.what();
        }
        EXPECT_FALSE(db->Connection().InTransaction());
        EXPECT_EQ(holder->Release(), 0);
    }
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 1);
    EXPECT_FALSE(TableExists("lib2"));
    EXPECT_FALSE(TableExists("randomlib1"));
    EXPECT_EQ(LoadGameRecords().size(), 1u);
    // Once the other program lets go, each works.
    TQuietProgress progress(true);
    EXPECT_TRUE(ImportWordLibrary(file, "new", progress, 4));
    EXPECT_NE(BuildShuffledBook(source, "source", progress), -1);
    EXPECT_TRUE(AddGameRecord("later", 30));
}

TEST_F(StoreFaults, AStartUpAgainstADatabaseLockedByAnotherProgramSaysSo)
{
    const auto holder = HoldDatabase("BEGIN EXCLUSIVE", false);
    ASSERT_TRUE(holder->Ready());
    TDataInterface second;
    EXPECT_FALSE(second.ConnectDatabase());  // after the 5 s busy timeout
    EXPECT_EQ(second.LastConnectFailure(), TDataInterface::TConnectFailure::DatabaseLocked);
    EXPECT_EQ(second.ConnectFailureMessage(), QStringLiteral("单词数据库正被其他程序使用：")
                                                  + QString::fromStdString(DatabasePath()));
}

TEST_F(StoreFaults, AFileWithoutTheTablesOrSettingsThatCannotBeReadAreNoDatabase)
{
    const QString unusable =
        QStringLiteral("无法打开单词数据库：") + QString::fromStdString(DatabasePath());
    db->CloseDatabase();
    TDataInterface probe;
    // A database with the key but no leaderboard.
    {
        auto other = OtherConnection();
        other->Execute("DROP TABLE gamerecord");
    }
    EXPECT_FALSE(probe.ConnectDatabase());
    EXPECT_EQ(probe.LastConnectFailure(), TDataInterface::TConnectFailure::DatabaseUnusable);
    EXPECT_EQ(probe.ConnectFailureMessage(), unusable);
    // A 0-byte file opens as a new, empty database.
    fs::resize_file(DatabasePath(), 0);
    EXPECT_FALSE(probe.ConnectDatabase());
    EXPECT_EQ(probe.ConnectFailureMessage(), unusable);
    EXPECT_EQ(fs::file_size(DatabasePath()), 0u);
    // A missing file.
    fs::remove(DatabasePath());
    EXPECT_FALSE(probe.ConnectDatabase());
    EXPECT_EQ(probe.ConnectFailureMessage(), unusable);
    // Settings that are a directory name no database at all.
    fs::remove(dir.Path("data/typeconfig.ini"));
    fs::create_directory(dir.Path("data/typeconfig.ini"));
    EXPECT_FALSE(probe.ConnectDatabase());
    EXPECT_EQ(probe.LastConnectFailure(), TDataInterface::TConnectFailure::SettingsUnreadable);
    EXPECT_EQ(probe.ConnectFailureMessage(),
              QStringLiteral("无法读取设置文件：") + QString::fromStdString(ConfigFilePath()));
}

TEST_F(StoreFaults, AFullDiskLeavesTheDatabaseAsItWas)
{
    const QString big = listOf(100000);
    const QString small = listOf(40, "s");
    db->CloseDatabase();
    const std::string data = dir.Path("data");
    const TChildOutcome outcome = RunInChild([&] {
        const std::string database = dir.ReadFile("data/kivrotype.mdb");
        const std::string settings = dir.ReadFile("data/typeconfig.ini");
        MountSmallTmpfs(data, 400);
        dir.WriteFile("data/kivrotype.mdb", database);
        dir.WriteFile("data/typeconfig.ini", settings);
        TDataInterface own;
        SetDataInterface(&own);
        if (!own.ConnectDatabase())
            return std::string("no database on the tmpfs");
        const auto count = [&](const std::string &sql) {
            TSqlQuery q = own.Query(sql);
            return q.Next() ? std::to_string(q.Integer(0)) : std::string("?");
        };
        std::string seen;
        TQuietProgress progress(true);
        seen += "small=" + std::to_string(ImportWordLibrary(small, "small", progress, 4));
        seen += ";big=" + std::to_string(ImportWordLibrary(big, "big", progress, 4));
        seen += ";books=" + count("SELECT count(*) FROM bookinfo");
        seen += ";lib2=" + std::to_string(TableExists("lib2"));
        FillDisk(data + "/filler");  // nothing left for a journal either
        seen += ";copy=" + std::to_string(BuildShuffledBook(1, "small", progress));
        try {
            AddGameRecord("full", 5);
            seen += ";score=stored";
        } catch (const EDatabaseError &e) {
            seen += ";score=" + DatabaseFailureReason(e).toStdString();
        }
        seen += ";books=" + count("SELECT count(*) FROM bookinfo");
        seen += ";scores=" + count("SELECT count(*) FROM gamerecord");
        seen += ";tables="
                + count("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                        "AND name NOT LIKE 'sqlite%'");
        TSqlQuery check = own.Query("PRAGMA integrity_check");
        seen += ";integrity=" + (check.Next() ? check.Text(0) : std::string("?"));
        fs::remove(data + "/filler");
        seen += ";after=" + std::to_string(BuildShuffledBook(1, "small", progress) != -1);
        seen += "," + std::to_string(AddGameRecord("freed", 6));
        seen += "," + count("SELECT wordnumber FROM bookinfo WHERE booktype = 2");
        SetDataInterface(nullptr);
        return seen;
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    // Tables: bookinfo, gamerecord, lib1, the learning memory's five, the
    // computer's identity and the books' own examples.
    EXPECT_EQ(outcome.output,
              "small=1;big=0;books=1;lib2=0;copy=-1;score=磁盘空间不足。;books=1;scores=0;"
              "tables=12;integrity=ok;after=1,1,40");
}

TEST_F(StoreFaults, AReadOnlyDatabaseRefusesEveryWriteInWords)
{
    const int source = ImportNumberedBook("source", 5);
    const QString file = listOf(5);
    db->CloseDatabase();
    const TChildOutcome outcome = RunInChild([&] {
        MountReadOnlyBind(dir.Path("data"));
        TDataInterface own;
        SetDataInterface(&own);
        if (!own.ConnectDatabase())
            return std::string("does not open read-only");
        std::string seen;
        TQuietProgress progress(true);
        seen += "import=" + std::to_string(ImportWordLibrary(file, "new", progress, 4));
        seen += ";copy=" + std::to_string(BuildShuffledBook(source, "source", progress));
        try {
            AddGameRecord("ro", 1);
            seen += ";score=stored";
        } catch (const EDatabaseError &e) {
            seen += ";score=" + DatabaseFailureReason(e).toStdString();
        }
        SetDataInterface(nullptr);
        return seen;
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output, "import=0;copy=-1;score=单词数据库不允许写入。");
    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 1);
    EXPECT_EQ(integrity(), "ok");
}

TEST_F(StoreFaults, AStatementAfterTheEngineEndedTheTransactionIsRefused)
{
    TSqlConnection &connection = db->Connection();
    TSqlTransaction transaction(connection);
    transaction.Execute("INSERT INTO gamerecord(name, score) VALUES('a', 1)");
    // What the engine does by itself on a full disk or an I/O error.
    connection.Execute("ROLLBACK");
    EXPECT_FALSE(transaction.Active());
    EXPECT_THROW(transaction.Execute("INSERT INTO gamerecord(name, score) VALUES('b', 2)"),
                 EDatabaseError);
    EXPECT_THROW(transaction.Commit(), EDatabaseError);
    EXPECT_EQ(Scalar("SELECT count(*) FROM gamerecord"), 0);
}

}  // namespace
