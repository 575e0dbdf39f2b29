#pragma once
// The words of an English text (an article, a film's subtitles) for a book
// made from it: each word reduced to its lemma, counted, with the sentence it
// first stands in. Names, numbers and words the dictionary lacks are left out
// and listed. Texts are GBK; the dictionary is the reference data's.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QString>

#include "ReferenceData.h"
#include "WordList.h"

enum class TTextKind { Plain, Srt, Ass, Vtt };

// By the file name's extension (.srt, .ass or .ssa, .vtt; any other is plain).
TTextKind TextKindOfFile(const QString &fileName);

// The spoken text of a subtitle file, one cue a line: numbers, timings,
// headers, styles, tags ({\i1}, <i>) and ASS line breaks (\N) dropped. A
// plain text is given as it is.
std::string TextOfLines(const std::vector<std::string> &gbkLines, TTextKind kind);

// The lemma a form is looked up as; empty when the dictionary has neither
// the form nor a lemma of it. Lower case in, lower case out.
class TLemmatizer {
public:
    explicit TLemmatizer(const TReferenceData &reference) : m_reference(reference) {}

    std::string Lemma(const std::string &lowerForm) const;
    // The dictionary's lower-case entry of a spelling, or nullptr.
    const TDictionaryEntry *Entry(const std::string &lowerSpelling) const;
    // The form itself or its lemma in the dictionary's table of forms; empty
    // when neither is a word of the dictionary (no ending rules tried).
    std::string TableLemma(const std::string &lowerForm) const;
    // The dictionary writes the word only so, never in lower case ("I", "UFO").
    bool OnlyAsWritten(const std::string &token) const;

private:
    const std::vector<TDictionaryEntry> &entries(const std::string &lowerSpelling) const;
    std::string byRules(const std::string &lowerForm) const;

    const TReferenceData &m_reference;
    // Each spelling is looked up once: a film's subtitles repeat most words.
    mutable std::unordered_map<std::string, std::vector<TDictionaryEntry>> m_entries;
    mutable std::unordered_map<std::string, std::string> m_lemmas;
};

enum class TTokenKind { Word, Name, Number, Unknown };

// One token of a text as the book sees it.
struct TTextToken {
    std::string Text;  // as written, typographic apostrophes made ASCII
    TTokenKind Kind = TTokenKind::Unknown;
    std::string Lemma;  // for a word
};

// Every token of the text in order. A name is a capitalised token not at a
// sentence's start that the dictionary holds neither as a lower-case word nor
// as a form of one (a possessive looked at without its "'s"), a word the
// dictionary writes only in capitals ("I", "UFO"), or a single letter before
// a full stop (initials, "n." for noun); a number holds a digit.
std::vector<TTextToken> ReadTextTokens(std::string_view gbkText, const TLemmatizer &lemmatizer);

struct TTextWord {
    std::string Spelling;  // the lemma: lower-case letters, a blank or hyphen between
    std::string Pronunciation;
    std::string Meaning;
    int Count = 0;         // its forms' tokens in the text
    int FirstToken = 0;    // where it first stands, counting tokens from 0
    int Rank = 0;          // the dictionary's frequency rank, 0 unranked
    std::string Form;      // the token it first stands as, lower case
    std::string Sentence;  // the sentence of that token, at most kExampleBytes
};

struct TTextWords {
    std::vector<TTextWord> Words;  // in order of first appearance
    // Left out, each once, in order of first appearance.
    std::vector<std::string> Names;  // and abbreviations, see ReadTextTokens
    std::vector<std::string> Numbers;
    std::vector<std::string> Unknown;
    int Tokens = 0;
    TWordFileEncoding Encoding = TWordFileEncoding::Gbk;  // the source was read in
    int BadLines = 0;  // lines the encoding could not give as GBK, left out
};

// Longest example kept: what the sentence bar shows on one line. A longer
// sentence is cut to the words around the form, "..." marking each cut.
inline constexpr size_t kExampleBytes = 100;

TTextWords CollectTextWords(std::string_view gbkText, const TReferenceData &reference);

// The words of a file's bytes (or of pasted text, as UTF-8 with encoding
// given): read in the encoding the word-list import finds, then as kind.
TTextWords TextWordsOfBytes(std::string_view bytes, TTextKind kind, const TReferenceData &reference,
                            std::optional<TWordFileEncoding> encoding = std::nullopt);

// The words as the rows of a new book in the given order, each checked as an
// imported line is and keeping its sentence as its example.
TWordList TextWordList(const std::vector<TTextWord> &words, bool scramble);
