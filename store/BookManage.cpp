#include "BookManage.h"

#include <algorithm>
#include <array>

#include "BookExamples.h"
#include "GbkText.h"
#include "StoreLog.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordTables.h"

namespace {

constexpr std::array kShippedBookIds{101, 102, 103, 104, 105, 106, 107, 109};

// The book's own-order row: its table name, or nullopt when there is none.
std::optional<std::string> ownTable(int id)
{
    TSqlQuery row =
        DataInterface().Query("SELECT storetablename FROM bookinfo WHERE id = ? AND booktype = ?",
                              {std::int64_t{id}, std::int64_t{kBookTypeLetter}});
    if (!row.Next())
        return std::nullopt;
    return row.Text(0);
}

}  // namespace

bool IsShippedBook(int id)
{
    return std::find(kShippedBookIds.begin(), kShippedBookIds.end(), id) != kShippedBookIds.end();
}

bool IsBookHidden(int id)
{
    TSqlQuery row =
        DataInterface().Query("SELECT isdefault FROM bookinfo WHERE id = ?", {std::int64_t{id}});
    return row.Next() && row.Integer(0) != 1;
}

bool SetBookHidden(int id, bool hidden)
{
    try {
        TDataInterface &db = DataInterface();
        TSqlTransaction transaction(db.Connection());
        if (!db.Query("SELECT id FROM bookinfo WHERE id = ?", {std::int64_t{id}}).Next())
            return false;
        transaction.Execute("UPDATE bookinfo SET isdefault = ? WHERE id = ?",
                            {std::int64_t{hidden ? 0 : 1}, std::int64_t{id}});
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool DeleteBook(int id)
{
    if (IsShippedBook(id))
        return false;
    try {
        TDataInterface &db = DataInterface();
        TSqlTransaction transaction(db.Connection());
        const std::optional<std::string> table = ownTable(id);
        if (!table)
            return false;
        const std::string copy = GbkToUtf8(ShuffledTableName(id));
        // Several books may share a word table only by hand; the table goes
        // with the last row naming it.
        bool lastUser = false;
        {
            // Closed before the DROP, which an open query on the file would block.
            TSqlQuery users = db.Query(
                "SELECT count(*) FROM bookinfo WHERE storetablename = ? COLLATE NOCASE", {*table});
            lastUser = users.Next() && users.Integer(0) == 1;
        }
        if (lastUser && TableExists(Utf8ToGbk(*table)))
            transaction.Execute("DROP TABLE " + QuoteIdentifier(*table));
        if (lastUser)
            DeleteBookExamples(transaction, Utf8ToGbk(*table));
        if (TableExists(ShuffledTableName(id)))
            transaction.Execute("DROP TABLE " + QuoteIdentifier(copy));
        transaction.Execute("DELETE FROM bookinfo WHERE id = ?", {std::int64_t{id}});
        transaction.Execute("DELETE FROM bookinfo WHERE booktype = ? AND storetablename = ? "
                            "COLLATE NOCASE",
                            {std::int64_t{kBookTypeShuffled}, copy});
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool RenameBook(int id, const std::string &newName)
{
    if (IsShippedBook(id))
        return false;
    try {
        TDataInterface &db = DataInterface();
        TSqlTransaction transaction(db.Connection());
        if (!ownTable(id) || BookNameExists(newName))
            return false;
        const std::string name = GbkToUtf8(newName);
        transaction.Execute("UPDATE bookinfo SET bookname = ? WHERE id = ?",
                            {name, std::int64_t{id}});
        // The copy is found by the book's name when it is played shuffled.
        transaction.Execute(
            "UPDATE bookinfo SET bookname = ? WHERE booktype = ? AND "
            "storetablename = ? COLLATE NOCASE",
            {name, std::int64_t{kBookTypeShuffled}, GbkToUtf8(ShuffledTableName(id))});
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << __func__ << "failed:" << e.what();
        return false;
    }
}

std::optional<TBookRow> FindBookByTable(const std::string &TableName)
{
    TSqlQuery row = DataInterface().Query(
        "SELECT id, bookname, wordnumber FROM bookinfo WHERE storetablename = ? COLLATE NOCASE "
        "ORDER BY id",
        {GbkToUtf8(TableName)});
    if (!row.Next())
        return std::nullopt;
    return TBookRow{static_cast<int>(row.Integer(0)), Utf8ToGbk(row.Text(1)),
                    static_cast<int>(row.Integer(2))};
}
