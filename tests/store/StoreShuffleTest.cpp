#include <algorithm>
#include <deque>

#include "Random.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

// Draws the scripted values, then always the lowest.
class ScriptedRandom final : public TRandom {
public:
    explicit ScriptedRandom(std::deque<int> values) : m_values(std::move(values)) {}
    int RandomInt(int lo, int hi) override
    {
        if (m_values.empty())
            return lo;
        const int v = m_values.front();
        m_values.pop_front();
        return std::clamp(v, lo, hi);
    }

private:
    std::deque<int> m_values;
};

class StoreShuffle : public StoreFixture {
protected:
    ~StoreShuffle() override { SetProgramRandom(nullptr); }
    static std::vector<std::string> Spellings(const std::vector<TWordInfo> &rows)
    {
        std::vector<std::string> out;
        out.reserve(rows.size());
        for (const TWordInfo &w : rows)
            out.push_back(w.Spelling);
        return out;
    }
};

TEST_F(StoreShuffle, CopyHoldsTheBookInOneOrderEndingWithItsFirstWord)
{
    SeedProgramRandom(7);
    const int source = ImportNumberedBook(Gbk("课本"), 30, 3);
    TQuietProgress progress;
    const int copy = BuildShuffledBook(source, Gbk("课本"), progress);
    ASSERT_EQ(copy, 2);
    EXPECT_EQ(progress.Maximum(), 60);
    EXPECT_EQ(progress.Position(), 60);

    const std::vector<std::string> original = Spellings(TableRows("lib1"));
    const std::vector<std::string> shuffled = Spellings(TableRows("randomlib1"));
    ASSERT_EQ(shuffled.size(), 30u);
    EXPECT_EQ(shuffled.back(), "w1");
    EXPECT_NE(shuffled, original);
    EXPECT_TRUE(std::is_permutation(shuffled.begin(), shuffled.end(), original.begin()));
    // Rows are copied whole.
    const std::vector<TWordInfo> rows = TableRows("randomlib1");
    EXPECT_EQ(rows.back().Pronunciation, "p1");
    EXPECT_EQ(rows.back().Meaning, "m1");

    EXPECT_EQ(GetBookId(Gbk("课本"), 2), copy);
    EXPECT_EQ(GetBookId(Gbk("课本"), 0), source);
    EXPECT_EQ(GetBookTableName(copy), "randomlib1");
    EXPECT_EQ(GetBookWordNumber(copy), 30);
    EXPECT_EQ(GetBookClass(copy), 3);
    EXPECT_EQ(Scalar("SELECT isdefault FROM bookinfo WHERE id = 2"), 0);
}

TEST_F(StoreShuffle, TwoWordsAreReversedAndTheDrawnSwapsAreApplied)
{
    const int two = ImportNumberedBook("two", 2);
    TQuietProgress progress;
    ASSERT_NE(BuildShuffledBook(two, "two", progress), -1);
    EXPECT_EQ(Spellings(TableRows("randomlib1")), (std::vector<std::string>{"w2", "w1"}));

    // Positions 0..3; swaps (1,2) then three (1,1); then first and last trade.
    SetProgramRandom(std::make_shared<ScriptedRandom>(std::deque<int>{1, 2}));
    const int four = ImportNumberedBook("four", 4);
    ASSERT_NE(BuildShuffledBook(four, "four", progress), -1);
    EXPECT_EQ(Spellings(TableRows("randomlib3")),
              (std::vector<std::string>{"w4", "w3", "w2", "w1"}));
}

TEST_F(StoreShuffle, ASecondBuildFailsAndKeepsTheFirstCopy)
{
    const int source = ImportNumberedBook("b", 5);
    TQuietProgress progress;
    const int copy = BuildShuffledBook(source, "b", progress);
    ASSERT_NE(copy, -1);
    const std::vector<std::string> order = Spellings(TableRows("randomlib1"));
    EXPECT_EQ(BuildShuffledBook(source, "b", progress), -1);
    EXPECT_EQ(Spellings(TableRows("randomlib1")), order);
    EXPECT_EQ(GetBookId("b", 2), copy);
}

TEST_F(StoreShuffle, ALeftoverTableFailsTheBuildAndIsNotDropped)
{
    const int source = ImportNumberedBook("b", 5);
    ASSERT_TRUE(CreateShuffledTable("randomlib1"));
    TWordInfo kept;
    kept.Spelling = "kept";
    ASSERT_TRUE(InsertWordInfo(kept, "randomlib1"));
    TQuietProgress progress;
    EXPECT_EQ(BuildShuffledBook(source, "b", progress), -1);
    EXPECT_EQ(Spellings(TableRows("randomlib1")), std::vector<std::string>{"kept"});
    EXPECT_EQ(GetBookId("b", 2), -1);
}

TEST_F(StoreShuffle, ARowTooLongForTheCopyFailsAndLeavesNothing)
{
    WriteConfig(1);
    // 37 bytes scramble to 102 characters: more than the copy's 100.
    const int source = ImportBook("long", {"short[]", std::string(37, 'x') + "[]"});
    TQuietProgress progress;
    EXPECT_EQ(BuildShuffledBook(source, "long", progress), -1);
    EXPECT_FALSE(TableExists("randomlib1"));
    EXPECT_EQ(GetBookId("long", 2), -1);
    EXPECT_FALSE(db->Connection().InTransaction());
}

TEST_F(StoreShuffle, RegisteringReplacesTheRowOfThatNameAndOrder)
{
    const int source = ImportNumberedBook("b", 3, 5);
    ASSERT_TRUE(RegisterShuffledBook(10, 3, "b", "randomlib1", 2, source));
    ASSERT_TRUE(RegisterShuffledBook(11, 3, "b", "randomlib1", 2, source));
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo WHERE booktype = 2"), 1);
    EXPECT_EQ(GetBookId("b", 2), 11);
    EXPECT_EQ(GetBookClass(11), 5);
    EXPECT_EQ(GetBookId("b", 0), source);
}

}  // namespace
