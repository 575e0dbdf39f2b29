#include <filesystem>

#include <QProcess>
#include <QStandardPaths>

#include <sqlite3.h>

#include "LogCapture.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

class StoreConnection : public StoreFixture {};

TEST_F(StoreConnection, MissingFileWrongKeyAndGarbageFailWithoutCreatingAFile)
{
    EXPECT_THROW(CreateStoreDatabase(DatabasePath()), EDatabaseError);  // never over a database
    db->CloseDatabase();
    std::filesystem::remove(DatabasePath());
    EXPECT_FALSE(db->ConnectDatabase());
    EXPECT_FALSE(std::filesystem::exists(DatabasePath())) << "a missing database was created";

    {
        // Keyed with another passphrase: only the first read notices.
        TSqlConnection other(DatabasePath(), "not the password",
                             TSqlConnection::OpenMode::CreateIfMissing);
        other.Execute("CREATE TABLE bookinfo(id INTEGER)");
    }
    EXPECT_FALSE(db->ConnectDatabase());
    EXPECT_FALSE(db->Connected());

    dir.WriteFile("data/kivrotype.mdb", std::string(4096, 'x'));
    EXPECT_FALSE(db->ConnectDatabase());

    // An empty "data" key names ".mdb", which does not exist.
    std::filesystem::remove(DatabasePath());
    CreateStoreDatabase(DatabasePath());
    dir.WriteFile("data/typeconfig.ini", "[system]\r\nencrypt=0\r\n");
    EXPECT_FALSE(db->ConnectDatabase());
    WriteConfig(0);
    EXPECT_TRUE(db->ConnectDatabase());
}

// Between toll gates the page cache gives back what a long game read; the
// data read afterwards are the same.
TEST_F(StoreConnection, ReleasingMemoryEmptiesThePageCacheAndKeepsTheData)
{
    const auto cacheUsed = [this] {
        int used = 0;
        int highest = 0;
        sqlite3_db_status(db->Connection().Handle(), SQLITE_DBSTATUS_CACHE_USED, &used, &highest,
                          0);
        return used;
    };
    {
        TSqlTransaction t(db->Connection());
        t.Execute("CREATE TABLE filler(id INTEGER PRIMARY KEY, text TEXT)");
        for (int i = 0; i < 2000; ++i)
            t.Execute("INSERT INTO filler(text) VALUES(?)",
                      {std::string(200, static_cast<char>('a' + i % 26))});
        t.Commit();
    }
    const auto sum = [this] {
        TSqlQuery q = db->Query("SELECT count(*), sum(length(text)) FROM filler");
        EXPECT_TRUE(q.Next());
        return std::pair(q.Integer(0), q.Integer(1));
    };
    const auto before = sum();
    const int full = cacheUsed();
    ReleaseDatabaseMemory();
    const int released = cacheUsed();
    EXPECT_LT(released, full / 4) << full;
    EXPECT_EQ(sum(), before);
    EXPECT_EQ(before, std::pair(std::int64_t{2000}, std::int64_t{400000}));

    // Without an installed database it does nothing, and says nothing.
    SetDataInterface(nullptr);
    ReleaseDatabaseMemory();
    SetDataInterface(db.get());
}

TEST_F(StoreConnection, ExecuteSqlReportsFailureInsteadOfThrowing)
{
    EXPECT_TRUE(db->ExecuteSQL("CREATE TABLE t(x INTEGER)"));
    EXPECT_FALSE(db->ExecuteSQL("CREATE TABLE t(x INTEGER)"));
    EXPECT_FALSE(db->ExecuteSQL("this is no statement"));
    EXPECT_FALSE(db->ExecuteSQL("INSERT INTO t(x) VALUES(?)", {}));  // parameter missing
    // A second statement is refused, not run.
    EXPECT_FALSE(db->ExecuteSQL("INSERT INTO t(x) VALUES(1); DROP TABLE bookinfo"));
    EXPECT_TRUE(TableExists("bookinfo"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), 0);
    EXPECT_THROW(db->Query("SELECT * FROM nowhere"), EDatabaseError);

    db->CloseDatabase();
    EXPECT_FALSE(db->ExecuteSQL("CREATE TABLE u(x INTEGER)"));
    EXPECT_THROW(db->Query("SELECT 1"), EDatabaseError);
}

TEST_F(StoreConnection, AFailedStatementLeavesAWarning)
{
    LogCapture log(QStringLiteral("kivro.store"));
    EXPECT_FALSE(db->ExecuteSQL("INSERT INTO nowhere VALUES(1)"));
    ASSERT_EQ(log.Lines().size(), 1);
    // Shown without any logging rules: a handled failure, not a trace.
    EXPECT_EQ(log.Types(), QList<QtMsgType>{QtWarningMsg});
    EXPECT_TRUE(log.Lines()[0].contains(QStringLiteral("no such table: nowhere")))
        << log.Lines()[0].toStdString();
    EXPECT_TRUE(log.Lines()[0].contains(QStringLiteral("INSERT INTO nowhere")));
}

TEST_F(StoreConnection, SqlcipherShellOpensTheFileWithPragmaKey)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    ImportNumberedBook(Gbk("课本"), 3);
    db->CloseDatabase();
    QProcess process;
    process.start(shell, {QString::fromStdString(DatabasePath())});
    process.write(
        "PRAGMA key='QZWK@3817#tlmv';\nSELECT bookname || '|' || wordnumber FROM bookinfo;\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
              QStringLiteral("课本|3"));
}

TEST_F(StoreConnection, IdentifiersAreQuotedWhateverTheyHold)
{
    EXPECT_EQ(QuoteIdentifier("a\"b"), "\"a\"\"b\"");
    EXPECT_THROW(QuoteIdentifier(std::string("a\0b", 3)), EDatabaseError);

    const std::string odd = "we\"ird'name; DROP TABLE bookinfo; --";
    ASSERT_TRUE(CreateLibraryTable(odd));
    EXPECT_TRUE(TableExists(odd));
    EXPECT_TRUE(ImportWordLine("word[x]y", odd));
    EXPECT_EQ(TableRows(odd).size(), 1u);
    TGamePara para;
    para.StoreTableName = odd;
    TWordInfos words;
    EXPECT_TRUE(LoadTollGateWords(para, 1, words));
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Spelling, "word");
    EXPECT_TRUE(DropTable(odd));
    EXPECT_FALSE(TableExists(odd));
    EXPECT_TRUE(TableExists("bookinfo"));
    EXPECT_FALSE(CreateLibraryTable(std::string("nul\0name", 8)));
}

TEST_F(StoreConnection, TableExistsIgnoresCaseAndLeavesOutSystemTables)
{
    ASSERT_TRUE(CreateLibraryTable("lib5"));  // AUTOINCREMENT makes sqlite_sequence
    EXPECT_TRUE(TableExists("LIB5"));
    EXPECT_TRUE(TableExists("BookInfo"));
    EXPECT_FALSE(TableExists("lib6"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_sequence'"), 1);
    EXPECT_FALSE(TableExists("sqlite_sequence"));
    EXPECT_FALSE(TableExists("lib_"));  // "_" is no wildcard
}

TEST_F(StoreConnection, ColumnLimitsCountCharactersOfTheStoredText)
{
    ASSERT_TRUE(CreateLibraryTable("lib1"));
    ASSERT_TRUE(CreateShuffledTable("randomlib1"));
    const auto row = [](const std::string &spelling, const std::string &meaning) {
        TWordInfo w;
        w.Spelling = spelling;
        w.Meaning = meaning;
        return w;
    };
    std::string chinese255;
    for (int i = 0; i < 255; ++i)
        chinese255 += Gbk("词");
    EXPECT_TRUE(InsertWordInfo(row(std::string(255, 'a'), chinese255), "lib1"));
    EXPECT_FALSE(InsertWordInfo(row(std::string(256, 'a'), ""), "lib1"));
    EXPECT_FALSE(InsertWordInfo(row("a", chinese255 + Gbk("词")), "lib1"));
    EXPECT_TRUE(InsertWordInfo(row(std::string(100, 'a'), ""), "randomlib1"));
    EXPECT_FALSE(InsertWordInfo(row(std::string(101, 'a'), ""), "randomlib1"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM lib1"), 1);
    EXPECT_EQ(Scalar("SELECT max(id) FROM lib1"), 1) << "a refused row used up an id";
}

TEST_F(StoreConnection, ReusedStatementsSurviveADroppedAndRecreatedTable)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(CreateLibraryTable("lib1"));
        EXPECT_TRUE(ImportWordLine("a[b]c", "lib1"));
        EXPECT_TRUE(ImportWordLine("d[e]f", "lib1"));
        EXPECT_EQ(TableRows("lib1").size(), 2u);
        ASSERT_TRUE(DropTable("lib1"));
    }
}

}  // namespace
