#include "LogMerge.h"

#include <algorithm>
#include <map>

#include "GbkText.h"
#include "MemoryParameters.h"
#include "Settings.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

std::string joined(const std::vector<std::string> &columns)
{
    std::string out;
    for (const std::string &c : columns)
        out += (out.empty() ? "" : ", ") + c;
    return out;
}

std::string placeholders(size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += i ? ", ?" : "?";
    return out;
}

const std::string *textOf(const TSqlValue &value)
{
    return std::get_if<std::string>(&value);
}

std::int64_t integerOf(const TSqlValue &value, std::int64_t otherwise = 0)
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        return *i;
    if (const auto *d = std::get_if<double>(&value))
        return static_cast<std::int64_t>(*d);
    return otherwise;
}

int columnIndex(const std::string &table, std::string_view column)
{
    const std::vector<std::string> &columns = LogColumns(table);
    const auto it = std::find(columns.begin(), columns.end(), column);
    return static_cast<int>(it - columns.begin());
}

// What the added rows of one table bring to each word.
void addShares(std::map<std::string, TMergedWordShare> &shares, const std::string &table,
               const std::vector<TSqlValue> &row)
{
    const auto at = [&](std::string_view column) -> const TSqlValue & {
        return row[static_cast<size_t>(columnIndex(table, column))];
    };
    const std::string *spelling = textOf(at("spelling"));
    if (!spelling)
        return;
    TMergedWordShare &share = shares[*spelling];
    share.Spelling = Utf8ToGbk(*spelling);
    if (table == "wordslip") {
        ++share.Slips;
        return;
    }
    const std::int64_t when = integerOf(at("at"));
    share.FirstAt = share.FirstAt < 0 ? when : std::min(share.FirstAt, when);
    if (integerOf(at("rating")) != kKnownMark)
        share.LastAt = std::max(share.LastAt, when);
    share.Seen += static_cast<int>(integerOf(at("seen")));
    share.Right += static_cast<int>(integerOf(at("rightcount")));
    share.Missed += static_cast<int>(integerOf(at("missed")));
}

// The new-words book, found as WordMemory finds it.
TWordInfos readNewWords(TSqlConnection &connection)
{
    TWordInfos out;
    std::string table;
    {
        TSqlQuery book = connection.Query(
            "SELECT storetablename FROM bookinfo WHERE bookclass = 8 AND booktype = ? "
            "AND bookname = ? ORDER BY id LIMIT 1",
            {std::int64_t{kBookTypeLetter}, GbkToUtf8(NewWordsBookName())});
        if (book.Next())
            table = book.Text(0);
    }
    if (!table.empty()) {
        TSqlQuery words = connection.Query("SELECT spelling, pronunciation, meaning FROM "
                                           + QuoteIdentifier(table) + " ORDER BY id");
        const bool scrambled = IsScrambleOn();
        while (words.Next())
            out.push_back(WordFromStoredRow(words, scrambled));
    }
    return out;
}

}  // namespace

const std::vector<std::string> &LogTables()
{
    static const std::vector<std::string> tables = {"reviewlog", "wordslip", "playlog",
                                                    "memoryparams", "gamerecord"};
    return tables;
}

const std::vector<std::string> &LogColumns(const std::string &table)
{
    static const std::map<std::string, std::vector<std::string>> columns = {
        {"reviewlog",
         {"origin", "originseq", "spelling", "at", "rating", "stability", "difficulty", "due",
          "state", "level", "playmode", "firstkeyms", "lastkeyms", "letterspersec", "seen",
          "rightcount", "missed", "bookid", "bookrow"}},
        {"wordslip", {"origin", "originseq", "spelling", "at", "position", "expected", "typed"}},
        {"playlog",
         {"origin", "originseq", "at", "bookid", "tollgate", "level", "rightcount", "errorcount",
          "review"}},
        {"memoryparams", {"origin", "originseq", "at", "retention", "weights"}},
        {"gamerecord", {"origin", "originseq", "name", "score", "recoretime"}},
    };
    const auto it = columns.find(table);
    if (it == columns.end())
        throw EDatabaseError("no log table " + table);
    return it->second;
}

TLogBatch ReadLogBatch(TSqlConnection &connection)
{
    TLogBatch batch;
    for (const std::string &table : LogTables()) {
        const std::vector<std::string> &columns = LogColumns(table);
        TLogRows rows{table, {}};
        TSqlQuery query =
            connection.Query("SELECT " + joined(columns) + " FROM " + QuoteIdentifier(table)
                             + " WHERE origin IS NOT NULL ORDER BY rowid");
        while (query.Next()) {
            std::vector<TSqlValue> row;
            row.reserve(columns.size());
            for (size_t i = 0; i < columns.size(); ++i)
                row.push_back(query.Value(static_cast<int>(i)));
            rows.Rows.push_back(std::move(row));
        }
        batch.Tables.push_back(std::move(rows));
    }
    batch.NewWords = readNewWords(connection);
    return batch;
}

TLogBatch ReadLogBatchAfter(TSqlConnection &connection,
                            const std::map<std::string, std::int64_t> &seen)
{
    TLogBatch batch;
    for (const std::string &table : LogTables()) {
        const std::vector<std::string> &columns = LogColumns(table);
        const std::string quoted = QuoteIdentifier(table);
        std::vector<std::string> origins;
        {
            TSqlQuery rows = connection.Query("SELECT DISTINCT origin FROM " + quoted
                                              + " WHERE origin IS NOT NULL");
            while (rows.Next())
                origins.push_back(rows.Text(0));
        }
        TLogRows rows{table, {}};
        for (const std::string &origin : origins) {
            const auto known = seen.find(origin);
            const std::int64_t after = known == seen.end() ? 0 : known->second;
            TSqlQuery query = connection.Query("SELECT " + joined(columns) + " FROM " + quoted
                                                   + " WHERE origin = ? AND originseq > ? "
                                                     "ORDER BY originseq",
                                               {origin, after});
            while (query.Next()) {
                std::vector<TSqlValue> row;
                row.reserve(columns.size());
                for (size_t i = 0; i < columns.size(); ++i)
                    row.push_back(query.Value(static_cast<int>(i)));
                rows.Rows.push_back(std::move(row));
            }
        }
        batch.Tables.push_back(std::move(rows));
    }
    batch.NewWords = readNewWords(connection);
    return batch;
}

TMergeResult MergeLogs(const TLogBatch &batch, const TMergeRecorder &alsoRecord)
{
    TMergeResult result;
    TSqlTransaction transaction(DataInterface().Connection());
    std::map<std::string, TMergedWordShare> shares;  // by UTF-8 spelling
    for (const TLogRows &rows : batch.Tables) {
        const std::vector<std::string> &columns = LogColumns(rows.Table);
        const std::string table = QuoteIdentifier(rows.Table);
        const std::string insert = "INSERT INTO " + table + "(" + joined(columns) + ") VALUES("
                                   + placeholders(columns.size()) + ")";
        const std::string present =
            "SELECT 1 FROM " + table + " WHERE origin = ? AND originseq = ?";
        for (const std::vector<TSqlValue> &row : rows.Rows) {
            const std::string *origin = row.size() == columns.size() ? textOf(row[0]) : nullptr;
            if (!origin || origin->empty() || !std::holds_alternative<std::int64_t>(row[1]))
                throw EDatabaseError("a log row of " + rows.Table + " has no global id");
            if (transaction.Query(present, {row[0], row[1]}).Next()) {
                ++result.Skipped;
                continue;
            }
            transaction.Execute(insert, row);
            ++result.Added;
            if (rows.Table == "reviewlog" || rows.Table == "wordslip")
                addShares(shares, rows.Table, row);
        }
    }
    if (result.Added == 0) {
        if (alsoRecord) {
            alsoRecord(transaction);
            transaction.Commit();
        }
        return result;  // otherwise rolled back: nothing was written
    }

    const TFsrsParameters parameters = ReadMemoryParameters();
    const TCardReview review = [&parameters](const TMemoryCard &card, TRating rating,
                                             std::int64_t at) {
        return ReviewCardWith(card, rating, at, parameters);
    };
    std::vector<TMergedWordShare> words;
    words.reserve(shares.size());
    for (auto &[utf8, share] : shares)
        words.push_back(std::move(share));
    result.NewWordsBookChanged = RebuildMergedWords(transaction, words, review, batch.NewWords);
    TSqlQuery count = transaction.Query("SELECT count(DISTINCT spelling) FROM reviewlog");
    result.CardsRebuilt = count.Next() ? static_cast<int>(count.Integer(0)) : 0;
    if (alsoRecord)
        alsoRecord(transaction);
    transaction.Commit();
    return result;
}
