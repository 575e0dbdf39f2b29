#include "TollGateTally.h"

#include <map>

TRating RateMeeting(int Missed, int Slips)
{
    if (Missed > 0)
        return TRating::Again;
    return Slips >= 2 ? TRating::Hard : TRating::Good;
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

void TTollGateTally::Shown(int Index)
{
    if (Index >= 0 && static_cast<size_t>(Index) < m_entries.size())
        m_entries[static_cast<size_t>(Index)].Shown = true;
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
            meetings.push_back(std::move(m));
        }
        TWordMeeting &m = meetings[it->second];
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
