#include "LearnerState.h"

#include <sstream>

#include "StoreFixture.h"
#include "UBookType.h"

namespace {

// A value as text, so that rows compare and print whatever their types.
std::string shown(const TSqlValue &value)
{
    std::ostringstream out;
    out.precision(17);
    if (std::holds_alternative<TSqlNull>(value))
        out << "NULL";
    else if (const auto *i = std::get_if<std::int64_t>(&value))
        out << *i;
    else if (const auto *d = std::get_if<double>(&value))
        out << *d << "r";
    else
        out << '\'' << std::get<std::string>(value) << '\'';
    return out.str();
}

std::vector<std::string> columnsOf(TSqlConnection &connection, const std::string &table)
{
    std::vector<std::string> columns;
    TSqlQuery rows = connection.Query("PRAGMA table_info(" + QuoteIdentifier(table) + ")");
    while (rows.Next())
        columns.push_back(rows.Text("name"));
    return columns;
}

}  // namespace

// Every row of a table, every column but the local row id, in the order given.
std::vector<std::string> rowsOf(TSqlConnection &connection, const std::string &table,
                                const std::string &order)
{
    std::vector<std::string> columns = columnsOf(connection, table);
    std::erase(columns, "id");
    std::string list;
    for (const std::string &c : columns)
        list += (list.empty() ? "" : ", ") + c;
    std::vector<std::string> out;
    TSqlQuery rows = connection.Query("SELECT " + list + " FROM " + table + " ORDER BY " + order);
    while (rows.Next()) {
        std::string line;
        for (size_t i = 0; i < columns.size(); ++i)
            line += columns[i] + "=" + shown(rows.Value(static_cast<int>(i))) + " ";
        out.push_back(line);
    }
    return out;
}

TLearnerState stateOf(TDataInterface &db)
{
    TDataInterface *installed = &DataInterface();
    SetDataInterface(&db);
    TLearnerState s;
    TSqlConnection &c = db.Connection();
    s.Memory = rowsOf(c, "wordmemory", "spelling");
    s.Reviews = rowsOf(c, "reviewlog", "origin, originseq");
    s.Slips = rowsOf(c, "wordslip", "origin, originseq");
    s.Plays = rowsOf(c, "playlog", "origin, originseq");
    s.Parameters = rowsOf(c, "memoryparams", "origin, originseq");
    s.Scores = rowsOf(c, "gamerecord", "origin, originseq");
    for (const TWordInfo &w : NewWordsBookWords())
        s.NewWords.push_back(w.Spelling + "|" + w.Pronunciation + "|" + w.Meaning);
    for (const TGameRecordItem &r : LoadGameRecords())
        s.Leaderboard.push_back(std::to_string(r.Rank) + " " + r.Name + " "
                                + std::to_string(r.Score));
    SetDataInterface(installed);
    return s;
}

TWordMeeting meeting(const TWordInfo &word, TRating rating, int bookId, int row)
{
    TWordMeeting m;
    m.Word = word;
    m.BookId = bookId;
    m.BookRow = row;
    m.Rating = rating;
    m.Right = rating == TRating::Again ? 0 : 1;
    m.Missed = rating == TRating::Again ? 1 : 0;
    return m;
}

void record(std::int64_t at, int bookId, const std::vector<TWordMeeting> &words)
{
    const TFsrsParameters parameters = ReadMemoryParameters();
    RecordTollGate({at, bookId, 1, 2, 3, 1, false}, words,
                   [&](const TMemoryCard &card, TRating rating, std::int64_t when) {
                       return ReviewCardWith(card, rating, when, parameters);
                   });
}

TFsrsParameters otherParameters()
{
    TFsrsParameters p;
    p.Retention = 0.85;
    p.Weights[0] = 0.5;
    return p;
}
