#include "UImpExpLib.h"

#include <optional>
#include <vector>

#include "GbkText.h"
#include "Scramble.h"
#include "Settings.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordFile.h"
#include "WordLine.h"

namespace {

std::string quotedTable(const std::string &gbkTable)
{
    return QuoteIdentifier(GbkToUtf8(gbkTable));
}

std::string wordTableColumns(int spelling, int pronunciation, int meaning)
{
    const auto column = [](const char *name, int size) {
        return std::string(name) + " TEXT NOT NULL DEFAULT '' CHECK(length(" + name
            + ") <= " + std::to_string(size) + ")";
    };
    // AUTOINCREMENT: ids run 1, 2, 3 … in insertion order and are never reused.
    return "(id INTEGER PRIMARY KEY AUTOINCREMENT, " + column("spelling", spelling) + ", "
        + column("pronunciation", pronunciation) + ", " + column("meaning", meaning) + ")";
}

bool createWordTable(const std::string &gbkTable, int spelling, int pronunciation, int meaning)
{
    try {
        return DataInterface().ExecuteSQL("CREATE TABLE " + quotedTable(gbkTable)
                                          + wordTableColumns(spelling, pronunciation, meaning));
    } catch (...) {
        return false;
    }
}

std::string insertWordSql(const std::string &gbkTable)
{
    return "INSERT INTO " + quotedTable(gbkTable)
        + "(spelling, pronunciation, meaning) VALUES(?, ?, ?)";
}

// Texts as they go into a word table: scrambled (already ASCII) or UTF-8.
std::string storedText(const std::string &gbk, bool scramble)
{
    return scramble ? ScrambleText(gbk) : GbkToUtf8(gbk);
}

bool importLine(const std::string &line, const std::string &insertSql, bool scramble)
{
    // A byte sequence that is not GBK would be stored as a changed word.
    if (!GbkToQStringStrict(line))
        return false;
    const TWordLine word = SplitWordLine(line);
    if (IsBlankText(word.Spelling))
        return false;
    const std::string pronunciation = ConvertPhoneticDigits(word.Pronunciation);
    return DataInterface().ExecuteSQL(insertSql, {storedText(word.Spelling, scramble),
                                                  storedText(pronunciation, scramble),
                                                  storedText(word.Meaning, scramble)});
}

} // namespace

std::string LibraryTableName(int id)
{
    return "lib" + std::to_string(id);
}

std::string ShuffledTableName(int id)
{
    return "randomlib" + std::to_string(id);
}

QString ErrorLineQuestion(int lineNumber)
{
    return QStringLiteral("导入的词库中第%1条有错误,是否略过继续执行导入?").arg(lineNumber);
}

int NextBookId()
{
    TSqlQuery query = DataInterface().Query("SELECT max(id) AS id FROM bookinfo");
    const std::int64_t largest = query.Next() ? query.Integer("id") : 0;
    return static_cast<int>(largest + 1);
}

bool TableExists(const std::string &TableName)
{
    TSqlQuery query = DataInterface().Query(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' AND name = ? COLLATE NOCASE",
        {GbkToUtf8(TableName)});
    return query.Next();
}

bool DropTable(const std::string &TableName)
{
    try {
        return DataInterface().ExecuteSQL("DROP TABLE " + quotedTable(TableName));
    } catch (...) {
        return false;
    }
}

bool CreateLibraryTable(const std::string &TableName)
{
    return createWordTable(TableName, 255, 200, 255);
}

bool CreateShuffledTable(const std::string &TableName)
{
    return createWordTable(TableName, 100, 100, 200);
}

bool InsertWordInfo(const TWordInfo &Word, const std::string &TableName)
{
    try {
        return DataInterface().ExecuteSQL(insertWordSql(TableName),
                                          {GbkToUtf8(Word.Spelling), GbkToUtf8(Word.Pronunciation),
                                           GbkToUtf8(Word.Meaning)});
    } catch (...) {
        return false;
    }
}

bool AddLibraryBookInfo(const std::string &BookName, const std::string &TableName,
                        int WordNumber, int Id, int BookType, int BookClass, int IsDefault)
{
    try {
        return DataInterface().ExecuteSQL(
            "INSERT INTO bookinfo(bookname, wordnumber, storetablename, id, booktype, bookclass, "
            "isdefault) VALUES(?, ?, ?, ?, ?, ?, ?)",
            {GbkToUtf8(BookName), std::int64_t{WordNumber}, GbkToUtf8(TableName),
             std::int64_t{Id}, std::int64_t{BookType}, std::int64_t{BookClass},
             std::int64_t{IsDefault}});
    } catch (...) {
        return false;
    }
}

bool RegisterShuffledBook(int NewId, int WordCount, const std::string &BookName,
                          const std::string &TableName, int BookType, int SourceId)
{
    try {
        TDataInterface &db = DataInterface();
        const int bookClass = GetBookClass(SourceId);
        db.ExecuteSQL("DELETE FROM bookinfo WHERE bookname = ? AND booktype = ?",
                      {GbkToUtf8(BookName), std::int64_t{BookType}});
        // isdefault keeps its default, so the copy is no second node in the tree.
        return db.ExecuteSQL(
            "INSERT INTO bookinfo(id, bookname, wordnumber, storetablename, booktype, bookclass) "
            "VALUES(?, ?, ?, ?, ?, ?)",
            {std::int64_t{NewId}, GbkToUtf8(BookName), std::int64_t{WordCount},
             GbkToUtf8(TableName), std::int64_t{BookType}, std::int64_t{bookClass}});
    } catch (...) {
        return false;
    }
}

int BuildShuffledBook(int SourceId, const std::string &BookName, TStoreProgress &Progress)
{
    TDataInterface &db = DataInterface();
    const std::string sourceTable = GetBookTableName(SourceId);
    const std::string copyTable = ShuffledTableName(SourceId);

    // One transaction: a failure rolls back the new table with its rows, and
    // a table left over from elsewhere (which makes the CREATE fail) is untouched.
    TSqlTransaction transaction(db.Connection());
    if (!CreateShuffledTable(copyTable))
        return -1;

    struct StoredWord {
        std::string spelling, pronunciation, meaning;  // as stored, UTF-8 or scrambled
    };
    std::vector<StoredWord> words;
    {
        const std::string source = quotedTable(sourceTable);
        const std::int64_t rows = db.CountRows(GbkToUtf8(sourceTable));
        Progress.SetMaximum(static_cast<int>(2 * rows));
        Progress.SetPosition(0);
        words.reserve(static_cast<size_t>(rows));
        TSqlQuery query =
            db.Query("SELECT spelling, pronunciation, meaning FROM " + source + " ORDER BY id");
        while (query.Next()) {
            words.push_back({query.Text(0), query.Text(1), query.Text(2)});
            Progress.StepIt();
            Progress.ProcessPendingEvents();
        }
    }

    const int n = static_cast<int>(words.size());
    TIntAry order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    ShuffleIntAry(order);

    const std::string insertSql = insertWordSql(copyTable);
    for (const std::int32_t position : order) {
        const StoredWord &word = words[static_cast<size_t>(position)];
        if (!db.ExecuteSQL(insertSql, {word.spelling, word.pronunciation, word.meaning}))
            return -1;
        Progress.StepIt();
        Progress.ProcessPendingEvents();
    }

    const int newId = NextBookId();
    if (!RegisterShuffledBook(newId, n, BookName, copyTable, kBookTypeShuffled, SourceId))
        return -1;
    transaction.Commit();
    return newId;
}

bool ImportWordLine(const std::string &Line, const std::string &TableName)
{
    try {
        return importLine(Line, insertWordSql(TableName), IsScrambleOn());
    } catch (...) {
        return false;
    }
}

bool ImportWordLibrary(const QString &FileName, const std::string &BookName,
                       TStoreProgress &Progress, int BookClass)
{
    // The id is taken inside the import's transaction, so nobody else takes it meanwhile.
    return ImportWordLibraryAs(FileName, BookName, Progress, BookClass, 0);
}

bool ImportWordLibraryAs(const QString &FileName, const std::string &BookName,
                         TStoreProgress &Progress, int BookClass, int Id)
{
    // Read first: a file that cannot be read changes nothing.
    const std::vector<std::optional<std::string>> lines = ReadWordFileLines(FileName);

    TDataInterface &db = DataInterface();
    TSqlTransaction transaction(db.Connection());
    const int id = Id > 0 ? Id : NextBookId();
    if (db.Query("SELECT id FROM bookinfo WHERE id = ?", {std::int64_t{id}}).Next())
        return false;
    const std::string table = LibraryTableName(id);
    // A table left by an import that was stopped and never registered.
    if (TableExists(table))
        DropTable(table);
    if (!CreateLibraryTable(table))
        return false;
    if (lines.empty())
        return false;  // rolls the new table back

    const int lineCount = static_cast<int>(lines.size());
    Progress.SetMaximum(lineCount);
    Progress.SetPosition(0);
    // Read once: a book is stored wholly plain or wholly scrambled.
    const bool scramble = IsScrambleOn();
    const std::string insertSql = insertWordSql(table);
    int count = 0;   // lines read, skipped ones included: numbers the questions
    int stored = 0;  // rows in the table: the book's word count
    for (const std::optional<std::string> &line : lines) {
        // An import the program's end interrupts ends as on No.
        const bool stop = Progress.StopRequested();
        if (!stop && line && importLine(*line, insertSql, scramble)) {
            ++stored;
        } else if (stop || !Progress.AskYesNo(ErrorLineQuestion(count + 1))) {
            // The rows so far stay, unregistered, as after a stopped import.
            transaction.Commit();
            return false;
        }
        ++count;
        Progress.SetPosition(count);
        Progress.ProcessPendingEvents();
    }

    if (!AddLibraryBookInfo(BookName, table, stored, id, kBookTypeLetter, BookClass, 1))
        return false;  // rolls the new table back
    transaction.Commit();
    return true;
}
