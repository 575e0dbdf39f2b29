#include "TextUtils.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Random.h"

std::int32_t CeilDiv(std::int32_t Divisor, std::int32_t Value)
{
    std::int32_t result = Value / Divisor;
    if (Value % Divisor > 0)
        ++result;
    return result;
}

std::string ExtractBaseName(std::string_view Path)
{
    // Forward slashes are separators on this platform as backslashes were.
    const size_t sep = Path.find_last_of("\\/");
    if (sep != std::string_view::npos)
        Path.remove_prefix(sep + 1);
    const size_t dot = Path.find('.');
    if (dot == std::string_view::npos)
        return {};
    return std::string(Path.substr(0, dot));
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = LowerAscii(c);
    return out;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

void ShuffleIntAry(TIntAry &Ary)
{
    const auto n = static_cast<int>(Ary.size());
    if (n <= 1)
        return;
    TRandom &random = ProgramRandom();
    for (int i = 0; i < n; ++i) {
        const int p = random.RandomInt(1, n - 1);
        const int q = random.RandomInt(1, n - 1);
        std::swap(Ary[static_cast<size_t>(p)], Ary[static_cast<size_t>(q)]);
    }
    std::swap(Ary.front(), Ary.back());
}

void SplitTextCells(std::string_view Text, TStringList &List)
{
    const auto high = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    size_t i = 0;
    while (i < Text.size()) {
        const bool pair = i + 1 < Text.size() && high(Text[i]) == high(Text[i + 1]);
        const size_t len = pair ? 2 : 1;
        List.emplace_back(Text.substr(i, len));
        i += len;
    }
}

std::string_view GbkPrefix(std::string_view text, size_t maxBytes)
{
    size_t end = 0;
    while (end < text.size()) {
        const auto b = static_cast<unsigned char>(text[end]);
        const size_t len = b >= 0x81 && b <= 0xFE && end + 1 < text.size() ? 2 : 1;
        if (end + len > maxBytes)
            break;
        end += len;
    }
    return text.substr(0, end);
}

void WrapTextByWidth(std::string_view Text, int MaxWidth, const TTextWidthFn &textWidth,
                     TStringList &Lines)
{
    TStringList cells;
    SplitTextCells(Text, cells);
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (textWidth(line + cells[i]) >= MaxWidth) {
            Lines.push_back(line);
            line.clear();
        }
        line += cells[i];
        if (i + 1 == cells.size())
            Lines.push_back(line);
    }
}

void SplitText(std::string_view Text, std::string_view Separator, TStringList &List)
{
    if (!Separator.empty()) {
        size_t p;
        while ((p = Text.find(Separator)) != std::string_view::npos) {
            List.emplace_back(Text.substr(0, p));
            Text.remove_prefix(p + Separator.size());
        }
    }
    if (!Text.empty())
        List.emplace_back(Text);
}

bool RectCornerInRect(const TRect &A, const TRect &B)
{
    const auto inside = [&B](int x, int y) {
        return B.Left <= x && x <= B.Right && B.Top <= y && y <= B.Bottom;
    };
    return inside(A.Left, A.Top) || inside(A.Right, A.Top) || inside(A.Left, A.Bottom)
           || inside(A.Right, A.Bottom);
}

std::int64_t RoundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}
