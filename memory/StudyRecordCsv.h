#pragma once
// "导出学习记录": every word the memory holds, one CSV row each, for a
// spreadsheet. UTF-8 with a byte-order mark so that spreadsheets read the
// Chinese text correctly; fields holding a comma, quote or line break are
// quoted.

#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

#include "FsrsScheduler.h"

struct TStudyRecordRow {
    std::string Spelling;  // GBK, as every text below
    std::string Meaning;
    std::string BookName;
    std::int64_t FirstSeen = 0;  // Unix ms, 0: never
    std::int64_t LastSeen = 0;
    int Seen = 0;
    int Right = 0;
    int Missed = 0;
    int Slips = 0;
    TMemoryCard Card;
};

QByteArray StudyRecordCsv(const std::vector<TStudyRecordRow> &Rows);
// Writes the file whole or not at all. False when it cannot be written.
bool WriteStudyRecordCsv(const QString &Path, const std::vector<TStudyRecordRow> &Rows);
