#pragma once
// A word list as the import reads it: lines (GBK) split by a layout and
// checked against what a word table holds. The import dialog's preview and
// the import itself read lists only through here, so the preview shows
// exactly the rows that are stored and the error lines that are asked about.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "ReferenceData.h"
#include "WordFile.h"
#include "WordLine.h"

// How a line holds its word.
enum class TWordLayout {
    Brackets,  // spelling[pronunciation]meaning
    Tab,       // spelling<TAB>meaning
    Csv,       // spelling,meaning (fields may be quoted)
    Spaces,    // spelling, two or more blanks, meaning
    Slashes,   // spelling /pronunciation/ meaning
};

enum class TLineError { None, NoWord, TooLong, BadCharacter };

// "没有单词", "超出长度", "无法识别的字符"; empty for None.
QString LineErrorReason(TLineError error);

// Column limits of a word table, in characters of the stored text.
struct TColumnLimits {
    size_t Spelling, Pronunciation, Meaning;
};
inline constexpr TColumnLimits kLibraryLimits{255, 200, 255};
inline constexpr TColumnLimits kShuffledLimits{100, 100, 200};

struct TCheckedLine {
    TLineError Error = TLineError::None;
    TWordLine Word;  // as stored (pronunciation converted), GBK; empty for an error line
};

// Splits a GBK line by the layout and checks it: a line that is not GBK or
// holds a NUL is BadCharacter, a line of more than kMaxWordLineBytes TooLong
// (whatever else it holds), a blank spelling NoWord, a piece longer than its
// column (scrambled or not, as given) TooLong. The brackets layout keeps
// the pieces exactly as they are; the others trim blanks around each piece.
TCheckedLine CheckWordLine(std::string_view line, TWordLayout layout, bool scramble,
                           const TColumnLimits &limits = kLibraryLimits);

struct TListLine {
    int LineNumber = 0;  // in the source, from 1, blank lines counted
    TLineError Error = TLineError::None;
    TWordLine Word;    // see TCheckedLine
    std::string Text;  // an error line's GBK text, for showing it; empty otherwise
    TExample Example;  // a book made from a text: the sentence the word first stood in
};

struct TWordList {
    TWordLayout Layout = TWordLayout::Brackets;
    bool Scramble = false;  // the rows are stored scrambled
    std::vector<TListLine> Lines;

    int ErrorLines() const;
};

// Lines as SplitWordFileLines gives them (nullopt: a line the encoding cannot
// give as GBK, a BadCharacter line).
TWordList ParseWordList(const std::vector<std::optional<std::string>> &lines, TWordLayout layout,
                        bool scramble);

// The same list read straight from a file's bytes in that encoding, the
// lines never all kept at once (SplitWordFileLinesAs gives the same lines).
TWordList ParseWordFile(std::string_view bytes, TWordFileEncoding encoding, TWordLayout layout,
                        bool scramble);

// The brackets layout whenever one of the first 200 lines holds "[";
// otherwise the layout that reads most of those lines as a plausible word
// (a spelling without Chinese, tabs or commas), ties going to slashes, tab,
// CSV, spaces in this order; the brackets layout when none reads any.
TWordLayout DetectWordLayout(const std::vector<std::optional<std::string>> &lines);

// DetectWordLayout over the first lines of a file's bytes in that encoding.
TWordLayout DetectWordFileLayout(std::string_view bytes, TWordFileEncoding encoding);

// Lines looked at by DetectWordLayout, and shown by the preview.
inline constexpr size_t kPreviewLines = 200;
