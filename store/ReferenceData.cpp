#include "ReferenceData.h"

#include <cstdlib>
#include <filesystem>

#include "GbkText.h"
#include "Settings.h"
#include "SqlDatabase.h"
#include "StoreLog.h"

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A hyphen or apostrophe between two word characters joins them.
bool joinsAt(std::string_view text, size_t at)
{
    return (text[at] == '-' || text[at] == '\'') && at > 0 && at + 1 < text.size()
           && isWordChar(text[at - 1]) && isWordChar(text[at + 1]);
}

bool isTokenChar(std::string_view text, size_t at)
{
    return isWordChar(text[at]) || joinsAt(text, at);
}

}  // namespace

size_t FindWholeWord(std::string_view sentence, std::string_view form)
{
    const std::string lowerSentence = lowerAscii(sentence);
    const std::string lowerForm = lowerAscii(form);
    if (lowerForm.empty())
        return std::string_view::npos;
    for (size_t at = lowerSentence.find(lowerForm); at != std::string::npos;
         at = lowerSentence.find(lowerForm, at + 1)) {
        const size_t end = at + lowerForm.size();
        if ((at == 0 || !isTokenChar(lowerSentence, at - 1))
            && (end == lowerSentence.size() || !isTokenChar(lowerSentence, end)))
            return at;
    }
    return std::string_view::npos;
}

TReferenceData::TReferenceData(const std::string &utf8Path) : m_path(utf8Path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(utf8Path, ec)) {
        qCWarning(lcStore) << "no reference data at" << QString::fromStdString(utf8Path)
                           << "- examples and the other looked-up texts are left out";
        return;
    }
    try {
        auto db = std::make_unique<TSqlConnection>(utf8Path, std::string_view(),
                                                   TSqlConnection::OpenMode::ReadOnly);
        TSqlQuery tables = db->Query("SELECT name FROM sqlite_master WHERE type = 'table'");
        while (tables.Next())
            m_tables.insert(tables.Text(0));
        m_db = std::move(db);
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "the reference data" << QString::fromStdString(utf8Path)
                           << "cannot be read:" << e.what();
        m_tables.clear();
    }
}

TReferenceData::~TReferenceData() = default;

bool TReferenceData::HasTable(std::string_view name) const
{
    return m_tables.find(name) != m_tables.end();
}

std::vector<std::vector<std::string>> TReferenceData::Lookup(std::string_view table,
                                                             std::string_view key) const
{
    std::vector<std::vector<std::string>> rows;
    if (!m_db || !HasTable(table))
        return rows;
    try {
        const std::string quoted = QuoteIdentifier(table);
        // The key column is the first; its name is the TSV's, so it is read
        // from the table rather than assumed.
        TSqlStatement probe = m_db->Prepare("SELECT * FROM " + quoted + " LIMIT 0");
        const int columns = probe.ColumnCount();
        if (columns < 1)
            return rows;
        const std::string keyColumn = QuoteIdentifier(probe.ColumnName(0));
        TSqlQuery query =
            m_db->Query("SELECT * FROM " + quoted + " WHERE " + keyColumn + " = ? ORDER BY rowid",
                        {lowerAscii(key)});
        while (query.Next()) {
            std::vector<std::string> row;
            row.reserve(static_cast<size_t>(columns - 1));
            for (int i = 1; i < columns; ++i)
                row.push_back(query.Text(i));
            rows.push_back(std::move(row));
        }
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "reference lookup in"
                           << QString::fromUtf8(table.data(), static_cast<qsizetype>(table.size()))
                           << "failed:" << e.what();
        rows.clear();
    }
    return rows;
}

std::vector<TExample> TReferenceData::Examples(std::string_view spelling) const
{
    std::vector<TExample> examples;
    for (const std::vector<std::string> &row : Lookup("examples", spelling)) {
        if (row.size() < 2 || row[0].empty() || row[1].empty())
            continue;
        examples.push_back({Utf8ToGbk(row[0]), Utf8ToGbk(row[1])});
    }
    return examples;
}

std::optional<TOtherSpelling> TReferenceData::OtherSpelling(std::string_view spelling) const
{
    if (spelling.empty() || lowerAscii(spelling) != spelling)
        return std::nullopt;
    for (const std::vector<std::string> &row : Lookup("spelling_pairs", spelling)) {
        if (row.size() < 2 || row[0].empty() || row[0] == spelling)
            continue;
        return TOtherSpelling{Utf8ToGbk(row[0]), row[1] != "british"};
    }
    return std::nullopt;
}

std::string TReferenceData::UsPronunciation(std::string_view spelling) const
{
    for (const std::vector<std::string> &row : Lookup("us_pronunciations", spelling))
        if (!row.empty() && !row[0].empty())
            return Utf8ToGbk(row[0]);
    return {};
}

std::vector<TDictionaryEntry> TReferenceData::DictionaryEntries(std::string_view spelling) const
{
    std::vector<TDictionaryEntry> entries;
    for (const std::vector<std::string> &row : Lookup("dictionary", spelling)) {
        if (row.size() < 4)
            continue;
        TDictionaryEntry entry;
        entry.Word = row[0].empty() ? lowerAscii(spelling) : Utf8ToGbk(row[0]);
        entry.Pronunciation = Utf8ToGbk(row[1]);
        entry.Meaning = Utf8ToGbk(row[2]);
        entry.Rank = std::atoi(row[3].c_str());
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> TReferenceData::Lemmas(std::string_view form) const
{
    std::vector<std::string> lemmas;
    for (const std::vector<std::string> &row : Lookup("lemmas", form))
        if (!row.empty() && !row[0].empty())
            lemmas.push_back(Utf8ToGbk(row[0]));
    return lemmas;
}

std::string ReferenceDataPath()
{
    return GetInstalledDir() + "reference.db";
}

const TReferenceData &ProgramReferenceData()
{
    // One UI thread uses it; the folders change only in tests.
    static std::unique_ptr<TReferenceData> data;
    const std::string path = ReferenceDataPath();
    if (!data || data->Path() != path)
        data = std::make_unique<TReferenceData>(path);
    return *data;
}
