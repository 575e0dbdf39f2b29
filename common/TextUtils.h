#pragma once
// Small list and text helpers. Strings are GBK bytes: positions count bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Records.h"

using TStringList = std::vector<std::string>;

// A rectangle with all four bounds inclusive, as the board's geometry uses it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect &) const = default;
};

// Value div Divisor, plus 1 when there is a positive remainder.
std::int32_t CeilDiv(std::int32_t Divisor, std::int32_t Value);

// The file name after the last '\' or '/', up to its first '.'; empty without a '.'.
std::string ExtractBaseName(std::string_view Path);

// Shuffles positions 1..n-1 with the program-wide generator, then swaps the
// first and the last entry: the entry that was first always ends last.
void ShuffleIntAry(TIntAry &Ary);

// Cells of one double-byte character, a lone high byte, two single-byte
// characters, or one single-byte character. Appends to List.
void SplitTextCells(std::string_view Text, TStringList &List);

// The longest start of Text of at most MaxBytes bytes that does not cut a
// double-byte character (a byte 0x81..0xFE leads one).
std::string_view GbkPrefix(std::string_view text, size_t maxBytes);

// Measures the width in pixels of a GBK text in the surface's current font.
using TTextWidthFn = std::function<int(std::string_view)>;

// Cuts Text between cells into lines narrower than MaxWidth; appends to Lines.
void WrapTextByWidth(std::string_view Text, int MaxWidth, const TTextWidthFn &textWidth,
                     TStringList &Lines);

// Splits at every Separator; an empty last piece is dropped. Appends to List.
void SplitText(std::string_view Text, std::string_view Separator, TStringList &List);

// True when a corner of A lies inside B, bounds included (not symmetric).
bool RectCornerInRect(const TRect &A, const TRect &B);

// 'A'..'Z' become 'a'..'z'; every other byte stays, GBK bytes too. Names the
// program compares without regard to case (settings keys, table and column
// names, file names) differ only in ASCII letters.
constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view text);
// Equal but for the case of ASCII letters.
bool SameTextAscii(std::string_view a, std::string_view b);

// Rounds halves to the even neighbour, as the original arithmetic did.
std::int64_t RoundHalfEven(double value);
