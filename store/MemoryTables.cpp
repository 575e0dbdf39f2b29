#include "MemoryTables.h"

#include "ComputerIdentity.h"

#include <set>
#include <string>
#include <utility>

void CreateMemoryTables(TSqlTransaction &transaction)
{
    // BINARY collation: spellings differ by case as the matching does.
    transaction.Execute("CREATE TABLE IF NOT EXISTS wordmemory("
                        "spelling TEXT NOT NULL PRIMARY KEY,"
                        "firstseen INTEGER NOT NULL DEFAULT 0,"
                        "lastseen INTEGER NOT NULL DEFAULT 0,"
                        "bookid INTEGER NOT NULL DEFAULT 0,"
                        "bookrow INTEGER NOT NULL DEFAULT -1,"
                        "seen INTEGER NOT NULL DEFAULT 0,"
                        "rightcount INTEGER NOT NULL DEFAULT 0,"
                        "missed INTEGER NOT NULL DEFAULT 0,"
                        "slips INTEGER NOT NULL DEFAULT 0,"
                        "rightstreak INTEGER NOT NULL DEFAULT 0,"
                        "stability REAL NOT NULL DEFAULT 0,"
                        "difficulty REAL NOT NULL DEFAULT 0,"
                        "due INTEGER NOT NULL DEFAULT 0,"
                        "lastreview INTEGER NOT NULL DEFAULT 0,"
                        "reps INTEGER NOT NULL DEFAULT 0,"
                        "lapses INTEGER NOT NULL DEFAULT 0,"
                        "scheduleddays INTEGER NOT NULL DEFAULT 0,"
                        "state INTEGER NOT NULL DEFAULT 0)");
    // Due before T; per-book counts; most missed.
    transaction.Execute("CREATE INDEX IF NOT EXISTS wordmemory_due ON wordmemory(due)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS wordmemory_book ON wordmemory(bookid)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS wordmemory_missed ON wordmemory(missed)");
    transaction.Execute("CREATE TABLE IF NOT EXISTS wordslip("
                        "id INTEGER PRIMARY KEY,"
                        "spelling TEXT NOT NULL,"
                        "at INTEGER NOT NULL,"
                        "position INTEGER NOT NULL,"
                        "expected INTEGER NOT NULL,"
                        "typed INTEGER NOT NULL)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS wordslip_spelling ON wordslip(spelling)");
    transaction.Execute("CREATE TABLE IF NOT EXISTS reviewlog("
                        "id INTEGER PRIMARY KEY,"
                        "spelling TEXT NOT NULL,"
                        "at INTEGER NOT NULL,"
                        "rating INTEGER NOT NULL,"
                        "stability REAL NOT NULL,"
                        "difficulty REAL NOT NULL,"
                        "due INTEGER NOT NULL,"
                        "state INTEGER NOT NULL)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS reviewlog_spelling ON reviewlog(spelling, at)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS reviewlog_at ON reviewlog(at)");
    transaction.Execute("CREATE TABLE IF NOT EXISTS playlog("
                        "id INTEGER PRIMARY KEY,"
                        "at INTEGER NOT NULL,"
                        "bookid INTEGER NOT NULL,"
                        "tollgate INTEGER NOT NULL,"
                        "level INTEGER NOT NULL,"
                        "rightcount INTEGER NOT NULL,"
                        "errorcount INTEGER NOT NULL,"
                        "review INTEGER NOT NULL DEFAULT 0)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS playlog_book ON playlog(bookid, at)");
}

void AddTypingAndParameterTables(TSqlTransaction &transaction)
{
    // A file stamped older than its tables (an older program's stamp over a
    // newer file) may have them already.
    std::set<std::string> present;
    {
        TSqlQuery columns = transaction.Query("PRAGMA table_info(reviewlog)");
        while (columns.Next())
            present.insert(columns.Text("name"));
    }
    for (const auto &[name, type] :
         {std::pair{"level", "INTEGER"}, std::pair{"playmode", "INTEGER"},
          std::pair{"firstkeyms", "INTEGER"}, std::pair{"lastkeyms", "INTEGER"},
          std::pair{"letterspersec", "REAL"}})
        if (present.count(name) == 0)
            transaction.Execute(std::string("ALTER TABLE reviewlog ADD COLUMN ") + name + " "
                                + type);
    // The speeds of one level and mode, newest first.
    transaction.Execute(
        "CREATE INDEX IF NOT EXISTS reviewlog_speed ON reviewlog(level, playmode, at)");
    // Appended, never changed: the latest row is in force, and every row is a
    // dated change another computer can merge.
    transaction.Execute("CREATE TABLE IF NOT EXISTS memoryparams("
                        "id INTEGER PRIMARY KEY,"
                        "at INTEGER NOT NULL,"
                        "retention REAL NOT NULL,"
                        "weights TEXT NOT NULL)");
}

namespace {

void addMissingColumns(TSqlTransaction &transaction, const std::string &table,
                       std::initializer_list<std::pair<const char *, const char *>> columns)
{
    std::set<std::string> present;
    {
        TSqlQuery rows = transaction.Query("PRAGMA table_info(" + QuoteIdentifier(table) + ")");
        while (rows.Next())
            present.insert(rows.Text("name"));
    }
    for (const auto &[name, type] : columns)
        if (present.count(name) == 0)
            transaction.Execute("ALTER TABLE " + QuoteIdentifier(table) + " ADD COLUMN " + name
                                + " " + type);
}

}  // namespace

void AddGlobalIds(TSqlTransaction &transaction)
{
    transaction.Execute("CREATE TABLE IF NOT EXISTS computer("
                        "slot INTEGER PRIMARY KEY CHECK(slot = 1),"
                        "id TEXT NOT NULL,"
                        "machineid TEXT NOT NULL DEFAULT '',"
                        "folder TEXT NOT NULL DEFAULT '',"
                        "nextseq INTEGER NOT NULL DEFAULT 1)");
    addMissingColumns(transaction, "reviewlog",
                      {{"seen", "INTEGER"},
                       {"rightcount", "INTEGER"},
                       {"missed", "INTEGER"},
                       {"bookid", "INTEGER"},
                       {"bookrow", "INTEGER"}});
    for (const std::string &table : GlobalIdTables()) {
        addMissingColumns(transaction, table, {{"origin", "TEXT"}, {"originseq", "INTEGER"}});
        // A row merged twice is refused by the index, not by a search.
        transaction.Execute("CREATE UNIQUE INDEX IF NOT EXISTS "
                            + QuoteIdentifier(table + "_origin") + " ON " + QuoteIdentifier(table)
                            + "(origin, originseq)");
    }

    // The rows already there are this file's computer's: numbered table by
    // table in their order. The machine id and the folder are recorded when
    // the file is next opened by the program (EnsureComputerIdentity).
    std::int64_t pending = 0;
    for (const std::string &table : GlobalIdTables()) {
        TSqlQuery rows = transaction.Query("SELECT count(*) FROM " + QuoteIdentifier(table)
                                           + " WHERE origin IS NULL");
        pending += rows.Next() ? rows.Integer(0) : 0;
    }
    if (pending == 0)
        return;  // a new file: its computer's id is made when it first writes such a row
    bool haveIdentity = false;
    {
        TSqlQuery row = transaction.Query("SELECT count(*) FROM computer");
        haveIdentity = row.Next() && row.Integer(0) > 0;
    }
    if (!haveIdentity)
        transaction.Execute(
            "INSERT INTO computer(slot, id, machineid, folder, nextseq) VALUES(1, ?, '', '', 1)",
            {NewComputerId()});
    for (const std::string &table : GlobalIdTables()) {
        std::int64_t maxRow = 0;
        {
            TSqlQuery row = transaction.Query("SELECT max(rowid) FROM " + QuoteIdentifier(table));
            maxRow = row.Next() ? row.Integer(0) : 0;
        }
        if (maxRow <= 0)
            continue;
        std::string id;
        std::int64_t first = 0;
        {
            TSqlQuery row = transaction.Query("SELECT id, nextseq FROM computer WHERE slot = 1");
            if (!row.Next())
                throw EDatabaseError("the computer's identity is missing");
            id = row.Text(0);
            first = row.Integer(1);
        }
        std::string where = " WHERE origin IS NULL";
        std::vector<TSqlValue> params = {id, first - 1};
        if (table == "bookinfo") {
            // Books only, the new-words book left out: both are rebuilt per computer.
            where += " AND booktype = 0 AND NOT (bookclass = 8 AND bookname = ?)";
            params.emplace_back(std::string("《我的生词本》"));
        }
        transaction.Execute("UPDATE " + QuoteIdentifier(table)
                                + " SET origin = ?, originseq = ? + rowid" + where,
                            params);
        transaction.Execute("UPDATE computer SET nextseq = ? WHERE slot = 1", {first + maxRow});
    }
}

void AddSyncTables(TSqlTransaction &transaction)
{
    transaction.Execute("CREATE TABLE IF NOT EXISTS syncsegment("
                        "computer TEXT NOT NULL,"
                        "number INTEGER NOT NULL,"
                        "name TEXT NOT NULL,"
                        "body TEXT NOT NULL,"  // the file, base64
                        "PRIMARY KEY(computer, name))");
    transaction.Execute("CREATE TABLE IF NOT EXISTS synccovered("
                        "origin TEXT PRIMARY KEY,"
                        "lastseq INTEGER NOT NULL)");
}

const std::vector<std::string> &GlobalIdTables()
{
    static const std::vector<std::string> tables = {"reviewlog",    "wordslip",   "playlog",
                                                    "memoryparams", "gamerecord", "bookinfo"};
    return tables;
}
