// Deleting, renaming and hiding books in the catalogue.
#include "BookManage.h"
#include "Random.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

class TreeNames final : public TBookTree {
public:
    void Clear() override { names.clear(); }
    int AddClassNode(const std::string &caption) override
    {
        names.push_back("+" + GbkToUtf8(caption));
        return 0;
    }
    void AddBookNode(int, const std::string &caption, int) override
    {
        names.push_back(GbkToUtf8(caption));
    }
    void AddHiddenBookNode(int, const std::string &caption, int) override
    {
        names.push_back(GbkToUtf8(caption) + " (hidden)");
    }
    void ReleaseBookIds() override {}
    std::vector<std::string> names;
};

class StoreBooks : public StoreFixture {
protected:
    // A book with its shuffled copy built.
    int BookWithCopy(const std::string &name)
    {
        const int id = ImportNumberedBook(name, 5);
        TQuietProgress progress;
        copyId = BuildShuffledBook(id, name, progress);
        if (copyId < 0)
            throw std::runtime_error("no copy");
        return id;
    }
    std::vector<std::string> Tree(bool withHidden = false)
    {
        TreeNames tree;
        FillBookTree(tree, withHidden);
        return tree.names;
    }
    int copyId = -1;
};

TEST_F(StoreBooks, DeletingABookTakesItsTableRowAndShuffledCopyAndLeavesTheOthers)
{
    SeedProgramRandom(1);
    const int kept = BookWithCopy("kept");
    const int gone = BookWithCopy("gone");
    const std::vector<TWordInfo> keptRows = TableRows(GetBookTableName(kept));

    ASSERT_TRUE(DeleteBook(gone));
    EXPECT_FALSE(TableExists(LibraryTableName(gone)));
    EXPECT_FALSE(TableExists(ShuffledTableName(gone)));
    EXPECT_FALSE(BookNameExists("gone"));
    EXPECT_EQ(GetBookId("gone", 2), -1);
    // The other book and its copy are untouched.
    EXPECT_EQ(TableRows(GetBookTableName(kept)), keptRows);
    EXPECT_TRUE(TableExists(ShuffledTableName(kept)));
    EXPECT_NE(GetBookId("kept", 2), -1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 2);
    EXPECT_EQ(Tree(), (std::vector<std::string>{"+研究生英语", "kept"}));

    // Once more, or an unknown id: nothing to delete.
    EXPECT_FALSE(DeleteBook(gone));
    EXPECT_FALSE(DeleteBook(999));
    // A book without a copy is deleted too.
    const int plain = ImportNumberedBook("plain", 3);
    EXPECT_TRUE(DeleteBook(plain));
    EXPECT_FALSE(TableExists(LibraryTableName(plain)));
}

TEST_F(StoreBooks, ShippedBooksAreNeverDeletedOrRenamedButHideAndShow)
{
    for (const int id : {101, 102, 103, 104, 105, 106, 107, 109})
        EXPECT_TRUE(IsShippedBook(id)) << id;
    for (const int id : {1, 100, 108, 110})
        EXPECT_FALSE(IsShippedBook(id)) << id;

    ASSERT_TRUE(AddLibraryBookInfo(Gbk("《最新TOEFL词汇》"), "lib109", 40, 109, 0, 6, 1));
    ASSERT_TRUE(CreateLibraryTable("lib109"));
    EXPECT_FALSE(DeleteBook(109));
    EXPECT_FALSE(RenameBook(109, "other"));
    EXPECT_TRUE(TableExists("lib109"));
    EXPECT_EQ(GetBookName(109), Gbk("《最新TOEFL词汇》"));

    EXPECT_FALSE(IsBookHidden(109));
    ASSERT_TRUE(SetBookHidden(109, true));
    EXPECT_TRUE(IsBookHidden(109));
    EXPECT_EQ(Scalar("SELECT isdefault FROM bookinfo WHERE id = 109"), 0);
    EXPECT_TRUE(Tree().empty());
    EXPECT_EQ(Tree(true), (std::vector<std::string>{"+出国留学", "《最新TOEFL词汇》 (hidden)"}));
    ASSERT_TRUE(SetBookHidden(109, false));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"+出国留学", "《最新TOEFL词汇》"}));
    EXPECT_FALSE(SetBookHidden(555, true));
}

TEST_F(StoreBooks, ListingHiddenBooksNeverListsShuffledCopies)
{
    SeedProgramRandom(2);
    BookWithCopy("b");
    EXPECT_EQ(Tree(true), (std::vector<std::string>{"+研究生英语", "b"}));
}

TEST_F(StoreBooks, RenamingTakesTheShuffledCopyAlongAndRefusesATakenName)
{
    SeedProgramRandom(4);
    const int id = BookWithCopy("old");
    ImportNumberedBook("other", 2);
    ASSERT_TRUE(RenameBook(id, Gbk("新名字")));
    EXPECT_EQ(GetBookName(id), Gbk("新名字"));
    EXPECT_EQ(GetBookId(Gbk("新名字"), 2), copyId);
    EXPECT_FALSE(BookNameExists("old"));

    EXPECT_FALSE(RenameBook(id, "other"));
    EXPECT_EQ(GetBookName(id), Gbk("新名字"));
    EXPECT_FALSE(RenameBook(777, "free"));
}

TEST_F(StoreBooks, AChangeTheDatabaseRefusesChangesNothing)
{
    const int id = ImportNumberedBook("held", 3);
    {
        const auto holder = HoldDatabase("BEGIN IMMEDIATE");
        ASSERT_TRUE(holder->Ready());
        EXPECT_FALSE(DeleteBook(id));
        EXPECT_FALSE(RenameBook(id, "renamed"));
        EXPECT_FALSE(SetBookHidden(id, true));
    }
    EXPECT_TRUE(TableExists(LibraryTableName(id)));
    EXPECT_EQ(GetBookName(id), "held");
    EXPECT_FALSE(IsBookHidden(id));
}

TEST_F(StoreBooks, ABookIsFoundByItsTableWhateverItsOrder)
{
    SeedProgramRandom(5);
    const int id = BookWithCopy("found");
    const std::optional<TBookRow> own = FindBookByTable("LIB" + std::to_string(id));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->Id, id);
    EXPECT_EQ(own->Name, "found");
    EXPECT_EQ(own->WordNumber, 5);
    const std::optional<TBookRow> copy = FindBookByTable(ShuffledTableName(id));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Id, copyId);
    DeleteBook(id);
    EXPECT_FALSE(FindBookByTable(LibraryTableName(id)));
    EXPECT_FALSE(FindBookByTable(ShuffledTableName(id)));
}

}  // namespace
