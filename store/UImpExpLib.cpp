#include "UImpExpLib.h"

#include "ComputerIdentity.h"

#include <optional>
#include <vector>

#include "BookExamples.h"
#include "GbkText.h"
#include "Scramble.h"
#include "Settings.h"
#include "StoreLog.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordTables.h"
#include "WordFile.h"
#include "WordLine.h"
#include "WordList.h"

namespace {

std::string quotedTable(const std::string &gbkTable)
{
    return QuoteIdentifier(GbkToUtf8(gbkTable));
}

// A word table row as stored: UTF-8, or scrambled (ASCII).
struct TStoredRow {
    std::string spelling, pronunciation, meaning;
};

std::vector<TSqlValue> rowValues(const TStoredRow &row)
{
    return {row.spelling, row.pronunciation, row.meaning};
}

constexpr std::string_view kInsertLibraryBookSql =
    "INSERT INTO bookinfo(bookname, wordnumber, storetablename, id, booktype, bookclass, "
    "isdefault) VALUES(?, ?, ?, ?, ?, ?, ?)";

std::vector<TSqlValue> libraryBookValues(const std::string &name, const std::string &table,
                                         int wordNumber, int id, int bookType, int bookClass,
                                         int isDefault)
{
    return {GbkToUtf8(name),        std::int64_t{wordNumber}, GbkToUtf8(table),
            std::int64_t{id},       std::int64_t{bookType},   std::int64_t{bookClass},
            std::int64_t{isDefault}};
}

// The copy's catalogue row replaces any row of that name and order.
void registerShuffled(TSqlTransaction &transaction, int newId, int wordCount,
                      const std::string &bookName, const std::string &table, int bookType,
                      int bookClass)
{
    transaction.Execute("DELETE FROM bookinfo WHERE bookname = ? AND booktype = ?",
                        {GbkToUtf8(bookName), std::int64_t{bookType}});
    // isdefault keeps its default, so the copy is no second node in the tree.
    transaction.Execute(
        "INSERT INTO bookinfo(id, bookname, wordnumber, storetablename, booktype, bookclass) "
        "VALUES(?, ?, ?, ?, ?, ?)",
        {std::int64_t{newId}, GbkToUtf8(bookName), std::int64_t{wordCount}, GbkToUtf8(table),
         std::int64_t{bookType}, std::int64_t{bookClass}});
}

}  // namespace

namespace {

TStoredRow storedRow(const TWordLine &word, bool scramble)
{
    return {StoredWordText(word.Spelling, scramble), StoredWordText(word.Pronunciation, scramble),
            StoredWordText(word.Meaning, scramble)};
}

}  // namespace

bool AddLibraryBookInfo(const std::string &BookName, const std::string &TableName, int WordNumber,
                        int Id, int BookType, int BookClass, int IsDefault)
{
    try {
        DataInterface().Connection().Execute(
            kInsertLibraryBookSql,
            libraryBookValues(BookName, TableName, WordNumber, Id, BookType, BookClass, IsDefault));
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool RegisterShuffledBook(int NewId, int WordCount, const std::string &BookName,
                          const std::string &TableName, int BookType, int SourceId)
{
    try {
        const int bookClass = GetBookClass(SourceId);
        TSqlTransaction transaction(DataInterface().Connection());
        registerShuffled(transaction, NewId, WordCount, BookName, TableName, BookType, bookClass);
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

int BuildShuffledBook(int SourceId, const std::string &BookName, TStoreProgress &Progress)
{
    try {
        TDataInterface &db = DataInterface();
        const std::string sourceTable = GetBookTableName(SourceId);
        const std::string copyTable = ShuffledTableName(SourceId);
        const int bookClass = GetBookClass(SourceId);

        // Read without a transaction: the write transaction below is short.
        std::vector<TStoredRow> words;
        {
            const std::int64_t rows = db.CountRows(GbkToUtf8(sourceTable));
            Progress.SetMaximum(static_cast<int>(2 * rows));
            Progress.SetPosition(0);
            words.reserve(static_cast<size_t>(rows));
            TSqlQuery query = db.Query("SELECT spelling, pronunciation, meaning FROM "
                                       + quotedTable(sourceTable) + " ORDER BY id");
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

        // One transaction: a failure rolls back the new table with its rows,
        // and a table left over from elsewhere (which makes the CREATE fail)
        // is untouched.
        TSqlTransaction transaction(db.Connection());
        transaction.Execute(WordTableSql(copyTable, kShuffledLimits));
        const std::string insertSql = InsertWordSql(copyTable);
        for (const std::int32_t position : order) {
            transaction.Execute(insertSql, rowValues(words[static_cast<size_t>(position)]));
            Progress.StepIt();
            Progress.ProcessPendingEvents();
        }
        const int newId = NextBookId();
        registerShuffled(transaction, newId, n, BookName, copyTable, kBookTypeShuffled, bookClass);
        transaction.Commit();
        return newId;
    } catch (const EDatabaseError &e) {
        // A locked database, a full disk, a row too long for the copy.
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return -1;
    }
}

bool ImportWordLine(const std::string &Line, const std::string &TableName)
{
    try {
        const bool scramble = IsScrambleOn();
        const TCheckedLine line = CheckWordLine(Line, TWordLayout::Brackets, scramble);
        if (line.Error != TLineError::None)
            return false;
        DataInterface().Connection().Execute(InsertWordSql(TableName),
                                             rowValues(storedRow(line.Word, scramble)));
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool ImportWordLibrary(const QString &FileName, const std::string &BookName,
                       TStoreProgress &Progress, int BookClass)
{
    // The id is taken inside the write transaction, so nobody else takes it meanwhile.
    return ImportWordLibraryAs(FileName, BookName, Progress, BookClass, 0);
}

bool ImportWordLibraryAs(const QString &FileName, const std::string &BookName,
                         TStoreProgress &Progress, int BookClass, int Id)
{
    // Read first: a file that cannot be read changes nothing. The settings
    // are read once: a book is stored wholly plain or wholly scrambled.
    const std::string bytes = ReadWordFileBytes(FileName);
    const TWordList list = ParseWordFile(bytes, DecideWordFileEncoding(bytes).Encoding,
                                         TWordLayout::Brackets, IsScrambleOn());
    return ImportWordListAs(list, BookName, Progress, BookClass, Id);
}

bool ImportWordList(const TWordList &List, const std::string &BookName, TStoreProgress &Progress,
                    int BookClass)
{
    return ImportWordListAs(List, BookName, Progress, BookClass, 0);
}

bool ImportWordListAs(const TWordList &List, const std::string &BookName, TStoreProgress &Progress,
                      int BookClass, int Id)
{
    if (List.Lines.empty())
        return false;

    // First pass, nothing locked: the questions asked in line order while
    // the player may take his time.
    const int lineCount = static_cast<int>(List.Lines.size());
    Progress.SetMaximum(2 * lineCount);
    Progress.SetPosition(0);
    // The rows are made from the list as they are written, not kept: a list
    // of a million lines would hold its words twice.
    std::int64_t total = 0;
    int count = 0;
    for (const TListLine &line : List.Lines) {
        // An import the program's end interrupts ends as on No.
        const bool stop = Progress.StopRequested();
        if (line.Error == TLineError::None && !stop)
            ++total;
        else if (stop || !Progress.AskYesNo(ErrorLineQuestion(line.LineNumber)))
            return false;
        ++count;
        Progress.SetPosition(count);
        Progress.ProcessPendingEvents();
    }
    // A book without a row would never show in the tree, yet keep its name.
    if (total == 0)
        return false;

    // Second pass: the table, its rows and the catalogue row in one short transaction.
    try {
        TDataInterface &db = DataInterface();
        TSqlTransaction transaction(db.Connection());
        const int id = Id > 0 ? Id : NextBookId();
        if (db.Query("SELECT id FROM bookinfo WHERE id = ?", {std::int64_t{id}}).Next())
            return false;
        const std::string table = LibraryTableName(id);
        // A table left by an older import that was stopped and never registered.
        if (TableExists(table))
            transaction.Execute("DROP TABLE " + quotedTable(table));
        transaction.Execute(WordTableSql(table, kLibraryLimits));
        const std::string insertSql = InsertWordSql(table);
        std::int64_t k = 0;
        for (const TListLine &line : List.Lines) {
            if (line.Error != TLineError::None)
                continue;
            transaction.Execute(insertSql, rowValues(storedRow(line.Word, List.Scramble)));
            if (!line.Example.Sentence.empty())
                InsertBookExample(transaction, table, line.Word.Spelling, line.Example);
            ++k;
            Progress.SetPosition(lineCount + static_cast<int>(k * lineCount / total));
            Progress.ProcessPendingEvents();
            if (Progress.StopRequested())
                return false;  // rolled back: the program is ending
        }
        // The book counts the rows it holds, so no empty toll gate follows.
        transaction.Execute(kInsertLibraryBookSql,
                            libraryBookValues(BookName, table, static_cast<int>(total), id,
                                              kBookTypeLetter, BookClass, 1));
        // The learner's own import travels to other computers under a global
        // id; a book given its id (the shipped database's builder) does not.
        if (Id <= 0) {
            const TGlobalIdRange globalId = ReserveGlobalIds(transaction, 1);
            transaction.Execute("UPDATE bookinfo SET origin = ?, originseq = ? WHERE id = ?",
                                {globalId.Computer, globalId.First, std::int64_t{id}});
        }
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        // A locked database, a full disk: the transaction rolls everything back.
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

namespace {

struct TShippedBook {
    std::string name, table;  // UTF-8, as stored
    std::int64_t bookClass = 0, isDefault = 0;
};

// A stored text of one file as the other stores it.
std::string restored(const std::string &stored, bool fromScrambled, bool toScrambled)
{
    if (fromScrambled == toScrambled)
        return stored;
    return StoredWordText(fromScrambled ? UnscrambleText(stored) : Utf8ToGbk(stored), toScrambled);
}

// False for a book without words, which is not added. Throws on an engine error.
bool addShippedBook(TSqlConnection &shipped, const TShippedBook &book, bool shippedScrambled)
{
    const bool scramble = IsScrambleOn();
    std::vector<TStoredRow> rows;
    TSqlQuery words = shipped.Query("SELECT spelling, pronunciation, meaning FROM "
                                    + QuoteIdentifier(book.table) + " ORDER BY id");
    while (words.Next()) {
        rows.push_back({restored(words.Text(0), shippedScrambled, scramble),
                        restored(words.Text(1), shippedScrambled, scramble),
                        restored(words.Text(2), shippedScrambled, scramble)});
    }
    if (rows.empty())
        return false;

    TDataInterface &db = DataInterface();
    TSqlTransaction transaction(db.Connection());
    const int id = NextBookId();
    const std::string table = LibraryTableName(id);
    // A table left by an import that was stopped and never registered.
    if (TableExists(table))
        transaction.Execute("DROP TABLE " + quotedTable(table));
    transaction.Execute(WordTableSql(table, kLibraryLimits));
    const std::string insertSql = InsertWordSql(table);
    for (const TStoredRow &row : rows)
        transaction.Execute(insertSql, rowValues(row));
    transaction.Execute(kInsertLibraryBookSql,
                        libraryBookValues(Utf8ToGbk(book.name), table,
                                          static_cast<int>(rows.size()), id, kBookTypeLetter,
                                          static_cast<int>(book.bookClass),
                                          static_cast<int>(book.isDefault)));
    transaction.Commit();
    return true;
}

}  // namespace

int AddShippedBooks(const std::string &ShippedPath, bool ShippedScrambled)
{
    try {
        TSqlConnection shipped(ShippedPath, DatabasePassword(),
                               TSqlConnection::OpenMode::ExistingOnly);
        std::vector<TShippedBook> books;
        TSqlQuery catalogue =
            shipped.Query("SELECT bookname, storetablename, bookclass, isdefault FROM bookinfo "
                          "WHERE booktype = ? ORDER BY id",
                          {std::int64_t{kBookTypeLetter}});
        while (catalogue.Next()) {
            books.push_back(
                {catalogue.Text(0), catalogue.Text(1), catalogue.Integer(2), catalogue.Integer(3)});
        }
        int added = 0;
        for (const TShippedBook &book : books) {
            if (DataInterface()
                    .Query("SELECT id FROM bookinfo WHERE bookname = ? AND booktype = ?",
                           {book.name, std::int64_t{kBookTypeLetter}})
                    .Next())
                continue;
            if (addShippedBook(shipped, book, ShippedScrambled))
                ++added;
        }
        return added;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return -1;
    }
}
