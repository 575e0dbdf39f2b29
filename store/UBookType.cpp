#include "UBookType.h"

#include "ComputerIdentity.h"

#include <algorithm>

#include "Clock.h"
#include "GbkText.h"
#include "Scramble.h"
#include "Settings.h"
#include "UDataInterface.h"
#include "WordLine.h"
#include "StoreLog.h"

namespace {

// A catalogue row of the given id, positioned on its first row if any.
TSqlQuery bookRow(int id)
{
    TSqlQuery query =
        DataInterface().Query("SELECT * FROM bookinfo WHERE id = ?", {std::int64_t{id}});
    return query;
}

int toInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

TWordInfo WordFromStoredRow(const TSqlQuery &row, bool scrambled)
{
    TWordInfo word;
    const std::string spelling = row.Text(0);
    const std::string pronunciation = row.Text(1);
    const std::string meaning = row.Text(2);
    if (scrambled) {
        word.Spelling = UnscrambleText(spelling);
        word.Pronunciation =
            IsBlankText(pronunciation) ? std::string() : UnscrambleText(pronunciation);
        word.Meaning = IsBlankText(meaning) ? std::string() : UnscrambleText(meaning);
    } else {
        word.Spelling = Utf8ToGbk(spelling);
        word.Pronunciation = Utf8ToGbk(pronunciation);
        word.Meaning = Utf8ToGbk(meaning);
    }
    return word;
}

std::string BookClassCaption(int bookClass)
{
    static const char *const captions[] = {"小学英语", "中学英语", "大学英语", "研究生英语",
                                           "成人教育", "出国留学", "其它英语", "生词本"};
    if (bookClass < kFirstBookClass || bookClass > kLastBookClass)
        return {};
    return Gbk(captions[bookClass - 1]);
}

int NextBookId()
{
    TSqlQuery query = DataInterface().Query("SELECT max(id) AS id FROM bookinfo");
    const std::int64_t largest = query.Next() ? query.Integer("id") : 0;
    return static_cast<int>(largest + 1);
}

int GetBookWordNumber(int id)
{
    TSqlQuery row = bookRow(id);
    return row.Next() ? toInt(row.Integer("wordnumber")) : -1;
}

std::string GetBookTableName(int id)
{
    TSqlQuery row = bookRow(id);
    return row.Next() ? Utf8ToGbk(row.Text("storetablename")) : std::string();
}

std::string GetBookName(int id)
{
    TSqlQuery row = bookRow(id);
    return row.Next() ? Utf8ToGbk(row.Text("bookname")) : std::string();
}

int GetBookClass(int id)
{
    TSqlQuery row = bookRow(id);
    return row.Next() ? toInt(row.Integer("bookclass")) : -1;
}

int GetBookId(const std::string &name, int bookType)
{
    TSqlQuery row =
        DataInterface().Query("SELECT * FROM bookinfo WHERE bookname = ? AND booktype = ?",
                              {GbkToUtf8(name), std::int64_t{bookType}});
    return row.Next() ? toInt(row.Integer("id")) : -1;
}

bool BookNameExists(const std::string &name)
{
    TSqlQuery row =
        DataInterface().Query("SELECT * FROM bookinfo WHERE bookname = ?", {GbkToUtf8(name)});
    return row.Next();
}

void FillBookTree(TBookTree &tree, bool withHidden)
{
    tree.Clear();
    static const int order[] = {8, 1, 2, 3, 4, 5, 6, 7};
    for (int bookClass : order) {
        TSqlQuery rows = DataInterface().Query(
            withHidden ? "SELECT * FROM bookinfo WHERE (isdefault = 1 OR booktype = 0) AND "
                         "bookclass = ? ORDER BY bookclass, id"
                       : "SELECT * FROM bookinfo WHERE isdefault = 1 AND bookclass = ? ORDER BY "
                         "bookclass, id",
            {std::int64_t{bookClass}});
        if (!rows.Next())
            continue;
        const int node = tree.AddClassNode(BookClassCaption(bookClass));
        do {
            if (rows.Integer("wordnumber") <= 0)
                continue;
            const std::string name = Utf8ToGbk(rows.Text("bookname"));
            const int id = toInt(rows.Integer("id"));
            if (rows.Integer("isdefault") == 1)
                tree.AddBookNode(node, name, id);
            else
                tree.AddHiddenBookNode(node, name, id);
        } while (rows.Next());
    }
}

void FreeBookTreeData(TBookTree &tree)
{
    tree.ReleaseBookIds();
}

bool LoadTollGateWords(const TGamePara &Para, int N, TWordInfos &Words)
{
    Words.clear();
    try {
        TDataInterface &db = DataInterface();
        const std::string table = GbkToUtf8(Para.StoreTableName);
        const std::string quoted = QuoteIdentifier(table);
        TSqlQuery last = db.Query("SELECT max(id) AS id FROM " + quoted);
        if (!last.Next() || last.IsNull("id"))
            return false;  // an empty book
        const std::int64_t maxId = last.Integer(0);
        const std::int64_t perGate = Para.WordsPerGate;
        if (perGate <= 0)
            return true;
        const bool scrambled = IsScrambleOn();
        const std::int64_t skip = (static_cast<std::int64_t>(std::max(N, 1)) - 1) * perGate;

        // Word tables the program makes hold ids 1 … n without gaps, so a toll
        // gate is an id range and costs the same at the end of a large book as
        // at its start.
        TSqlQuery first = db.Query("SELECT min(id) FROM " + quoted);
        const bool dense = first.Next() && first.Integer(0) == 1 && maxId == db.CountRows(table);
        if (dense) {
            TSqlQuery rows = db.Query("SELECT spelling, pronunciation, meaning, id FROM " + quoted
                                          + " WHERE id BETWEEN ? AND ? ORDER BY id",
                                      {skip + 1, skip + perGate});
            std::int64_t expected = skip + 1;
            bool consecutive = true;
            while (rows.Next()) {
                if (rows.Integer(3) != expected++) {
                    consecutive = false;
                    break;
                }
                Words.push_back(WordFromStoredRow(rows, scrambled));
            }
            if (consecutive)
                return true;
            Words.clear();
        }
        TSqlQuery rows = db.Query("SELECT spelling, pronunciation, meaning FROM " + quoted
                                      + " ORDER BY id LIMIT ? OFFSET ?",
                                  {perGate, skip});
        while (rows.Next())
            Words.push_back(WordFromStoredRow(rows, scrambled));
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "loading a toll gate failed:" << e.what();
        return false;
    }
}

bool AddGameRecord(const std::string &name, int score)
{
    const std::string today = ProgramClock().Today().toString(Qt::ISODate).toStdString();
    TSqlTransaction transaction(DataInterface().Connection());
    const TGlobalIdRange id = ReserveGlobalIds(transaction, 1);
    transaction.Execute(
        "INSERT INTO gamerecord(name, score, recoretime, origin, originseq) VALUES(?, ?, ?, ?, ?)",
        {GbkToUtf8(name), std::int64_t{score}, today, id.Computer, id.First});
    transaction.Commit();
    return true;
}

std::vector<TGameRecordItem> LoadGameRecords()
{
    constexpr int kShown = 20;
    std::vector<TGameRecordItem> items;
    // Equal scores keep the order they were recorded in: by day, then, for
    // scores merged from other computers, by computer and its sequence, so
    // that every computer holding the same rows ranks them alike.
    TSqlQuery rows = DataInterface().Query(
        "SELECT name, score FROM gamerecord ORDER BY score DESC, recoretime, origin, originseq, "
        "rowid");
    while (items.size() < kShown && rows.Next()) {
        TGameRecordItem item;
        item.Rank = static_cast<int>(items.size()) + 1;
        item.Name = Utf8ToGbk(rows.Text("name"));
        item.Score = rows.Integer("score");
        items.push_back(std::move(item));
    }
    return items;
}
