#pragma once
// The shipped reference data: one unencrypted database, reference.db, made
// at build time from data/reference/*.tsv (tools/make-reference) and opened
// read-only. It is never copied into the player's database, needs no
// migration and may be missing: then every lookup gives nothing and the
// game plays without what it adds.
//
// Each table is one TSV file; its first column is the key looked up, a
// spelling in lower case.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class TSqlConnection;

// One example sentence of a word. Form is the word as the sentence uses it
// ("abandoned" for "abandon"). GBK, which for these English texts is ASCII.
struct TExample {
    std::string Form;
    std::string Sentence;
    bool operator==(const TExample &) const = default;
};

// A word's spelling in the other accent: colour's is color (American).
struct TOtherSpelling {
    std::string Spelling;  // GBK, which for these spellings is ASCII
    bool American = true;  // the other spelling is the American one
    bool operator==(const TOtherSpelling &) const = default;
};

// Where the form stands in the sentence as a whole word: a token is a run of
// letters and digits, joined across a hyphen or an apostrophe inside it, so
// "cat" is not found in "category", "cat's" or "cat-like". Compared in lower
// case; a form of several words matches them with single blanks between.
// The first such place, or npos.
size_t FindWholeWord(std::string_view sentence, std::string_view form);

// A word of the dictionary a text is looked up in (table "dictionary":
// spelling, word, pronunciation, meaning, rank). GBK.
struct TDictionaryEntry {
    std::string Word;           // the dictionary's spelling: "I" under the key "i"
    std::string Pronunciation;  // the books' notation
    std::string Meaning;        // cut to a word box's two lines, as the books are
    int Rank = 0;               // frequency rank, smaller is more frequent; 0 unranked
    bool operator==(const TDictionaryEntry &) const = default;
};

class TReferenceData {
public:
    // Opens the file read-only. A missing or unreadable file is told once as
    // a warning and leaves the object unavailable.
    explicit TReferenceData(const std::string &utf8Path);
    ~TReferenceData();
    TReferenceData(const TReferenceData &) = delete;
    TReferenceData &operator=(const TReferenceData &) = delete;

    bool Available() const { return m_db != nullptr; }
    const std::string &Path() const { return m_path; }
    bool HasTable(std::string_view name) const;

    // The rows whose key column equals the key (compared in lower case), in
    // the file's order, each as its other columns (UTF-8). Nothing when the
    // table is missing or the query fails (a warning).
    std::vector<std::vector<std::string>> Lookup(std::string_view table,
                                                 std::string_view key) const;

    // The word's examples, best first (table "examples": spelling, form, sentence).
    std::vector<TExample> Examples(std::string_view spelling) const;

    // The word's British or American other spelling (table "spelling_pairs":
    // spelling, other, other_accent). Only lower-case spellings have one:
    // the pairs are words, not names.
    std::optional<TOtherSpelling> OtherSpelling(std::string_view spelling) const;
    // The word's American pronunciation in the books' notation, or ""
    // (table "us_pronunciations": spelling, pronunciation).
    std::string UsPronunciation(std::string_view spelling) const;

    // The dictionary's entries under the spelling in lower case, the
    // lower-case word first.
    std::vector<TDictionaryEntry> DictionaryEntries(std::string_view spelling) const;
    // The lemmas of an inflected form (table "lemmas": form, lemma), the
    // more frequent first: "children" gives "child". Nothing for a lemma.
    std::vector<std::string> Lemmas(std::string_view form) const;

private:
    std::string m_path;
    std::unique_ptr<TSqlConnection> m_db;
    std::set<std::string, std::less<>> m_tables;
};

// reference.db beside data/: in the installed folder, which in a portable
// folder is the program directory itself.
std::string ReferenceDataPath();

// The program's reference data, opened on first use and again when the
// program folders change (tests). Never fails: see TReferenceData.
const TReferenceData &ProgramReferenceData();
