#include <filesystem>
#include <fstream>
#include <iterator>

#include "SchemaVersion.h"
#include "StoreFixture.h"
#include "UBookType.h"

namespace {

std::string fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StoreSchema : public StoreFixture {
protected:
    // Makes the test database look like a file of another program version,
    // holding one book, and closes it.
    void StampAndClose(int version)
    {
        bookId = ImportNumberedBook(Gbk("《旧词汇》"), 25);
        db->Connection().Execute("PRAGMA user_version = " + std::to_string(version));
        db->CloseDatabase();
    }
    int VersionOnDisk() const
    {
        TSqlConnection connection(DatabasePath(), DatabasePassword(),
                                  TSqlConnection::OpenMode::ExistingOnly);
        return ReadSchemaVersion(connection);
    }
    std::string BackupPath() const { return SchemaBackupPath(DatabasePath()); }

    int bookId = 0;
};

TEST_F(StoreSchema, ANewFileIsStampedAndOpensWithoutABackup)
{
    EXPECT_EQ(CurrentSchemaVersion(), 6);
    EXPECT_EQ(ReadSchemaVersion(db->Connection()), CurrentSchemaVersion());
    db->CloseDatabase();
    EXPECT_TRUE(db->ConnectDatabase());
    EXPECT_FALSE(std::filesystem::exists(BackupPath()));
}

TEST_F(StoreSchema, AnUnversionedFileIsBackedUpThenStampedWithItsWordsUntouched)
{
    StampAndClose(0);
    const std::string before = fileBytes(DatabasePath());

    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(ReadSchemaVersion(db->Connection()), CurrentSchemaVersion());
    EXPECT_EQ(GetBookWordNumber(bookId), 25);
    EXPECT_EQ(TableRows(GetBookTableName(bookId)).size(), 25u);
    EXPECT_EQ(TableRows(GetBookTableName(bookId))[24].Spelling, NumberedSpelling(25));

    // The backup is the file exactly as it was, and opens as a database.
    ASSERT_TRUE(std::filesystem::exists(BackupPath()));
    EXPECT_EQ(fileBytes(BackupPath()), before);
    std::filesystem::copy_file(BackupPath(), dir.Path("data/old.mdb"));
    TSqlConnection backup(dir.Path("data/old.mdb"), DatabasePassword(),
                          TSqlConnection::OpenMode::ExistingOnly);
    EXPECT_EQ(ReadSchemaVersion(backup), 0);

    // Once migrated, opening again copies nothing.
    db->CloseDatabase();
    std::filesystem::remove(BackupPath());
    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_FALSE(std::filesystem::exists(BackupPath()));
}

TEST_F(StoreSchema, AVersionTwoFileGainsTheTypingColumnsAndKeepsItsReviews)
{
    // The review log and the tables as version 2 made them, with one review.
    TSqlConnection &c = db->Connection();
    c.Execute("DROP TABLE reviewlog");
    c.Execute("DROP TABLE memoryparams");
    c.Execute("CREATE TABLE reviewlog(id INTEGER PRIMARY KEY, spelling TEXT NOT NULL, "
              "at INTEGER NOT NULL, rating INTEGER NOT NULL, stability REAL NOT NULL, "
              "difficulty REAL NOT NULL, due INTEGER NOT NULL, state INTEGER NOT NULL)");
    c.Execute("INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, due, state) "
              "VALUES('apple', 1000, 3, 2.5, 4.75, 90000000, 2)");
    StampAndClose(2);
    const std::string before = fileBytes(DatabasePath());

    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(ReadSchemaVersion(db->Connection()), CurrentSchemaVersion());
    EXPECT_EQ(fileBytes(BackupPath()), before);
    TSqlQuery old = db->Connection().Query(
        "SELECT spelling, at, rating, stability, difficulty, due, state, level, playmode, "
        "firstkeyms, lastkeyms, letterspersec FROM reviewlog");
    ASSERT_TRUE(old.Next());
    EXPECT_EQ(old.Text(0), "apple");
    EXPECT_EQ(old.Integer(1), 1000);
    EXPECT_EQ(old.Integer(2), 3);
    EXPECT_EQ(old.Real(3), 2.5);
    EXPECT_EQ(old.Real(4), 4.75);
    EXPECT_EQ(old.Integer(5), 90000000);
    // What was not kept then is unknown, not zero.
    for (const char *column : {"level", "playmode", "firstkeyms", "lastkeyms", "letterspersec"})
        EXPECT_TRUE(old.IsNull(column)) << column;
    EXPECT_FALSE(old.Next());
    // The parameters' log is there, empty: the defaults are in force.
    TSqlQuery params = db->Connection().Query("SELECT count(*) FROM memoryparams");
    ASSERT_TRUE(params.Next());
    EXPECT_EQ(params.Integer(0), 0);
}

TEST_F(StoreSchema, AFileOfANewerProgramIsRefusedAndLeftAlone)
{
    StampAndClose(CurrentSchemaVersion() + 1);
    const std::string before = fileBytes(DatabasePath());

    EXPECT_FALSE(db->ConnectDatabase());
    EXPECT_FALSE(db->Connected());
    EXPECT_EQ(db->ConnectFailureMessage(),
              QStringLiteral("无法打开单词数据库：") + QString::fromStdString(DatabasePath()));
    EXPECT_EQ(fileBytes(DatabasePath()), before);
    EXPECT_FALSE(std::filesystem::exists(BackupPath()));
}

TEST_F(StoreSchema, AFailedMigrationLeavesTheFileAsItWas)
{
    StampAndClose(0);
    TSqlConnection connection(DatabasePath(), DatabasePassword(),
                              TSqlConnection::OpenMode::ExistingOnly);
    // The first step changes the file, the second fails after its own change.
    const std::vector<TMigrationStep> steps = {
        [](TSqlTransaction &t) { t.Execute("CREATE TABLE added(x INTEGER)"); },
        [](TSqlTransaction &t) {
            t.Execute("DELETE FROM bookinfo");
            t.Execute("INSERT INTO nowhere VALUES(1)");
        },
    };
    EXPECT_THROW(MigrateDatabase(connection, DatabasePath(), steps), EDatabaseError);
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(ReadSchemaVersion(connection), 0);
    TSqlQuery added = connection.Query("SELECT count(*) FROM sqlite_master WHERE name = 'added'");
    ASSERT_TRUE(added.Next());
    EXPECT_EQ(added.Integer(0), 0);
    TSqlQuery books = connection.Query("SELECT count(*) FROM bookinfo");
    ASSERT_TRUE(books.Next());
    EXPECT_EQ(books.Integer(0), 1);

    // The steps run in order, from the file's version on, each once.
    std::vector<int> ran;
    const std::vector<TMigrationStep> counted = {
        [&ran](TSqlTransaction &) { ran.push_back(1); },
        [&ran](TSqlTransaction &) { ran.push_back(2); },
    };
    connection.Execute("PRAGMA user_version = 1");
    EXPECT_EQ(MigrateDatabase(connection, DatabasePath(), counted), TMigrationResult::Migrated);
    EXPECT_EQ(ran, std::vector<int>{2});
    EXPECT_EQ(ReadSchemaVersion(connection), 2);
    EXPECT_EQ(MigrateDatabase(connection, DatabasePath(), counted), TMigrationResult::UpToDate);
    EXPECT_EQ(MigrateDatabase(connection, DatabasePath(), {counted[0]}), TMigrationResult::TooNew);
    EXPECT_EQ(ran, std::vector<int>{2});
}

TEST_F(StoreSchema, NoBackupMeansNoMigration)
{
    StampAndClose(0);
    // A folder where the backup should go cannot be replaced by a file.
    std::filesystem::create_directory(BackupPath());
    EXPECT_FALSE(db->ConnectDatabase());
    EXPECT_EQ(VersionOnDisk(), 0);
    std::filesystem::remove(BackupPath());
    EXPECT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(VersionOnDisk(), CurrentSchemaVersion());
}

}  // namespace
