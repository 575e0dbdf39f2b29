// Books installed with a newer program reach the player's database.
#include <filesystem>

#include "Scramble.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

namespace fs = std::filesystem;

class StoreShippedBooks : public StoreFixture {
protected:
    // The database as installed, holding the books given; the player's
    // database then starts again from an empty one.
    std::string MakeShipped(const std::vector<std::string> &names, int encrypt = 0)
    {
        WriteConfig(encrypt);
        for (const std::string &name : names)
            ImportNumberedBook(Gbk(name), 3, 2);
        db->CloseDatabase();
        std::string shipped = dir.Path("shipped.mdb");
        fs::rename(DatabasePath(), shipped);
        CreateStoreDatabase(DatabasePath());
        WriteConfig(0);
        if (!db->ConnectDatabase())
            throw std::runtime_error("the player's database does not open");
        return shipped;
    }

    std::int64_t BookId(const std::string &name)
    {
        TSqlQuery row =
            db->Query("SELECT id FROM bookinfo WHERE bookname = ? AND booktype = 0", {name});
        return row.Next() ? row.Integer(0) : -1;
    }
};

TEST_F(StoreShippedBooks, OnlyBooksMissingByNameAreAddedAfterThePlayersOwn)
{
    const std::string shipped = MakeShipped({"书甲", "书乙"});
    // The player imported a book of their own, and has 书甲 already, changed.
    const int own = ImportNumberedBook(Gbk("我的书"), 2);
    ImportNumberedBook(Gbk("书甲"), 1);
    ASSERT_TRUE(db->ExecuteSQL("INSERT INTO gamerecord(name, score) VALUES('me', 500)"));

    EXPECT_EQ(AddShippedBooks(shipped, false), 1);

    const std::int64_t added = BookId("书乙");
    EXPECT_EQ(added, own + 2);
    TSqlQuery table = db->Query("SELECT storetablename FROM bookinfo WHERE id = ?", {added});
    ASSERT_TRUE(table.Next());
    EXPECT_EQ(table.Text(0), LibraryTableName(static_cast<int>(added)));
    const std::vector<TWordInfo> rows = TableRows(LibraryTableName(static_cast<int>(added)));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Spelling, NumberedSpelling(1));
    EXPECT_EQ(rows[2].Meaning, "m3");
    EXPECT_EQ(Scalar("SELECT wordnumber FROM bookinfo WHERE id = " + std::to_string(added)), 3);
    EXPECT_EQ(Scalar("SELECT bookclass FROM bookinfo WHERE id = " + std::to_string(added)), 2);
    // Nothing of the player's changed.
    EXPECT_EQ(TableRows(LibraryTableName(own)).size(), 2u);
    EXPECT_EQ(Scalar("SELECT wordnumber FROM bookinfo WHERE bookname = '书甲'"), 1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM gamerecord"), 1);

    // The next start finds nothing to add.
    EXPECT_EQ(AddShippedBooks(shipped, false), 0);
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 3);
}

TEST_F(StoreShippedBooks, TextsAreConvertedBetweenScrambledAndPlainFiles)
{
    const std::string shipped = MakeShipped({"书丙"}, 1);
    ASSERT_EQ(AddShippedBooks(shipped, true), 1);
    const std::vector<TWordInfo> rows =
        TableRows(LibraryTableName(static_cast<int>(BookId("书丙"))));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].Spelling, NumberedSpelling(2));
    EXPECT_EQ(rows[1].Meaning, "m2");

    // A scrambled player's file gets them scrambled.
    WriteConfig(1);
    db->ExecuteSQL("DELETE FROM bookinfo");
    ASSERT_EQ(AddShippedBooks(shipped, true), 1);
    const std::string table = LibraryTableName(static_cast<int>(BookId("书丙")));
    TSqlQuery stored = db->Query("SELECT spelling FROM " + QuoteIdentifier(table) + " ORDER BY id");
    ASSERT_TRUE(stored.Next());
    EXPECT_EQ(UnscrambleText(stored.Text(0)), NumberedSpelling(1));
}

TEST_F(StoreShippedBooks, AnUnreadableShippedFileAddsNothing)
{
    ImportNumberedBook(Gbk("我的书"), 2);
    dir.WriteFile("broken.mdb", "not a database");
    EXPECT_EQ(AddShippedBooks(dir.Path("broken.mdb"), false), -1);
    EXPECT_EQ(AddShippedBooks(dir.Path("missing.mdb"), false), -1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 1);
}

}  // namespace
