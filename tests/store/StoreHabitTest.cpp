#include <time.h>

#include <optional>
#include <string>

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

#include "LocalZone.h"
#include "StoreFixture.h"
#include "StudyHabit.h"

namespace {

std::int64_t localMs(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi)).toMSecsSinceEpoch();
}

class StoreHabit : public StoreFixture {
protected:
    void Review(const std::string &word, std::int64_t at, int rating)
    {
        ASSERT_TRUE(db->ExecuteSQL("INSERT INTO reviewlog(spelling, at, rating, stability, "
                                   "difficulty, due, state) VALUES(?, ?, ?, 1, 5, 0, 2)",
                                   {word, at, std::int64_t{rating}}));
    }
    void Card(const std::string &word, std::int64_t due, int bookId)
    {
        ASSERT_TRUE(db->ExecuteSQL("INSERT INTO wordmemory(spelling, due, bookid, state) "
                                   "VALUES(?, ?, ?, 2)",
                                   {word, due, std::int64_t{bookId}}));
    }
};

// Each row: a zone, a review's local time, and the local day it must count
// for; the days around two clock changes are 23 and 25 hours long.
TEST_F(StoreHabit, WordsCountOnTheLocalDayTheyWerePlayedAcrossZonesAndClockChanges)
{
    const QDate march29(2026, 3, 29);
    const QDate october25(2026, 10, 25);
    const struct {
        const char *Zone;
        int Y, Mo, D, H, Mi;
        QDate Day;
    } rows[] = {
        {"Asia/Shanghai", 2026, 12, 10, 23, 59, QDate(2026, 12, 10)},
        {"Asia/Shanghai", 2026, 12, 11, 0, 0, QDate(2026, 12, 11)},
        {"Asia/Shanghai", 2026, 12, 11, 0, 14, QDate(2026, 12, 11)},
        // The spring change: 02:00 becomes 03:00; the day has 23 hours.
        {"Europe/Berlin", 2026, 3, 29, 1, 59, march29},
        {"Europe/Berlin", 2026, 3, 29, 3, 0, march29},
        {"Europe/Berlin", 2026, 3, 29, 23, 59, march29},
        {"Europe/Berlin", 2026, 3, 30, 0, 0, QDate(2026, 3, 30)},
        // The autumn change: 03:00 becomes 02:00; the day has 25 hours.
        {"Europe/Berlin", 2026, 10, 25, 0, 30, october25},
        {"Europe/Berlin", 2026, 10, 25, 23, 45, october25},
        {"Europe/Berlin", 2026, 10, 24, 23, 59, QDate(2026, 10, 24)},
        {"Europe/Berlin", 2026, 10, 26, 0, 1, QDate(2026, 10, 26)},
        // A half-hour zone: its midnight is not on a UTC hour.
        {"Asia/Kolkata", 2026, 12, 10, 23, 40, QDate(2026, 12, 10)},
        {"Asia/Kolkata", 2026, 12, 11, 0, 20, QDate(2026, 12, 11)},
    };
    for (const auto &row : rows) {
        const TLocalZone zone(row.Zone);
        ASSERT_TRUE(db->ExecuteSQL("DELETE FROM reviewlog"));
        const std::int64_t at = localMs(row.Y, row.Mo, row.D, row.H, row.Mi);
        Review("w", at, 3);
        Review("x", at, 1);
        Review("known", at, 0);
        const std::vector<TDayPlay> days = ReadDailyPlay(row.Day.addDays(-1), row.Day.addDays(1));
        ASSERT_EQ(days.size(), 3u);
        SCOPED_TRACE(std::string(row.Zone) + " "
                     + QDateTime::fromMSecsSinceEpoch(at).toString(Qt::ISODate).toStdString());
        EXPECT_EQ(days[0].Words, 0);
        EXPECT_EQ(days[1].Day, row.Day);
        EXPECT_EQ(days[1].Words, 2);
        EXPECT_EQ(days[1].Right, 1);
        EXPECT_EQ(days[2].Words, 0);
        // The goal and the streak go by the same days: two words reach a goal
        // of two on the review's day only, and a third word a minute later in
        // the same game still counts for that day.
        const std::vector<TDayPlay> upToDay(days.begin(), days.begin() + 2);
        EXPECT_EQ(StudyStreak(upToDay, 2), 1);
        EXPECT_EQ(StudyStreak(upToDay, 3), 0);
        EXPECT_EQ(StudyStreak(days, 2), 1);  // the next day not reached yet
        Review("y", at + 60'000, 3);
        const std::vector<TDayPlay> later = ReadDailyPlay(row.Day, row.Day);
        ASSERT_EQ(later.size(), 1u);
        const bool sameDay = at + 60'000 < row.Day.addDays(1).startOfDay().toMSecsSinceEpoch();
        EXPECT_EQ(later[0].Words, sameDay ? 3 : 2);
        EXPECT_EQ(StudyStreak(later, 3), sameDay ? 1 : 0);
    }
    const TLocalZone berlin("Europe/Berlin");
    const std::vector<std::int64_t> spring = LocalDayStarts(march29, march29);
    ASSERT_EQ(spring.size(), 2u);
    EXPECT_EQ(spring[1] - spring[0], 23 * 3600000LL);
    const std::vector<std::int64_t> autumn = LocalDayStarts(october25, october25);
    EXPECT_EQ(autumn[1] - autumn[0], 25 * 3600000LL);
    EXPECT_TRUE(LocalDayStarts(october25, march29).empty());
}

TEST_F(StoreHabit, TheStreakCountsDaysThatReachedTheGoalAndTodayOnlyOnceReached)
{
    const auto days = [](std::initializer_list<int> words) {
        std::vector<TDayPlay> result;
        QDate day(2026, 12, 1);
        for (const int w : words) {
            result.push_back({day, w, w});
            day = day.addDays(1);
        }
        return result;
    };
    EXPECT_EQ(StudyStreak(days({100, 120, 100}), 100), 3);
    // Today not reached yet: the run up to yesterday still stands.
    EXPECT_EQ(StudyStreak(days({100, 120, 37}), 100), 2);
    EXPECT_EQ(StudyStreak(days({100, 99, 100, 0}), 100), 1);
    EXPECT_EQ(StudyStreak(days({100, 0, 0}), 100), 0);
    EXPECT_EQ(StudyStreak(days({}), 100), 0);
    EXPECT_EQ(StudyStreak(days({5}), 0), 0);

    // Read from the log: a day change during play splits one game's words.
    const TLocalZone zone("Asia/Shanghai");
    for (int i = 0; i < 3; ++i)
        Review("a" + std::to_string(i), localMs(2026, 12, 9, 23, 58), 3);
    for (int i = 0; i < 2; ++i)
        Review("b" + std::to_string(i), localMs(2026, 12, 10, 0, 1), 3);
    const std::vector<TDayPlay> read = ReadDailyPlay(QDate(2026, 12, 8), QDate(2026, 12, 10));
    EXPECT_EQ(StudyStreak(read, 3), 1);
    EXPECT_EQ(StudyStreak(read, 2), 2);
}

TEST_F(StoreHabit, TheForecastPutsOverdueWordsTodayAndCountsEachComingLocalDay)
{
    const TLocalZone zone("Europe/Berlin");
    const std::int64_t now = localMs(2026, 3, 28, 12, 0);
    Card("overdue", localMs(2026, 3, 1, 9, 0), 1);
    Card("today", localMs(2026, 3, 28, 23, 59), 1);
    Card("sunday", localMs(2026, 3, 29, 23, 30), 1);  // the 23-hour day
    Card("monday", localMs(2026, 3, 30, 0, 0), 2);
    Card("later", localMs(2026, 5, 1, 8, 0), 1);
    Card("never", 0, 1);
    const std::vector<int> all = ReadDueForecast(now, 30);
    ASSERT_EQ(all.size(), 30u);
    EXPECT_EQ(all[0], 2);
    EXPECT_EQ(all[1], 1);
    EXPECT_EQ(all[2], 1);
    int total = 0;
    for (const int n : all)
        total += n;
    EXPECT_EQ(total, 4);
    const std::vector<int> book2 = ReadDueForecast(now, 30, 2);
    EXPECT_EQ(book2[2], 1);
    EXPECT_EQ(book2[0] + book2[1], 0);
    EXPECT_TRUE(ReadDueForecast(now, 0).empty());
}

TEST_F(StoreHabit, RetentionCountsOnlyReviewsALocalDayOrMoreAfterTheWordsPreviousOne)
{
    const TLocalZone zone("Asia/Shanghai");
    Card("a", 1, 1);
    Card("b", 1, 2);
    // a: first meeting, again the same evening (not spaced), next morning
    // recalled, a month later forgotten; a mark of 已掌握 is no review.
    Review("a", localMs(2026, 11, 30, 20, 0), 1);
    Review("a", localMs(2026, 11, 30, 23, 50), 3);
    Review("a", localMs(2026, 12, 1, 0, 10), 3);
    Review("a", localMs(2026, 12, 1, 9, 0), 0);
    Review("a", localMs(2026, 12, 30, 9, 0), 1);
    // b: recalled on two later days.
    Review("b", localMs(2026, 11, 2, 9, 0), 3);
    Review("b", localMs(2026, 11, 5, 9, 0), 2);
    Review("b", localMs(2026, 12, 20, 9, 0), 4);

    const std::vector<TRetentionAchieved> months = ReadRetentionByMonth();
    ASSERT_EQ(months.size(), 2u);
    EXPECT_EQ(std::pair(months[0].Year, months[0].Month), std::pair(2026, 11));
    EXPECT_EQ(months[0].Reviews, 1);
    EXPECT_EQ(months[0].Recalled, 1);
    EXPECT_EQ(std::pair(months[1].Year, months[1].Month), std::pair(2026, 12));
    EXPECT_EQ(months[1].Reviews, 3);
    EXPECT_EQ(months[1].Recalled, 2);
    EXPECT_NEAR(months[1].Share(), 2.0 / 3, 1e-12);

    const std::int64_t since = localMs(2026, 12, 1, 0, 0);
    const TRetentionAchieved all = ReadRetentionSince(since);
    EXPECT_EQ(all.Reviews, 3);
    EXPECT_EQ(all.Recalled, 2);
    const TRetentionAchieved bookB = ReadRetentionSince(since, 2);
    EXPECT_EQ(bookB.Reviews, 1);
    EXPECT_EQ(bookB.Recalled, 1);
    EXPECT_EQ(ReadRetentionSince(since, 7).Reviews, 0);

    // Per book in one walk: the same figures as one book at a time.
    const std::map<int, TRetentionAchieved> books = ReadRetentionSinceByBook(since);
    ASSERT_EQ(books.size(), 2u);
    EXPECT_EQ(books.at(1).Reviews, 2);
    EXPECT_EQ(books.at(1).Recalled, 1);
    EXPECT_EQ(books.at(2).Reviews, bookB.Reviews);
    EXPECT_EQ(books.at(2).Recalled, bookB.Recalled);
    // Over the whole log b's November review counts too.
    EXPECT_EQ(ReadRetentionSinceByBook(0).at(2).Reviews, 2);
    EXPECT_TRUE(ReadRetentionSinceByBook(localMs(2027, 1, 1, 0, 0)).empty());
}

TEST_F(StoreHabit, RetentionOfAnEmptyLogAndOfWordsNoLongerInTheMemory)
{
    EXPECT_TRUE(ReadRetentionByMonth().empty());
    EXPECT_EQ(ReadRetentionSince(0).Reviews, 0);
    EXPECT_TRUE(ReadRetentionSinceByBook(0).empty());

    const TLocalZone zone("Europe/Berlin");
    // A word whose card is gone counts in every book's total, in no book.
    Review("gone", localMs(2026, 10, 24, 22, 0), 3);
    Review("gone", localMs(2026, 10, 25, 23, 30), 1);  // the 25-hour day
    // Across the spring change: 23:30 and 00:30 an hour later by the clock
    // are on two local days.
    Card("kept", 1, 3);
    Review("kept", localMs(2026, 3, 28, 23, 30), 3);
    Review("kept", localMs(2026, 3, 29, 0, 30), 3);
    Review("kept", localMs(2026, 3, 29, 23, 30), 3);  // the same 23-hour day
    const std::vector<TRetentionAchieved> months = ReadRetentionByMonth();
    ASSERT_EQ(months.size(), 2u);
    EXPECT_EQ(months[0].Month, 3);
    EXPECT_EQ(months[0].Reviews, 1);
    EXPECT_EQ(months[1].Month, 10);
    EXPECT_EQ(months[1].Recalled, 0);
    EXPECT_EQ(ReadRetentionSince(0).Reviews, 2);
    const std::map<int, TRetentionAchieved> books = ReadRetentionSinceByBook(0);
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books.at(3).Reviews, 1);
}

}  // namespace
