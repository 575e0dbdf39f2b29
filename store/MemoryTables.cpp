#include "MemoryTables.h"

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
