// The calendar of study days: where each day's square is, what its tool tip
// says and how it is shaded, over local days that are not 24 hours long.
#include <time.h>

#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QtGlobal>

#include "LocalZone.h"
#include "StoreFixture.h"
#include "StudyCalendar.h"
#include "StudyHabit.h"

namespace {

std::vector<TDayPlay> year(QDate last)
{
    std::vector<TDayPlay> days;
    for (QDate day = last.addDays(-364); day <= last; day = day.addDays(1))
        days.push_back({day, 0, 0});
    return days;
}

TEST(MemoryUiCalendar, EachDayHasItsOwnSquareInItsWeeksColumnMondayOnTop)
{
    TStudyCalendar calendar;
    const QDate last(2026, 12, 10);  // a Thursday
    calendar.SetDays(year(last), 100);
    QRect previous;
    for (const TDayPlay &day : calendar.Days()) {
        const QRect square = calendar.DayRect(day.Day);
        ASSERT_FALSE(square.isEmpty());
        EXPECT_EQ(calendar.DayAt(square.center()), day.Day);
        EXPECT_EQ(calendar.DayAt(square.topLeft()), day.Day);
        // Next day one square down, or the top of the next column after a Sunday.
        if (previous.isValid()) {
            if (day.Day.dayOfWeek() == 1) {
                EXPECT_GT(square.left(), previous.right());
                EXPECT_LT(square.top(), previous.top());
            } else {
                EXPECT_EQ(square.left(), previous.left());
                EXPECT_GT(square.top(), previous.bottom());
            }
        }
        previous = square;
    }
    const QRect monday = calendar.DayRect(QDate(2026, 12, 7));
    EXPECT_EQ(calendar.DayRect(last).left(), monday.left());
    EXPECT_EQ(monday.top(), calendar.DayRect(QDate(2025, 12, 15)).top());
    EXPECT_TRUE(calendar.DayRect(last.addDays(1)).isEmpty());
    EXPECT_TRUE(calendar.DayRect(last.addDays(-365)).isEmpty());
    // The gap between squares and the room left of them are no day.
    EXPECT_FALSE(calendar.DayAt(monday.bottomRight() + QPoint(1, 1)).isValid());
    EXPECT_FALSE(calendar.DayAt(QPoint(0, monday.center().y())).isValid());
    // Every square fits in the size the calendar asks for, month names above.
    EXPECT_TRUE(QRect(QPoint(), calendar.sizeHint()).contains(calendar.DayRect(last)));
    EXPECT_GT(calendar.DayRect(last.addDays(-364)).top(), 0);
}

TEST(MemoryUiCalendar, ShadesGoByTheGoalAndTheToolTipGivesWordsAndAccuracy)
{
    EXPECT_EQ(CalendarShade(0, 100), 0);
    EXPECT_EQ(CalendarShade(1, 100), 1);
    EXPECT_EQ(CalendarShade(49, 100), 1);
    EXPECT_EQ(CalendarShade(50, 100), 2);
    EXPECT_EQ(CalendarShade(99, 100), 2);
    EXPECT_EQ(CalendarShade(100, 100), 3);
    EXPECT_EQ(CalendarShade(199, 100), 3);
    EXPECT_EQ(CalendarShade(200, 100), 4);
    EXPECT_EQ(CalendarShade(1, 0), 3);  // a goal of none is read as one word: reached

    EXPECT_EQ(CalendarDayText({QDate(2026, 12, 10), 132, 121}),
              QStringLiteral("2026年12月10日：132个单词，正确率92%"));
    EXPECT_EQ(CalendarDayText({QDate(2026, 1, 2), 3, 0}),
              QStringLiteral("2026年1月2日：3个单词，正确率0%"));
    EXPECT_EQ(CalendarDayText({QDate(2026, 1, 2), 0, 0}), QStringLiteral("2026年1月2日：0个单词"));

    // The squares are painted in their shade: a day at twice the goal is
    // darker than one without play.
    TStudyCalendar calendar;
    std::vector<TDayPlay> days = year(QDate(2026, 12, 10));
    days.back().Words = 200;
    calendar.SetDays(days, 100);
    calendar.resize(calendar.sizeHint());
    const QImage image = calendar.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const auto colourAt = [&](QDate day) {
        const QPoint centre = calendar.DayRect(day).center();
        return QColor(image.pixel(int(centre.x() * ratio), int(centre.y() * ratio)));
    };
    EXPECT_LT(colourAt(QDate(2026, 12, 10)).lightness(), colourAt(QDate(2026, 12, 9)).lightness());
}

class MemoryUiCalendarDays : public StoreFixture {};

// Each row: a zone, a review's local time, and the day whose square must
// show it; Berlin's days of the two clock changes are 23 and 25 hours long.
TEST_F(MemoryUiCalendarDays, AReviewShowsOnTheSquareOfItsLocalDay)
{
    const struct {
        const char *Zone;
        QDateTime At;
        QDate Day;
    } rows[] = {
        {"Asia/Shanghai", {{2026, 12, 10}, {23, 59}}, {2026, 12, 10}},
        {"Asia/Shanghai", {{2026, 12, 11}, {0, 0}}, {2026, 12, 11}},
        {"Europe/Berlin", {{2026, 3, 29}, {3, 0}}, {2026, 3, 29}},
        {"Europe/Berlin", {{2026, 3, 29}, {23, 59}}, {2026, 3, 29}},
        {"Europe/Berlin", {{2026, 10, 25}, {23, 45}}, {2026, 10, 25}},
        {"Europe/Berlin", {{2026, 10, 26}, {0, 1}}, {2026, 10, 26}},
    };
    for (const auto &row : rows) {
        const TLocalZone zone(row.Zone);
        ASSERT_TRUE(db->ExecuteSQL("DELETE FROM reviewlog"));
        // The date and time are read in the zone now in force.
        const std::int64_t at = QDateTime(row.At.date(), row.At.time()).toMSecsSinceEpoch();
        ASSERT_TRUE(db->ExecuteSQL("INSERT INTO reviewlog(spelling, at, rating, stability, "
                                   "difficulty, due, state) VALUES('w', ?, 3, 1, 5, 0, 2)",
                                   {at}));
        const QDate last(2026, 12, 31);
        TStudyCalendar calendar;
        calendar.SetDays(ReadDailyPlay(last.addDays(-364), last), 1);
        const auto tip = [&](QDate day) {
            return calendar.ToolTipAt(calendar.DayRect(day).center());
        };
        SCOPED_TRACE(std::string(row.Zone) + " " + row.At.toString(Qt::ISODate).toStdString());
        EXPECT_TRUE(tip(row.Day).endsWith(QStringLiteral("：1个单词，正确率100%")))
            << tip(row.Day).toStdString();
        EXPECT_TRUE(tip(row.Day.addDays(-1)).endsWith(QStringLiteral("：0个单词")));
        EXPECT_TRUE(tip(row.Day.addDays(1)).endsWith(QStringLiteral("：0个单词")));
    }
}

}  // namespace
