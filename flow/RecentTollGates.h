#pragma once
// The recently played toll gates, kept in UseRecord.txt in the program
// folder: one line per toll gate, six fields joined by "#@#" (table, word
// count, book name, book type, toll gate, level), GBK, CR LF, oldest first,
// at most 30 lines.

#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "Records.h"
#include "TextUtils.h"

inline constexpr size_t kMaxRecentTollGates = 30;

std::string RecentFilePath();

// The line that stands for the parameters.
std::string RecentLine(const TGamePara &para);

// Whether that line reads back as the same game: false for a table or book
// name (from an older database) holding "#@#", a line break, or a piece that
// makes a separator with its neighbour ("a#@" before "#@#").
bool FitsRecentList(const TGamePara &para);

// Equal but for the case of Latin letters; double-byte characters compare exactly.
bool GbkSameText(const std::string &a, const std::string &b);

// Appends the line unless the file holds it already, keeping the last 30.
// The new list is written beside the old file and renamed over it, so a
// failure never loses the list; errors are ignored.
void AddRecentLine(const std::string &line);

struct TRecentEntry {
    std::string Line;
    TStringList Fields;
};

// The entries up to the first damaged line (fewer than six fields); a damaged
// file is deleted. A missing file gives no entries.
std::vector<TRecentEntry> ReadRecentEntries();

// "《书名》-顺序 第3关 较难".
QString RecentCaption(const TStringList &fields);

// The parameters of an entry (TollGateCount not set), or nullopt when a
// number field is not a whole number.
std::optional<TGamePara> ParseRecentEntry(const std::string &line);

// 1 "容易", 2 "较难", 3 "困难"; empty for anything else.
QString LevelName(int level);
