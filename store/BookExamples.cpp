#include "BookExamples.h"

#include <algorithm>

#include "GbkText.h"
#include "StoreLog.h"
#include "UDataInterface.h"
#include "WordTables.h"

namespace {

// The word table the examples were stored under: a shuffled copy is made
// from its book's table and named after it.
std::string sourceTable(const std::string &bookTable)
{
    constexpr std::string_view kCopyPrefix = "random";
    if (bookTable.rfind(kCopyPrefix, 0) == 0)
        return bookTable.substr(kCopyPrefix.size());
    return bookTable;
}

}  // namespace

void CreateBookExamplesTable(TSqlTransaction &transaction)
{
    transaction.Execute(
        "CREATE TABLE IF NOT EXISTS bookexamples (booktable TEXT NOT NULL, spelling TEXT NOT "
        "NULL, form TEXT NOT NULL, sentence TEXT NOT NULL)");
    transaction.Execute("CREATE INDEX IF NOT EXISTS bookexamples_by_word ON bookexamples "
                        "(booktable, spelling)");
}

void InsertBookExample(TSqlTransaction &transaction, const std::string &bookTable,
                       const std::string &spelling, const TExample &example)
{
    transaction.Execute(
        "INSERT INTO bookexamples (booktable, spelling, form, sentence) VALUES (?, ?, ?, ?)",
        {GbkToUtf8(bookTable), GbkToUtf8(spelling), GbkToUtf8(example.Form),
         GbkToUtf8(example.Sentence)});
}

void DeleteBookExamples(TSqlTransaction &transaction, const std::string &bookTable)
{
    transaction.Execute("DELETE FROM bookexamples WHERE booktable = ? COLLATE NOCASE",
                        {GbkToUtf8(bookTable)});
}

std::vector<TExample> WordExamples(const std::string &bookTable, const std::string &spelling)
{
    std::vector<TExample> examples;
    if (!bookTable.empty()) {
        try {
            TSqlQuery query = DataInterface().Query(
                "SELECT form, sentence FROM bookexamples WHERE booktable = ? COLLATE NOCASE AND "
                "spelling = ? ORDER BY rowid",
                {GbkToUtf8(sourceTable(bookTable)), GbkToUtf8(spelling)});
            while (query.Next())
                examples.push_back({Utf8ToGbk(query.Text(0)), Utf8ToGbk(query.Text(1))});
        } catch (const EDatabaseError &e) {
            qCWarning(lcStore) << "the book's examples cannot be read:" << e.what();
        }
    }
    std::vector<TExample> shipped = ProgramReferenceData().Examples(spelling);
    for (TExample &example : shipped) {
        if (std::find(examples.begin(), examples.end(), example) == examples.end())
            examples.push_back(std::move(example));
    }
    return examples;
}
