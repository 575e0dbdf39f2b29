#pragma once
// One line of a word-library file: spelling "[" pronunciation "]" meaning.

#include <string>
#include <string_view>

struct TWordLine {
    std::string Spelling;
    std::string Pronunciation;
    std::string Meaning;
};

// Splits a GBK line at its first "[" and first "]" (further brackets belong
// to the meaning). Without "[" every piece is empty; without "]" the
// pronunciation is empty and the meaning is the whole line; a "]" before the
// "[" gives an empty pronunciation and a meaning that starts after that "]".
// Brackets are found at character boundaries: the second byte of a
// double-byte character is never taken for one.
TWordLine SplitWordLine(std::string_view line);

// Position of the first character c (ASCII) of a GBK text, or npos; the
// second byte of a double-byte character is never taken for it.
size_t FindGbkChar(std::string_view text, char c);

// Nothing left after removing leading and trailing blanks and control characters.
bool IsBlankText(std::string_view text);
