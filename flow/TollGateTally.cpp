#include "TollGateTally.h"

#include <algorithm>
#include <map>

TRating RateMeeting(int missed, int slips, double lettersPerSecond,
                    const std::vector<double> &recentSpeeds)
{
    if (missed > 0)
        return TRating::Again;
    if (slips >= 2)
        return TRating::Hard;
    if (slips > 0 || lettersPerSecond <= 0 || recentSpeeds.size() < size_t{kSpeedMinimum})
        return TRating::Good;
    std::vector<double> speeds(
        recentSpeeds.begin(),
        recentSpeeds.begin()
            + static_cast<std::ptrdiff_t>(std::min(recentSpeeds.size(), size_t{kSpeedWindow})));
    // Linear between the two nearest ranks.
    const double rank = 0.75 * static_cast<double>(speeds.size() - 1);
    const auto below = static_cast<size_t>(rank);
    std::nth_element(speeds.begin(), speeds.begin() + static_cast<std::ptrdiff_t>(below),
                     speeds.end());
    const double low = speeds[below];
    double p75 = low;
    if (below + 1 < speeds.size()) {
        const double high = *std::min_element(
            speeds.begin() + static_cast<std::ptrdiff_t>(below) + 1, speeds.end());
        p75 = low + (rank - static_cast<double>(below)) * (high - low);
    }
    return lettersPerSecond >= p75 ? TRating::Easy : TRating::Good;
}

void TTollGateTally::Begin(const TWordInfos &Words, std::vector<TWordSource> Sources)
{
    m_words = Words;
    m_sources = std::move(Sources);
    m_sources.resize(m_words.size());
    m_entries.assign(m_words.size(), TEntry{});
    m_right = 0;
    m_errors = 0;
}

void TTollGateTally::Shown(int index, std::int64_t atMs)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return;
    TEntry &e = m_entries[static_cast<size_t>(index)];
    if (!e.Shown)
        e.ShownAt = atMs;
    e.Shown = true;
}

void TTollGateTally::Keyed(int index, int typed, std::int64_t atMs)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return;
    TEntry &e = m_entries[static_cast<size_t>(index)];
    if (e.Counted)
        return;
    if (e.FirstKeyAt < 0)
        e.FirstKeyAt = atMs;
    if (typed <= 1 || e.RunStartAt < 0)
        e.RunStartAt = atMs;
    e.LastKeyAt = atMs;
    e.LastTyped = typed;
}

TTypingTimes TTollGateTally::TypingOf(const TEntry &entry, size_t letters)
{
    TTypingTimes t;
    // Typing may begin while the box is only partly on view: no negative wait.
    if (entry.ShownAt >= 0 && entry.FirstKeyAt >= 0) {
        t.FirstKeyMs = std::max<std::int64_t>(entry.FirstKeyAt - entry.ShownAt, 0);
        t.LastKeyMs = std::max<std::int64_t>(entry.LastKeyAt - entry.ShownAt, 0);
    }
    const std::int64_t run = entry.LastKeyAt - entry.RunStartAt;
    if (entry.LastTyped > 0)
        letters = static_cast<size_t>(entry.LastTyped);
    if (entry.Right && entry.RunStartAt >= 0 && run > 0)
        t.LettersPerSecond = static_cast<double>(letters) * 1000.0 / static_cast<double>(run);
    return t;
}

void TTollGateTally::Counted(int Index, bool Right)
{
    if (Index < 0 || static_cast<size_t>(Index) >= m_entries.size())
        return;
    TEntry &e = m_entries[static_cast<size_t>(Index)];
    if (e.Counted)
        return;
    e.Counted = true;
    e.Right = Right;
    e.Mode = m_mode;
    ++(Right ? m_right : m_errors);
}

void TTollGateTally::Slip(int Index, const TWordSlipRecord &Slip)
{
    if (Index >= 0 && static_cast<size_t>(Index) < m_entries.size())
        m_entries[static_cast<size_t>(Index)].Slips.push_back(Slip);
}

std::vector<TWordMeeting> TTollGateTally::Meetings() const
{
    std::vector<TWordMeeting> meetings;
    std::map<std::string, size_t> bySpelling;
    std::vector<bool> timedRight;  // per meeting: its times are of a right place
    for (size_t i = 0; i < m_words.size(); ++i) {
        const TEntry &e = m_entries[i];
        const std::string &spelling = m_words[i].Spelling;
        if (!e.Counted || spelling.empty())
            continue;
        auto [it, added] = bySpelling.try_emplace(spelling, meetings.size());
        if (added) {
            TWordMeeting m;
            m.Word = m_words[i];
            m.BookId = m_sources[i].BookId;
            m.BookRow = m_sources[i].BookRow;
            m.Seen = 0;
            m.Typing = TypingOf(e, spelling.size());
            m.PlayMode = static_cast<int>(e.Mode);
            meetings.push_back(std::move(m));
            timedRight.push_back(e.Right);
        }
        TWordMeeting &m = meetings[it->second];
        if (e.Right && !timedRight[it->second]) {
            m.Typing = TypingOf(e, spelling.size());
            m.PlayMode = static_cast<int>(e.Mode);
            timedRight[it->second] = true;
        }
        ++m.Seen;
        ++(e.Right ? m.Right : m.Missed);
        m.Slips.insert(m.Slips.end(), e.Slips.begin(), e.Slips.end());
    }
    // A second showing that the toll gate was left before counting still
    // counts as seen.
    for (size_t i = 0; i < m_words.size(); ++i) {
        const TEntry &e = m_entries[i];
        if (e.Counted || !e.Shown)
            continue;
        if (const auto it = bySpelling.find(m_words[i].Spelling); it != bySpelling.end())
            ++meetings[it->second].Seen;
    }
    for (TWordMeeting &m : meetings)
        m.Rating = RateMeeting(m.Missed, static_cast<int>(m.Slips.size()));
    return meetings;
}
