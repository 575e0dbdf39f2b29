#pragma once
// The logs as they travel between computers, and their merge: rows are
// added, never changed, each known by its global id (ComputerIdentity.h), so
// a merge adds only the rows it lacks, merging twice changes nothing, and
// two computers that merged each other's rows hold the same logs whatever
// the order. What derives from the logs (the cards, the counts, the
// new-words book) is then rebuilt from them; the leaderboard and the
// progress figures read the logs themselves.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Records.h"
#include "SqlDatabase.h"

// One table's rows, each with the values of LogColumns(Table) in order.
struct TLogRows {
    std::string Table;
    std::vector<std::vector<TSqlValue>> Rows;
};

struct TLogBatch {
    // The review, slip, play and parameter logs and the scores.
    std::vector<TLogRows> Tables;
    // The sender's new-words book: the meanings of the words in it.
    TWordInfos NewWords;
};

// The tables that travel, and the columns of each as they travel (the
// global id first: origin, originseq).
const std::vector<std::string> &LogTables();
const std::vector<std::string> &LogColumns(const std::string &table);

// Every row with a global id of a database's logs, in the order written,
// and its new-words book read as this program stores texts. Throws
// EDatabaseError.
TLogBatch ReadLogBatch(TSqlConnection &connection);

// The rows of ReadLogBatch a reader has not had yet: of each computer
// (origin), those numbered above seen[origin], every row of a computer not in
// seen; the new-words book whole. Read through the global-id index, so
// nothing new costs no scan of the logs. Throws EDatabaseError.
TLogBatch ReadLogBatchAfter(TSqlConnection &connection,
                            const std::map<std::string, std::int64_t> &seen);

struct TMergeResult {
    std::int64_t Added = 0;    // rows the database lacked
    std::int64_t Skipped = 0;  // rows it held already
    int CardsRebuilt = 0;
    bool NewWordsBookChanged = false;
};

// Adds the batch's rows the installed database lacks, then rebuilds what
// derives from them (RebuildMergedWords) with the scheduler's parameters in
// force after the merge. A row without a global id or of the wrong width is
// refused: nothing is merged. One transaction; throws EDatabaseError with
// nothing changed. Nothing is rebuilt when no row was added. alsoRecord,
// when given, writes in the same transaction after the rows (what was merged,
// by whom), so the rows and that record are committed together or not at all.
using TMergeRecorder = std::function<void(TSqlTransaction &)>;
TMergeResult MergeLogs(const TLogBatch &batch, const TMergeRecorder &alsoRecord = {});
