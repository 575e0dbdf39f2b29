#include "StudyHabit.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <tuple>
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
    return TStudyLog::Read().DailyPlay(first, last);
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

TStudyLog TStudyLog::Read()
{
    TStudyLog log;
    std::unordered_map<std::string, std::uint32_t> words;
    {
        TSqlQuery cards = DataInterface().Query("SELECT spelling, bookid FROM wordmemory");
        while (cards.Next()) {
            words.emplace(cards.Text(0), static_cast<std::uint32_t>(log.m_books.size()));
            log.m_books.push_back(static_cast<int>(cards.Integer(1)));
        }
    }
    // In the table's order: the pages are read once each.
    TSqlQuery rows =
        DataInterface().Query("SELECT id, spelling, at, rating, stability FROM reviewlog");
    std::string spelling;
    while (rows.Next()) {
        TRow row;
        row.Id = rows.Integer(0);
        spelling = rows.Text(1);
        row.At = rows.Integer(2);
        row.Rating = static_cast<std::int32_t>(std::clamp<std::int64_t>(rows.Integer(3), -1, 99));
        row.Stability = rows.Real(4);
        auto found = words.find(spelling);
        if (found == words.end()) {  // a word the memory no longer has
            found = words.emplace(spelling, static_cast<std::uint32_t>(log.m_books.size())).first;
            log.m_books.push_back(-1);
        }
        row.Word = found->second;
        if (log.m_rows.empty()) {
            log.m_first = row.At;
            log.m_last = row.At;
        }
        log.m_first = std::min(log.m_first, row.At);
        log.m_last = std::max(log.m_last, row.At);
        log.m_rows.push_back(row);
    }
    // Word by word (a counting sort: the words are few beside the rows),
    // then each word's rows by time, as logged within an instant.
    std::vector<std::size_t> begins(log.m_books.size() + 1, 0);
    for (const TRow &row : log.m_rows)
        ++begins[row.Word + 1];
    std::partial_sum(begins.begin(), begins.end(), begins.begin());
    std::vector<TRow> byWord(log.m_rows.size());
    std::vector<std::size_t> next(begins.begin(), std::prev(begins.end()));
    for (const TRow &row : log.m_rows)
        byWord[next[row.Word]++] = row;
    const auto inTime = [](const TRow &a, const TRow &b) {
        return std::tie(a.At, a.Id) < std::tie(b.At, b.Id);
    };
    for (std::size_t word = 0; word + 1 < begins.size(); ++word) {
        const auto first = byWord.begin() + static_cast<std::ptrdiff_t>(begins[word]);
        const auto last = byWord.begin() + static_cast<std::ptrdiff_t>(begins[word + 1]);
        if (!std::is_sorted(first, last, inTime))
            std::sort(first, last, inTime);
    }
    log.m_rows = std::move(byWord);
    return log;
}

std::vector<std::int64_t> TStudyLog::FirstReached(double stability) const
{
    std::vector<std::int64_t> firsts;
    for (auto row = m_rows.begin(); row != m_rows.end();) {
        const std::uint32_t word = row->Word;
        bool reached = false;
        for (; row != m_rows.end() && row->Word == word; ++row)
            if (!reached && row->Stability >= stability) {
                reached = true;  // the word's rows are in time order
                firsts.push_back(row->At);
            }
    }
    std::sort(firsts.begin(), firsts.end());
    return firsts;
}

std::vector<TDayPlay> TStudyLog::DailyPlay(QDate first, QDate last) const
{
    const std::vector<std::int64_t> starts = LocalDayStarts(first, last);
    std::vector<TDayPlay> days;
    if (starts.empty())
        return days;
    days.resize(starts.size() - 1);
    for (std::size_t i = 0; i < days.size(); ++i)
        days[i].Day = first.addDays(static_cast<qint64>(i));
    for (const TRow &row : m_rows) {
        if (row.Rating == kKnownMark || row.At < starts.front() || row.At >= starts.back())
            continue;
        TDayPlay &day = days[dayIndex(starts, row.At)];
        ++day.Words;
        day.Right += row.Rating != kAgain ? 1 : 0;
    }
    return days;
}

// Walks the log word by word in time order; Add(day, recalled, bookId) hears
// every review made on a later local day than the word's previous review, at
// or after FromMs; BookId is the book the word last came from, -1 for none.
template <typename Add>
void TStudyLog::forEachSpacedReview(std::int64_t fromMs, Add &&add) const
{
    if (m_rows.empty())
        return;
    // Local days by a search among their starts: a local-time conversion per
    // row costs more than the rest of the walk.
    const QDate first = localDate(m_first);
    const std::vector<std::int64_t> starts = LocalDayStarts(first, localDate(m_last));
    if (starts.empty())
        return;
    std::uint32_t previousWord = 0;
    bool any = false;
    std::size_t previousDay = 0;
    for (const TRow &row : m_rows) {
        if (row.Rating == kKnownMark)
            continue;
        const std::int64_t at = std::clamp(row.At, starts.front(), starts.back() - 1);
        const std::size_t day = dayIndex(starts, at);
        if (!any || row.Word != previousWord) {
            any = true;
            previousWord = row.Word;
        } else if (day > previousDay && at >= fromMs) {
            add(first.addDays(static_cast<qint64>(day)), row.Rating != kAgain, m_books[row.Word]);
        }
        previousDay = day;
    }
}

namespace {

void count(TRetentionAchieved &total, bool recalled)
{
    ++total.Reviews;
    total.Recalled += recalled ? 1 : 0;
}

}  // namespace

std::vector<TRetentionAchieved> TStudyLog::RetentionByMonth() const
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

TRetentionAchieved TStudyLog::RetentionSince(std::int64_t fromMs, int bookId) const
{
    TRetentionAchieved total;
    forEachSpacedReview(fromMs, [&](QDate, bool recalled, int book) {
        if (bookId < 0 || book == bookId)
            count(total, recalled);
    });
    return total;
}

std::map<int, TRetentionAchieved> TStudyLog::RetentionSinceByBook(std::int64_t fromMs) const
{
    std::map<int, TRetentionAchieved> books;
    forEachSpacedReview(fromMs, [&](QDate, bool recalled, int book) {
        if (book >= 0)
            count(books[book], recalled);
    });
    return books;
}

std::vector<TRetentionAchieved> ReadRetentionByMonth()
{
    return TStudyLog::Read().RetentionByMonth();
}

TRetentionAchieved ReadRetentionSince(std::int64_t fromMs, int bookId)
{
    return TStudyLog::Read().RetentionSince(fromMs, bookId);
}

std::map<int, TRetentionAchieved> ReadRetentionSinceByBook(std::int64_t fromMs)
{
    return TStudyLog::Read().RetentionSinceByBook(fromMs);
}
