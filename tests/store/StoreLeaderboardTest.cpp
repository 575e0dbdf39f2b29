#include "Clock.h"
#include "StoreFixture.h"
#include "UBookType.h"

namespace {

class FixedClock final : public TClock {
public:
    QDate Today() const override { return QDate(2024, 3, 9); }
};

class StoreLeaderboard : public StoreFixture {
protected:
    StoreLeaderboard() { SetProgramClock(std::make_shared<FixedClock>()); }
    ~StoreLeaderboard() override { SetProgramClock(nullptr); }
};

TEST_F(StoreLeaderboard, TwentyBestAreRankedOneToTwenty)
{
    for (int k = 1; k <= 25; ++k)
        ASSERT_TRUE(AddGameRecord(std::string("p").append(std::to_string(k)), k * 100));
    const std::vector<TGameRecordItem> items = LoadGameRecords();
    ASSERT_EQ(items.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(items[static_cast<size_t>(i)].Rank, i + 1);
        EXPECT_EQ(items[static_cast<size_t>(i)].Score, (25 - i) * 100);
        EXPECT_EQ(items[static_cast<size_t>(i)].Name,
                  std::string("p").append(std::to_string(25 - i)));
    }
}

TEST_F(StoreLeaderboard, EqualScoresTakeConsecutiveRanks)
{
    AddGameRecord("first", 500);
    AddGameRecord("second", 500);
    AddGameRecord("top", 900);
    const std::vector<TGameRecordItem> items = LoadGameRecords();
    EXPECT_EQ(items, (std::vector<TGameRecordItem>{
                         {1, "top", 900}, {2, "first", 500}, {3, "second", 500}}));
}

TEST_F(StoreLeaderboard, NamesAreStoredExactlyAsTypedWithTheDay)
{
    AddGameRecord(" ab ", 1);
    AddGameRecord("O'Neil", 2);
    AddGameRecord(Gbk("小明"), 3);
    AddGameRecord(Gbk("小明"), 3);  // twice on one day: two rows
    const std::vector<TGameRecordItem> items = LoadGameRecords();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].Name, Gbk("小明"));
    EXPECT_EQ(items[2].Name, "O'Neil");
    EXPECT_EQ(items[3].Name, " ab ");
    TSqlQuery dates = db->Query("SELECT DISTINCT recoretime FROM gamerecord");
    ASSERT_TRUE(dates.Next());
    EXPECT_EQ(dates.Text(0), "2024-03-09");
    EXPECT_FALSE(dates.Next());
}

TEST_F(StoreLeaderboard, ANameTooLongIsAnErrorAndStoresNothing)
{
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += Gbk("名");
    EXPECT_TRUE(AddGameRecord(fifty, 1));
    EXPECT_THROW(AddGameRecord(fifty + "x", 2), EDatabaseError);
    EXPECT_EQ(LoadGameRecords().size(), 1u);
    db->CloseDatabase();
    EXPECT_THROW(LoadGameRecords(), EDatabaseError);
}

}  // namespace
