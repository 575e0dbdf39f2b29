#include <algorithm>

#include "StoreFixture.h"
#include "UBookType.h"
#include "UImpExpLib.h"

namespace {

class StoreCatalogue : public StoreFixture {};

// Records what FillBookTree asks of the dialog's tree.
class FakeTree final : public TBookTree {
public:
    struct Node {
        std::string caption;
        std::vector<std::pair<std::string, int>> books;
    };
    void Clear() override { nodes.clear(); }
    int AddClassNode(const std::string &caption) override
    {
        nodes.push_back({caption, {}});
        return static_cast<int>(nodes.size()) - 1;
    }
    void AddBookNode(int classNode, const std::string &caption, int id) override
    {
        nodes.at(static_cast<size_t>(classNode)).books.emplace_back(caption, id);
    }
    void ReleaseBookIds() override { ++released; }

    std::vector<Node> nodes;
    int released = 0;
};

TEST_F(StoreCatalogue, BookQueriesAnswerForRowsAndForMissingRows)
{
    const int id = ImportNumberedBook(Gbk("《最新TOEFL词汇》"), 3, 6);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(GetBookWordNumber(id), 3);
    EXPECT_EQ(GetBookTableName(id), "lib1");
    EXPECT_EQ(GetBookName(id), Gbk("《最新TOEFL词汇》"));
    EXPECT_EQ(GetBookClass(id), 6);
    EXPECT_EQ(GetBookId(Gbk("《最新TOEFL词汇》"), 0), id);
    EXPECT_TRUE(BookNameExists(Gbk("《最新TOEFL词汇》")));

    EXPECT_EQ(GetBookWordNumber(99), -1);
    EXPECT_EQ(GetBookTableName(99), "");
    EXPECT_EQ(GetBookName(99), "");
    EXPECT_EQ(GetBookClass(99), -1);
    EXPECT_EQ(GetBookId(Gbk("《最新TOEFL词汇》"), 2), -1);
    EXPECT_EQ(GetBookId("nothing", 0), -1);
    EXPECT_FALSE(BookNameExists("nothing"));
    // Names compare exactly.
    EXPECT_FALSE(BookNameExists(Gbk("《最新toefl词汇》")));
}

TEST_F(StoreCatalogue, QuotesInNamesAndWordsRoundTrip)
{
    const int id = ImportBook("O'Neil", {"don't[dEunt]it's \"quoted\""});
    EXPECT_TRUE(BookNameExists("O'Neil"));
    EXPECT_EQ(GetBookId("O'Neil", 0), id);
    EXPECT_EQ(GetBookName(id), "O'Neil");
    const std::vector<TWordInfo> rows = TableRows("lib1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Spelling, "don't");
    EXPECT_EQ(rows[0].Meaning, "it's \"quoted\"");
}

TEST_F(StoreCatalogue, NextBookIdFollowsTheLargestId)
{
    EXPECT_EQ(NextBookId(), 1);
    ASSERT_TRUE(AddLibraryBookInfo("a", "lib7", 1, 7, 0, 1, 1));
    EXPECT_EQ(NextBookId(), 8);
    ASSERT_TRUE(AddLibraryBookInfo("b", "lib3", 1, 3, 0, 1, 1));
    EXPECT_EQ(NextBookId(), 8);
}

TEST_F(StoreCatalogue, DuplicateIdsAndNamesOfOneOrderAreRefused)
{
    ASSERT_TRUE(AddLibraryBookInfo("a", "lib1", 1, 1, 0, 1, 1));
    EXPECT_FALSE(AddLibraryBookInfo("b", "lib1", 1, 1, 0, 1, 1));
    EXPECT_FALSE(AddLibraryBookInfo("a", "lib2", 1, 2, 0, 1, 1));
    // The shuffled copy shares the name under its own book type.
    EXPECT_TRUE(AddLibraryBookInfo("a", "randomlib1", 1, 2, 2, 1, 0));
    EXPECT_EQ(GetBookId("a", 0), 1);
    EXPECT_EQ(GetBookId("a", 2), 2);
}

TEST_F(StoreCatalogue, TreeListsClassEightFirstAndOnlyDefaultBooksWithWords)
{
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("中学"), "lib1", 10, 1, 0, 2, 1));
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("生词"), "lib2", 5, 2, 0, 8, 1));
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("空书"), "lib3", 0, 3, 0, 3, 1));  // class 3: node, no book
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("隐藏"), "lib4", 9, 4, 0, 4, 0));  // not default: no class 4
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("中学二"), "lib5", 3, 5, 0, 2, 1));
    // A shuffled copy keeps the default isdefault and so is no second node.
    ASSERT_TRUE(RegisterShuffledBook(6, 10, Gbk("中学"), "randomlib1", 2, 1));
    // Books are listed by id, whatever order they were added in.
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("中学零"), "lib0", 3, 0, 0, 2, 1));

    FakeTree tree;
    tree.AddClassNode("stale");
    FillBookTree(tree);
    ASSERT_EQ(tree.nodes.size(), 3u);
    EXPECT_EQ(tree.nodes[0].caption, Gbk("生词本"));
    EXPECT_EQ(tree.nodes[1].caption, Gbk("中学英语"));
    EXPECT_EQ(tree.nodes[2].caption, Gbk("大学英语"));
    using Books = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(tree.nodes[0].books, (Books{{Gbk("生词"), 2}}));
    EXPECT_EQ(tree.nodes[1].books,
              (Books{{Gbk("中学零"), 0}, {Gbk("中学"), 1}, {Gbk("中学二"), 5}}));
    EXPECT_TRUE(tree.nodes[2].books.empty());
    FreeBookTreeData(tree);
    EXPECT_EQ(tree.released, 1);
}

TEST_F(StoreCatalogue, ClassCaptions)
{
    EXPECT_EQ(BookClassCaption(1), Gbk("小学英语"));
    EXPECT_EQ(BookClassCaption(4), Gbk("研究生英语"));
    EXPECT_EQ(BookClassCaption(7), Gbk("其它英语"));
    EXPECT_EQ(BookClassCaption(8), Gbk("生词本"));
    EXPECT_EQ(BookClassCaption(0), "");
    EXPECT_EQ(BookClassCaption(9), "");
}

}  // namespace
