#pragma once
// The records every subsystem shares. All std::string values in the core hold
// GBK bytes (code page 936): positions and lengths count bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One word. Only the first three fields are ever filled; the other five exist
// because copies and stored layouts carry eight strings.
struct TWordInfo {
    std::string Spelling;
    std::string Pronunciation;
    std::string Meaning;
    std::string Reserved1;
    std::string Reserved2;
    std::string Reserved3;
    std::string Reserved4;
    std::string Reserved5;

    bool operator==(const TWordInfo &) const = default;
};

// The words of one toll gate, in play order.
using TWordInfos = std::vector<TWordInfo>;

using TIntAry = std::vector<std::int32_t>;

// The game in progress.
struct TGamePara {
    std::int32_t TollGateIndex = 1;  // current toll gate, from 1
    std::int32_t TollGateCount = 0;  // CeilDiv(WordsPerGate, WordCount)
    std::int32_t WordsPerGate = 20;
    std::string StoreTableName;  // the book's word table
    std::string BookName;        // the book's display name
    std::int32_t WordCount = 0;
    std::int32_t Level = 1;     // 1 to 3
    std::int32_t BookType = 0;  // 0 the book's own order, 2 its shuffled copy

    bool operator==(const TGamePara &) const = default;
};

// The toll gates of the book: WordCount over WordsPerGate, rounded up; 0 for
// a book without words (or a count that makes no sense).
std::int32_t TollGateCountOf(const TGamePara &para);

// Speech settings, stored one to one under the settings keys of the same names.
struct TSpeechSet {
    std::string EngineName;
    std::string SpeakName;
    std::int32_t SpeakSex = 0;  // 0 female, 1 male
    std::int32_t Rate = 0;      // -10 .. 10
    std::int32_t Volume = 0;    // 0 .. 100

    bool operator==(const TSpeechSet &) const = default;
};

// Copies all eight strings.
void CopyWordInfo(const TWordInfo &source, TWordInfo &target);

// Copies every field except Level, which belongs to the player, not to the book.
void CopyGamePara(const TGamePara &source, TGamePara &target);

// The recent toll gates keep each game on one line, its fields joined by
// "#@#". A table or book name holding the separator or a line break cannot
// be kept there; books are refused such names when they are made.
inline constexpr const char *kRecentSeparator = "#@#";
bool FitsRecentLineField(std::string_view text);
