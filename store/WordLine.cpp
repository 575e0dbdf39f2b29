#include "WordLine.h"

#include <algorithm>

size_t FindGbkChar(std::string_view text, char c)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) {
            i += 2;  // a double-byte character: its trail byte may look like ASCII
            continue;
        }
        if (text[i] == c)
            return i;
        ++i;
    }
    return std::string_view::npos;
}

TWordLine SplitWordLine(std::string_view line)
{
    TWordLine word;
    const size_t open = FindGbkChar(line, '[');
    if (open == std::string_view::npos)
        return word;
    word.Spelling = std::string(line.substr(0, open));
    const size_t close = FindGbkChar(line, ']');
    if (close == std::string_view::npos) {
        word.Meaning = std::string(line);
    } else if (close < open) {
        word.Meaning = std::string(line.substr(close + 1));
    } else {
        word.Pronunciation = std::string(line.substr(open + 1, close - open - 1));
        word.Meaning = std::string(line.substr(close + 1));
    }
    return word;
}

bool IsBlankText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}
