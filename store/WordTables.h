#pragma once
// The word tables: their names, their statements (a table's columns and
// limits, the insert of a row), and the few operations on a whole table.
// Table names are GBK; the database holds them as UTF-8.

#include <string>

#include "Records.h"
#include "WordList.h"

// "lib" + id and "randomlib" + id.
std::string LibraryTableName(int id);
std::string ShuffledTableName(int id);

// True when a user table of that name exists, compared without regard to case.
// Throws on an engine error.
bool TableExists(const std::string &tableName);
bool DropTable(const std::string &tableName);
// Word tables with the column limits 255/200/255 (import) and 100/100/200
// (shuffled copy), measured in characters of the stored text.
bool CreateLibraryTable(const std::string &tableName);
bool CreateShuffledTable(const std::string &tableName);
// Statements for writers that run a transaction of their own: a word table
// with the given column limits, and the insert of one row into it.
std::string WordTableSql(const std::string &tableName, const TColumnLimits &limits);
std::string InsertWordSql(const std::string &tableName);
// A GBK text as a word table stores it: scrambled (ASCII) or UTF-8.
std::string StoredWordText(const std::string &gbk, bool scramble);

// Inserts the first three fields as they are (no scrambling). False on any error.
bool InsertWordInfo(const TWordInfo &word, const std::string &tableName);
