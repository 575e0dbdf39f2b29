#pragma once
// What one toll gate did with each of its words, gathered from the board's
// events while it is played and turned into the memory's meetings when it is
// over or left: the words counted, their slips, one rating per spelling.

#include <vector>

#include "Records.h"
#include "WordMemory.h"

// Where a word on the board comes from: its book and row (BookRow -1 keeps
// the place the memory has, as for the new-words book and review games).
struct TWordSource {
    int BookId = 0;
    int BookRow = -1;
};

// Missed once → Again; right with two or more slips in all → Hard; else Good.
TRating RateMeeting(int Missed, int Slips);

class TTollGateTally {
public:
    // A new list on the board, Sources parallel to Words.
    void Begin(const TWordInfos &Words, std::vector<TWordSource> Sources);
    void Clear() { Begin({}, {}); }

    // Index: the word's place in the list. Out of range is ignored; a word
    // counted keeps its first outcome.
    void Shown(int Index);
    void Counted(int Index, bool Right);
    void Slip(int Index, const TWordSlipRecord &Slip);

    int Right() const { return m_right; }
    int Errors() const { return m_errors; }
    bool AnyCounted() const { return m_right + m_errors > 0; }

    // One meeting per spelling that was counted at least once, in list order;
    // Seen counts its places on the list that were counted or shown. A word
    // only shown before the toll gate was left is not rated.
    std::vector<TWordMeeting> Meetings() const;

private:
    struct TEntry {
        bool Shown = false;
        bool Counted = false;
        bool Right = false;
        std::vector<TWordSlipRecord> Slips;
    };

    TWordInfos m_words;
    std::vector<TWordSource> m_sources;
    std::vector<TEntry> m_entries;
    int m_right = 0;
    int m_errors = 0;
};
