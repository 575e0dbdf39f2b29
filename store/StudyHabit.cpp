#include "StudyHabit.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

#include <QDateTime>

#include "UDataInterface.h"

namespace {

// Ratings of the review log: 0 is the mark "已掌握" leaves, 1 Again.
constexpr std::int64_t kKnownMark = 0;
constexpr std::int64_t kAgain = 1;

// The local day, as an index into Starts (from LocalDayStarts), of an
// instant inside the span they cover.
std::size_t dayIndex(const std::vector<std::int64_t> &starts, std::int64_t at)
{
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), at)
                                    - starts.begin() - 1);
}

QDate localDate(std::int64_t at)
{
    return QDateTime::fromMSecsSinceEpoch(at).date();
}

}  // namespace

std::vector<std::int64_t> LocalDayStarts(QDate first, QDate last)
{
    std::vector<std::int64_t> starts;
    if (!first.isValid() || !last.isValid() || last < first)
        return starts;
    starts.reserve(static_cast<std::size_t>(first.daysTo(last)) + 2);
    for (QDate day = first; day <= last.addDays(1); day = day.addDays(1))
        starts.push_back(day.startOfDay().toMSecsSinceEpoch());
    return starts;
}

std::vector<TDayPlay> ReadDailyPlay(QDate first, QDate last)
{
    const std::vector<std::int64_t> starts = LocalDayStarts(first, last);
    std::vector<TDayPlay> days;
    if (starts.empty())
        return days;
    days.resize(starts.size() - 1);
    for (std::size_t i = 0; i < days.size(); ++i)
        days[i].Day = first.addDays(static_cast<qint64>(i));
    // Along the time index, the day moving forward with the rows: sorting a
    // year of reviews into groups costs more than reading them in order.
    TSqlQuery rows = DataInterface().Query(
        "SELECT at, rating FROM reviewlog WHERE at >= ? AND at < ? ORDER BY at",
        {starts.front(), starts.back()});
    std::size_t day = 0;
    while (rows.Next()) {
        const std::int64_t rating = rows.Integer(1);
        if (rating == kKnownMark)
            continue;
        const std::int64_t at = rows.Integer(0);
        while (at >= starts[day + 1])
            ++day;
        ++days[day].Words;
        days[day].Right += rating != kAgain ? 1 : 0;
    }
    return days;
}

int StudyStreak(const std::vector<TDayPlay> &days, int goal)
{
    if (days.empty() || goal <= 0)
        return 0;
    auto day = days.rbegin();
    if (day->Words < goal)
        ++day;
    int streak = 0;
    for (; day != days.rend() && day->Words >= goal; ++day)
        ++streak;
    return streak;
}

std::vector<int> ReadDueForecast(std::int64_t nowMs, int days, int bookId)
{
    std::vector<int> counts(static_cast<std::size_t>(std::max(days, 0)), 0);
    if (counts.empty())
        return counts;
    const QDate today = localDate(nowMs);
    const std::vector<std::int64_t> starts = LocalDayStarts(today, today.addDays(days - 1));
    const std::int64_t book = bookId;
    TSqlQuery rows = DataInterface().Query(
        "SELECT due FROM wordmemory WHERE due > 0 AND due < ? AND (? < 0 OR bookid = ?)",
        {starts.back(), book, book});
    while (rows.Next()) {
        const std::int64_t due = rows.Integer(0);
        ++counts[due < starts.front() ? 0 : dayIndex(starts, due)];
    }
    return counts;
}

namespace {

// Walks the log word by word in time order; Add(day, recalled, bookId) hears
// every review made on a later local day than the word's previous review, at
// or after FromMs; BookId is the book the word last came from, -1 for none.
template <typename Add>
void forEachSpacedReview(std::int64_t fromMs, Add &&add)
{
    // Apart, each bound is one step along the index.
    TSqlQuery span = DataInterface().Query("SELECT (SELECT min(at) FROM reviewlog) AS lo, "
                                           "(SELECT max(at) FROM reviewlog) AS hi");
    if (!span.Next() || span.IsNull("lo"))
        return;
    // Local days by a search among their starts: a local-time conversion per
    // row costs more than the rest of the walk.
    const QDate first = localDate(span.Integer("lo"));
    const std::vector<std::int64_t> starts = LocalDayStarts(first, localDate(span.Integer("hi")));
    if (starts.empty())
        return;
    std::unordered_map<std::string, int> books;
    TSqlQuery cards = DataInterface().Query("SELECT spelling, bookid FROM wordmemory");
    while (cards.Next())
        books.emplace(cards.Text(0), static_cast<int>(cards.Integer(1)));

    TSqlQuery rows = DataInterface().Query(
        "SELECT spelling, at, rating FROM reviewlog WHERE rating <> ? ORDER BY spelling, at",
        {kKnownMark});
    std::string previousWord;
    std::size_t previousDay = 0;
    int book = -1;
    while (rows.Next()) {
        const std::int64_t at = std::clamp(rows.Integer(1), starts.front(), starts.back() - 1);
        const std::size_t day = dayIndex(starts, at);
        std::string word = rows.Text(0);
        if (word != previousWord) {
            previousWord = std::move(word);
            const auto found = books.find(previousWord);
            book = found == books.end() ? -1 : found->second;
        } else if (day > previousDay && at >= fromMs) {
            add(first.addDays(static_cast<qint64>(day)), rows.Integer(2) != kAgain, book);
        }
        previousDay = day;
    }
}

void count(TRetentionAchieved &total, bool recalled)
{
    ++total.Reviews;
    total.Recalled += recalled ? 1 : 0;
}

}  // namespace

std::vector<TRetentionAchieved> ReadRetentionByMonth()
{
    std::vector<TRetentionAchieved> all;
    forEachSpacedReview(0, [&](QDate day, bool recalled, int) {
        auto month = std::find_if(all.begin(), all.end(), [&](const TRetentionAchieved &m) {
            return m.Year == day.year() && m.Month == day.month();
        });
        if (month == all.end())
            month = all.insert(all.end(), TRetentionAchieved{day.year(), day.month(), 0, 0});
        count(*month, recalled);
    });
    std::sort(all.begin(), all.end(), [](const auto &a, const auto &b) {
        return std::pair(a.Year, a.Month) < std::pair(b.Year, b.Month);
    });
    return all;
}

TRetentionAchieved ReadRetentionSince(std::int64_t fromMs, int bookId)
{
    TRetentionAchieved total;
    forEachSpacedReview(fromMs, [&](QDate, bool recalled, int book) {
        if (bookId < 0 || book == bookId)
            count(total, recalled);
    });
    return total;
}

std::map<int, TRetentionAchieved> ReadRetentionSinceByBook(std::int64_t fromMs)
{
    std::map<int, TRetentionAchieved> books;
    forEachSpacedReview(fromMs, [&](QDate, bool recalled, int book) {
        if (book >= 0)
            count(books[book], recalled);
    });
    return books;
}
