// "Due today" ends at local midnight, which moves with the clock changes.
#include <ctime>
#include <optional>

#include <QByteArray>
#include <QDateTime>

#include <gtest/gtest.h>

#include "FsrsScheduler.h"
#include "LocalZone.h"

namespace {

std::int64_t Utc(const char *Iso)
{
    const QDateTime Time = QDateTime::fromString(QString::fromLatin1(Iso), Qt::ISODateWithMs);
    EXPECT_TRUE(Time.isValid()) << Iso;
    return Time.toMSecsSinceEpoch();
}

TEST(MemoryLocalMidnight, BerlinAcrossBothClockChanges)
{
    const TLocalZone zone("Europe/Berlin");
    // 29 March 2026 has 23 hours: 02:00 CET becomes 03:00 CEST.
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-03-28T22:30:00Z")), Utc("2026-03-28T23:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-03-28T23:00:00Z")), Utc("2026-03-29T22:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-03-29T10:00:00Z")), Utc("2026-03-29T22:00:00Z"));
    // 25 October 2026 has 25 hours: 03:00 CEST becomes 02:00 CET.
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-10-24T22:00:00Z")), Utc("2026-10-25T23:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-10-25T00:30:00Z")), Utc("2026-10-25T23:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-10-25T01:30:00Z")), Utc("2026-10-25T23:00:00Z"));
}

TEST(MemoryLocalMidnight, MidnightItselfBelongsToTheNewDay)
{
    const TLocalZone zone("Europe/Berlin");
    const std::int64_t Midnight = Utc("2026-07-14T22:00:00Z");
    EXPECT_EQ(NextLocalMidnightMs(Midnight - 1), Midnight);
    EXPECT_EQ(NextLocalMidnightMs(Midnight), Midnight + DayMs);
}

TEST(MemoryLocalMidnight, ADayWhoseMidnightIsSkipped)
{
    // Havana moves its clocks from 00:00 to 01:00: 8 March 2026 begins at 01:00 CDT.
    const TLocalZone zone("America/Havana");
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-03-08T04:30:00Z")), Utc("2026-03-08T05:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-03-08T05:00:00Z")), Utc("2026-03-09T04:00:00Z"));
}

TEST(MemoryLocalMidnight, Utc)
{
    const TLocalZone zone("UTC");
    EXPECT_EQ(NextLocalMidnightMs(Utc("2026-12-31T23:59:59.999Z")), Utc("2027-01-01T00:00:00Z"));
    EXPECT_EQ(NextLocalMidnightMs(Utc("2027-01-01T00:00:00Z")), Utc("2027-01-02T00:00:00Z"));
}

}  // namespace
