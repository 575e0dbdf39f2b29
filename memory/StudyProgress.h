#pragma once
// What the progress window shows, as plain figures: the store reads them,
// the window draws them, tests make them up.

#include <cstdint>
#include <string>
#include <vector>

#include "FsrsScheduler.h"

// A word counts as learnt once it would be recalled for three weeks.
inline constexpr double LearntStabilityDays = 21;

// Right over right plus errors, 0 when nothing was typed.
inline double Accuracy(int Right, int Errors)
{
    const int Total = Right + Errors;
    return Total > 0 ? double(Right) / Total : 0;
}

struct TBookProgress {
    std::string BookName;      // GBK
    std::vector<int> BookIds;  // the book and its shuffled copies
    int WordCount = 0;         // words in the book
    int Met = 0;               // words whose last meeting was in this book
    int Learnt = 0;            // of those, stability of LearntStabilityDays or more
    int Due = 0;               // of those, due before the next local midnight
    int TollGatesPlayed = 0;   // distinct toll gates
    int Right = 0;
    int Errors = 0;

    int Learning() const { return Met - Learnt; }
    int NeverSeen() const { return WordCount > Met ? WordCount - Met : 0; }
};

struct TTollGateAccuracy {
    std::string BookName;  // GBK
    int TollGate = 0;      // from 1
    int Plays = 0;
    int Right = 0;
    int Errors = 0;
};

// The number of words learnt by the end of a local day.
struct TLearntPoint {
    std::int64_t DayStartMs = 0;
    int Learnt = 0;
};

struct TMissedWord {
    std::string Spelling;  // GBK
    int Missed = 0;
    int Slips = 0;
};

// A letter typed wrongly where it was expected, and what was typed instead most often.
struct TLetterSlips {
    unsigned char Expected = 0;
    int Count = 0;
    unsigned char MostTyped = 0;
};

struct TStudyProgress {
    std::vector<TBookProgress> Books;
    std::vector<TTollGateAccuracy> TollGates;  // by book, then toll gate
    std::vector<TLearntPoint> LearntOverTime;  // cumulative, by day
    std::vector<TMissedWord> MostMissed;       // most missed first, at most 20
    std::vector<TLetterSlips> WeakLetters;     // most slips first
};

inline constexpr int MostMissedCount = 20;
inline constexpr int WeakSpellingCount = 20;
inline constexpr int WeakLetterCount = 10;
