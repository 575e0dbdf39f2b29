#pragma once
// The figures of a daily habit, read from the learning memory: words played
// per local day (for the daily goal, the streak and the calendar), the words
// falling due on each coming day, and the share of words still known when
// they came back a day or more later. Days follow local time, as "due today"
// does. Queries throw EDatabaseError.

#include <cstdint>
#include <map>
#include <vector>

#include <QDate>

// The instant each local day of First..Last starts, and the instant the day
// after Last starts (Last - First + 2 values). A day whose midnight a clock
// change skips starts at its first existing instant.
std::vector<std::int64_t> LocalDayStarts(QDate first, QDate last);

struct TDayPlay {
    QDate Day;
    int Words = 0;  // reviews and new words alike, each meeting once
    int Right = 0;  // not rated Again
};

// One entry per local day of First..Last, days without play included. The
// marks "已掌握" leaves in the log are not play.
std::vector<TDayPlay> ReadDailyPlay(QDate first, QDate last);

// The days in a row, up to the last of Days (in date order, one per day),
// whose words reached Goal. The last day counts only once reached: a goal not
// yet reached today does not break the run that ended yesterday.
int StudyStreak(const std::vector<TDayPlay> &days, int goal);

// Words falling due on each of Days local days from NowMs's, overdue ones in
// the first; BookId -1 counts every book (a word belongs to the book it last
// came from).
std::vector<int> ReadDueForecast(std::int64_t nowMs, int days, int bookId = -1);

struct TRetentionAchieved {
    int Year = 0;
    int Month = 0;     // 1..12; 0 in a total over a span
    int Reviews = 0;   // reviews a local day or more after the word's previous one
    int Recalled = 0;  // of them, not rated Again
    double Share() const { return Reviews == 0 ? 0.0 : double(Recalled) / Reviews; }
};

// Per local month, in order, months without such reviews left out.
std::vector<TRetentionAchieved> ReadRetentionByMonth();
// Over reviews at or after FromMs; BookId as for the forecast.
TRetentionAchieved ReadRetentionSince(std::int64_t fromMs, int bookId = -1);
// The same per book (the book a word last came from), books without such
// reviews left out: one walk of the log for every row of a table.
std::map<int, TRetentionAchieved> ReadRetentionSinceByBook(std::int64_t fromMs);

// The review log read in one pass over its table, for every figure drawn
// from it; the Read* functions above each read it afresh. A walk of the log
// in word order along an index looks up every row in the table, which costs
// several times one pass in the table's order.
class TStudyLog {
public:
    // Throws EDatabaseError.
    static TStudyLog Read();

    // The instants each word's stability first reached Stability, in order.
    std::vector<std::int64_t> FirstReached(double stability) const;
    std::vector<TDayPlay> DailyPlay(QDate first, QDate last) const;
    std::vector<TRetentionAchieved> RetentionByMonth() const;
    TRetentionAchieved RetentionSince(std::int64_t fromMs, int bookId = -1) const;
    std::map<int, TRetentionAchieved> RetentionSinceByBook(std::int64_t fromMs) const;

private:
    struct TRow {
        std::int64_t At = 0;
        std::int64_t Id = 0;
        std::uint32_t Word = 0;  // index into m_books
        std::int32_t Rating = 0;
        double Stability = 0;
    };
    // Add(day, recalled, bookId) as the walk in StudyHabit.cpp describes.
    template <typename Add>
    void forEachSpacedReview(std::int64_t fromMs, Add &&add) const;

    std::vector<TRow> m_rows;  // by word, then time, then as logged
    std::vector<int> m_books;  // per word, the book it last came from, -1 for none
    std::int64_t m_first = 0;  // the earliest and latest instants logged
    std::int64_t m_last = 0;
};
