#include "Scramble.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "WordTables.h"

namespace {

class StoreTollGate : public StoreFixture {
protected:
    TWordInfos Gate(const std::string &table, int n, bool *result = nullptr)
    {
        TGamePara para;
        para.StoreTableName = table;
        TWordInfos words(3);  // whatever was there is replaced
        const bool ok = LoadTollGateWords(para, n, words);
        if (result)
            *result = ok;
        return words;
    }
    static std::vector<std::string> Spellings(const TWordInfos &words)
    {
        std::vector<std::string> out;
        for (const TWordInfo &w : words)
            out.push_back(w.Spelling);
        return out;
    }
    static std::vector<std::string> Numbered(int from, int to)
    {
        std::vector<std::string> out;
        for (int k = from; k <= to; ++k)
            out.push_back(NumberedSpelling(k));
        return out;
    }
};

TEST_F(StoreTollGate, FortyFiveWordsMakeTwentyTwentyFiveAndNothing)
{
    ImportNumberedBook("b", 45);
    bool ok = false;
    EXPECT_EQ(Spellings(Gate("lib1", 1, &ok)), Numbered(1, 20));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Spellings(Gate("lib1", 2)), Numbered(21, 40));
    const TWordInfos third = Gate("lib1", 3, &ok);
    EXPECT_EQ(Spellings(third), Numbered(41, 45));
    EXPECT_TRUE(ok);
    ASSERT_EQ(third.size(), 5u);
    EXPECT_EQ(third[0].Pronunciation, "p01");  // digit codes converted on import
    EXPECT_EQ(third[0].Meaning, "m41");
    EXPECT_EQ(third[0].Reserved1, "");

    EXPECT_TRUE(Gate("lib1", 4, &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(Gate("lib1", 1000000000, &ok).empty());
    EXPECT_TRUE(ok);
    // No toll gate before the first.
    EXPECT_EQ(Spellings(Gate("lib1", 0)), Numbered(1, 20));
    EXPECT_EQ(Spellings(Gate("lib1", -3)), Numbered(1, 20));
}

TEST_F(StoreTollGate, EmptyAndMissingTablesGiveNothingAndFalse)
{
    ASSERT_TRUE(CreateLibraryTable("lib1"));
    bool ok = true;
    EXPECT_TRUE(Gate("lib1", 1, &ok).empty());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(Gate("lib404", 1, &ok).empty());
    EXPECT_FALSE(ok);
    db->CloseDatabase();
    ok = true;
    EXPECT_TRUE(Gate("lib1", 1, &ok).empty());
    EXPECT_FALSE(ok);
}

TEST_F(StoreTollGate, TablesWithGapsAreCutByPosition)
{
    ImportNumberedBook("b", 45);
    EXPECT_EQ(Spellings(Gate("lib1", 3)), Numbered(41, 45));  // counted once, then remembered
    ASSERT_TRUE(db->ExecuteSQL("DELETE FROM lib1 WHERE id = 5"));
    std::vector<std::string> first = Numbered(1, 4);
    for (const std::string &s : Numbered(6, 21))
        first.push_back(s);
    EXPECT_EQ(Spellings(Gate("lib1", 1)), first);
    EXPECT_EQ(Spellings(Gate("lib1", 3)), Numbered(42, 45));

    // As many rows as the largest id, yet a gap: an id 0 fills the count.
    ASSERT_TRUE(db->ExecuteSQL("INSERT INTO lib1(id, spelling) VALUES(0, 'zero')"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM lib1"), Scalar("SELECT max(id) FROM lib1"));
    first.insert(first.begin(), "zero");
    first.pop_back();
    EXPECT_EQ(Spellings(Gate("lib1", 1)), first);
    EXPECT_EQ(Spellings(Gate("lib1", 3)), Numbered(41, 45));
}

TEST_F(StoreTollGate, ChangesByAnotherProcessAreSeen)
{
    ImportNumberedBook("b", 45);
    EXPECT_EQ(Gate("lib1", 3).size(), 5u);
    {
        TSqlConnection other(DatabasePath(), DatabasePassword(),
                             TSqlConnection::OpenMode::ExistingOnly);
        other.Execute("DELETE FROM lib1 WHERE id = 2");
    }
    EXPECT_EQ(Spellings(Gate("lib1", 3)), Numbered(42, 45));
}

TEST_F(StoreTollGate, ScrambledBooksLoadPlainAndBlankFieldsLoadEmpty)
{
    WriteConfig(1);
    ImportBook("b", {"apple[5pl]" + Gbk("苹果"), "blank[]", "gone[x]"});
    ASSERT_TRUE(db->ExecuteSQL("UPDATE lib1 SET meaning = '   ' WHERE id = 3"));
    const std::vector<TWordInfo> stored = TableRows("lib1");
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].Spelling, ScrambleText("apple"));
    EXPECT_EQ(stored[1].Pronunciation, "");  // the empty text scrambles to itself

    TWordInfos words = Gate("lib1", 1);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].Spelling, "apple");
    EXPECT_EQ(words[0].Pronunciation, "8pl");
    EXPECT_EQ(words[0].Meaning, Gbk("苹果"));
    EXPECT_EQ(words[1].Pronunciation, "");
    EXPECT_EQ(words[1].Meaning, "");
    EXPECT_EQ(words[2].Meaning, "");

    // Read plainly, the stored blanks come back as they are.
    WriteConfig(0);
    words = Gate("lib1", 1);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[2].Meaning, "   ");
    EXPECT_EQ(words[0].Spelling, ScrambleText("apple"));
}

}  // namespace
