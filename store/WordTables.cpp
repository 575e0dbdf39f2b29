#include "WordTables.h"

#include "GbkText.h"
#include "Scramble.h"
#include "StoreLog.h"
#include "UDataInterface.h"

namespace {

std::string quotedTable(const std::string &gbkTable)
{
    return QuoteIdentifier(GbkToUtf8(gbkTable));
}

}  // namespace

std::string LibraryTableName(int id)
{
    return "lib" + std::to_string(id);
}

std::string ShuffledTableName(int id)
{
    return "randomlib" + std::to_string(id);
}

std::string WordTableSql(const std::string &gbkTable, const TColumnLimits &limits)
{
    const auto column = [](const char *name, size_t size) {
        return std::string(name) + " TEXT NOT NULL DEFAULT '' CHECK(length(" + name
               + ") <= " + std::to_string(size) + ")";
    };
    // AUTOINCREMENT: ids run 1, 2, 3 … in insertion order and are never reused.
    return "CREATE TABLE " + quotedTable(gbkTable) + "(id INTEGER PRIMARY KEY AUTOINCREMENT, "
           + column("spelling", limits.Spelling) + ", "
           + column("pronunciation", limits.Pronunciation) + ", "
           + column("meaning", limits.Meaning) + ")";
}

namespace {

bool createWordTable(const std::string &gbkTable, const TColumnLimits &limits)
{
    try {
        return DataInterface().ExecuteSQL(WordTableSql(gbkTable, limits));
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

}  // namespace

std::string InsertWordSql(const std::string &gbkTable)
{
    return "INSERT INTO " + quotedTable(gbkTable)
           + "(spelling, pronunciation, meaning) VALUES(?, ?, ?)";
}

// Texts as they go into a word table: scrambled (already ASCII) or UTF-8.
std::string StoredWordText(const std::string &gbk, bool scramble)
{
    return scramble ? ScrambleText(gbk) : GbkToUtf8(gbk);
}

bool TableExists(const std::string &tableName)
{
    TSqlQuery query = DataInterface().Query(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' AND name = ? COLLATE NOCASE",
        {GbkToUtf8(tableName)});
    return query.Next();
}

bool DropTable(const std::string &tableName)
{
    try {
        return DataInterface().ExecuteSQL("DROP TABLE " + quotedTable(tableName));
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool CreateLibraryTable(const std::string &tableName)
{
    return createWordTable(tableName, kLibraryLimits);
}

bool CreateShuffledTable(const std::string &tableName)
{
    return createWordTable(tableName, kShuffledLimits);
}

bool InsertWordInfo(const TWordInfo &word, const std::string &tableName)
{
    try {
        return DataInterface().ExecuteSQL(
            InsertWordSql(tableName),
            {GbkToUtf8(word.Spelling), GbkToUtf8(word.Pronunciation), GbkToUtf8(word.Meaning)});
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}
