#pragma once
// What one toll gate did with each of its words, gathered from the board's
// events while it is played and turned into the memory's meetings when it is
// over or left: the words counted, their slips, one rating per spelling.

#include <cstdint>
#include <vector>

#include "PlayMode.h"
#include "Records.h"
#include "WordMemory.h"

// Where a word on the board comes from: its book and row (BookRow -1 keeps
// the place the memory has, as for the new-words book and review games).
struct TWordSource {
    int BookId = 0;
    int BookRow = -1;
};

// The learner's own pace: a right word's speed is compared with the letters
// per second of their last kSpeedWindow right words at the same level and
// mode, and only once there are kSpeedMinimum of them.
inline constexpr int kSpeedWindow = 500;
inline constexpr int kSpeedMinimum = 100;

// Missed once → Again; right with two or more slips in all → Hard; right
// without a slip at or above the 75th percentile of recentSpeeds (newest
// first, the first kSpeedWindow used) → Easy; else Good. lettersPerSecond 0
// is no speed.
TRating RateMeeting(int missed, int slips, double lettersPerSecond = 0,
                    const std::vector<double> &recentSpeeds = {});

class TTollGateTally {
public:
    // A new list on the board, Sources parallel to Words.
    void Begin(const TWordInfos &Words, std::vector<TWordSource> Sources);
    void Clear() { Begin({}, {}); }

    // The mode the words counted from now on are played in.
    void SetPlayMode(TPlayMode mode) { m_mode = mode; }

    // index: the word's place in the list. Out of range is ignored; a word
    // counted keeps its first outcome. Times are Unix milliseconds.
    void Shown(int index, std::int64_t atMs);
    // A key advanced the word to typed letters (1: the first of a run).
    void Keyed(int index, int typed, std::int64_t atMs);
    void Counted(int Index, bool Right);
    void Slip(int Index, const TWordSlipRecord &Slip);

    int Right() const { return m_right; }
    int Errors() const { return m_errors; }
    bool AnyCounted() const { return m_right + m_errors > 0; }

    // One meeting per spelling that was counted at least once, in list order;
    // Seen counts its places on the list that were counted or shown. A word
    // only shown before the toll gate was left is not rated. Its typing
    // times are those of its first place counted right (else its first
    // counted); its rating is RateMeeting's without a speed.
    std::vector<TWordMeeting> Meetings() const;

private:
    struct TEntry {
        bool Shown = false;
        bool Counted = false;
        bool Right = false;
        TPlayMode Mode = TPlayMode::Normal;
        std::int64_t ShownAt = -1;
        std::int64_t FirstKeyAt = -1;
        std::int64_t RunStartAt = -1;
        std::int64_t LastKeyAt = -1;
        // Letters typed at the last key: the answer typed may be longer or
        // shorter than the spelling (an inflected form, the other spelling).
        int LastTyped = 0;
        std::vector<TWordSlipRecord> Slips;
    };
    static TTypingTimes TypingOf(const TEntry &entry, size_t letters);

    TWordInfos m_words;
    std::vector<TWordSource> m_sources;
    std::vector<TEntry> m_entries;
    int m_right = 0;
    int m_errors = 0;
    TPlayMode m_mode = TPlayMode::Normal;
};
