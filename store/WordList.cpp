#include "WordList.h"

#include <algorithm>
#include <array>

#include "GbkText.h"
#include "Scramble.h"

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

TWordLine piecesOf(std::string_view spelling, std::string_view pronunciation,
                   std::string_view meaning)
{
    return {std::string(trimmed(spelling)), std::string(trimmed(pronunciation)),
            std::string(trimmed(meaning))};
}

// Tabs, commas and slashes are never the trail byte of a GBK character, so
// these layouts can look for them byte by byte.
TWordLine splitTab(std::string_view line)
{
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return {};
    return piecesOf(line.substr(0, tab), {}, line.substr(tab + 1));
}

// Comma-separated fields, each optionally in double quotes with "" for a
// quote; a quote left open runs to the end of the line.
std::vector<std::string> csvFields(std::string_view line)
{
    std::vector<std::string> fields;
    size_t i = 0;
    for (;;) {
        std::string field;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(line[i++]);
            }
            // Anything between the closing quote and the comma is kept.
            const size_t comma = line.find(',', i);
            field.append(line.substr(i, comma == std::string_view::npos ? std::string_view::npos
                                                                        : comma - i));
            i = comma;
        } else {
            const size_t comma = line.find(',', i);
            field = std::string(line.substr(
                i, comma == std::string_view::npos ? std::string_view::npos : comma - i));
            i = comma;
        }
        fields.push_back(std::string(trimmed(field)));
        if (i == std::string_view::npos)
            return fields;
        ++i;  // past the comma
    }
}

// Position of the comma that ends the first field (a quoted field may hold commas).
size_t commaAfterFirstField(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i < line.size() && line[i] == '"') {
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"')
                    ++i;
                else
                    break;
            }
        }
    }
    return line.find(',', i);
}

// The meaning is the rest of the line after the spelling: an unquoted
// meaning with commas in it stays as written, a quoted one is unquoted.
TWordLine splitCsv(std::string_view line)
{
    const std::vector<std::string> fields = csvFields(line);
    if (fields.size() < 2)
        return {};
    const std::string_view rest = trimmed(line.substr(commaAfterFirstField(line) + 1));
    if (rest.empty() || rest.front() != '"')
        return {fields[0], {}, std::string(rest)};
    const std::vector<std::string> quoted = csvFields(rest);
    std::string meaning = quoted[0];
    for (size_t k = 1; k < quoted.size(); ++k)
        meaning.append(",").append(quoted[k]);
    return {fields[0], {}, meaning};
}

// The spelling ends at the first run of two or more blanks (or a tab);
// single blanks belong to it ("ice cream").
TWordLine splitSpaces(std::string_view line)
{
    const std::string_view text = trimmed(line);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ' && text[i] != '\t')
            continue;
        size_t end = i;
        while (end < text.size() && (text[end] == ' ' || text[end] == '\t'))
            ++end;
        if (end - i >= 2 || text.substr(i, end - i).find('\t') != std::string_view::npos)
            return piecesOf(text.substr(0, i), {}, text.substr(end));
        i = end - 1;
    }
    return {};
}

// Like the brackets: without a closing slash the pronunciation is empty.
TWordLine splitSlashes(std::string_view line)
{
    const size_t open = line.find('/');
    if (open == std::string_view::npos)
        return {};
    const size_t close = line.find('/', open + 1);
    if (close == std::string_view::npos)
        return piecesOf(line.substr(0, open), {}, line.substr(open + 1));
    return piecesOf(line.substr(0, open), line.substr(open + 1, close - open - 1),
                    line.substr(close + 1));
}

TWordLine splitByLayout(std::string_view line, TWordLayout layout)
{
    switch (layout) {
    case TWordLayout::Brackets:
        return SplitWordLine(line);
    case TWordLayout::Tab:
        return splitTab(line);
    case TWordLayout::Csv:
        return splitCsv(line);
    case TWordLayout::Spaces:
        return splitSpaces(line);
    case TWordLayout::Slashes:
        return splitSlashes(line);
    }
    return {};
}

bool hasPronunciation(TWordLayout layout)
{
    return layout == TWordLayout::Brackets || layout == TWordLayout::Slashes;
}

// Characters of valid GBK text, as the engine counts them once stored as UTF-8.
size_t gbkLength(std::string_view gbk)
{
    size_t n = 0;
    for (size_t i = 0; i < gbk.size(); ++n) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        i += b >= 0x81 && b <= 0xFE ? 2 : 1;
    }
    return n;
}

size_t storedLength(std::string_view gbk, bool scramble)
{
    return scramble ? ScrambleText(gbk).size() : gbkLength(gbk);
}

bool plausibleSpelling(std::string_view spelling)
{
    if (IsBlankText(spelling))
        return false;
    return std::none_of(spelling.begin(), spelling.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || c == '\t' || c == ',';
    });
}

}  // namespace

QString LineErrorReason(TLineError error)
{
    switch (error) {
    case TLineError::None:
        break;
    case TLineError::NoWord:
        return QStringLiteral("没有单词");
    case TLineError::TooLong:
        return QStringLiteral("超出长度");
    case TLineError::BadCharacter:
        return QStringLiteral("无法识别的字符");
    }
    return {};
}

TCheckedLine CheckWordLine(std::string_view line, TWordLayout layout, bool scramble,
                           const TColumnLimits &limits)
{
    TCheckedLine checked;
    if (line.find('\0') != std::string_view::npos) {
        checked.Error = TLineError::BadCharacter;
        return checked;
    }
    // Decided before the rest of the line is looked at, so a huge line costs
    // no more than its length.
    if (line.size() > kMaxWordLineBytes) {
        checked.Error = TLineError::TooLong;
        return checked;
    }
    // A byte sequence that is not GBK would be stored as a changed word.
    if (!IsGbkText(line)) {
        checked.Error = TLineError::BadCharacter;
        return checked;
    }
    TWordLine word = splitByLayout(line, layout);
    if (IsBlankText(word.Spelling)) {
        checked.Error = TLineError::NoWord;
        return checked;
    }
    if (hasPronunciation(layout))
        word.Pronunciation = ConvertPhoneticDigits(word.Pronunciation);
    if (storedLength(word.Spelling, scramble) > limits.Spelling
        || storedLength(word.Pronunciation, scramble) > limits.Pronunciation
        || storedLength(word.Meaning, scramble) > limits.Meaning) {
        checked.Error = TLineError::TooLong;
        return checked;
    }
    checked.Word = std::move(word);
    return checked;
}

int TWordList::ErrorLines() const
{
    return static_cast<int>(std::count_if(Lines.begin(), Lines.end(), [](const TListLine &line) {
        return line.Error != TLineError::None;
    }));
}

namespace {

// Line ends in the bytes, each one a line of its own: never more than the
// lines the file gives, whatever it holds.
size_t lineEnds(std::string_view bytes, TWordFileEncoding encoding)
{
    if (encoding != TWordFileEncoding::Utf16LE && encoding != TWordFileEncoding::Utf16BE)
        return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    // The byte order as the lines are read: a mark decides.
    bool bigEndian = encoding == TWordFileEncoding::Utf16BE;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        bigEndian = bytes.substr(0, 2) == "\xFE\xFF";
    const char first = bigEndian ? '\0' : '\n';
    const char second = bigEndian ? '\n' : '\0';
    size_t count = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == first && bytes[i + 1] == second)
            ++count;
    }
    return count;
}

TListLine listLine(int number, const std::optional<std::string> &line, TWordLayout layout,
                   bool scramble)
{
    TListLine entry;
    entry.LineNumber = number;
    if (line) {
        TCheckedLine checked = CheckWordLine(*line, layout, scramble);
        entry.Error = checked.Error;
        entry.Word = std::move(checked.Word);
        if (entry.Error != TLineError::None)
            entry.Text = *line;
    } else {
        entry.Error = TLineError::BadCharacter;
    }
    return entry;
}

}  // namespace

TWordList ParseWordList(const std::vector<std::optional<std::string>> &lines, TWordLayout layout,
                        bool scramble)
{
    TWordList list;
    list.Layout = layout;
    list.Scramble = scramble;
    list.Lines.reserve(lines.size());
    int number = 0;
    for (const std::optional<std::string> &line : lines)
        list.Lines.push_back(listLine(++number, line, layout, scramble));
    return list;
}

TWordList ParseWordFile(std::string_view bytes, TWordFileEncoding encoding, TWordLayout layout,
                        bool scramble)
{
    TWordList list;
    list.Layout = layout;
    list.Scramble = scramble;
    // Room for every line at once (one spare at most): a vector doubling its
    // way up to a million entries holds the old and the new array together.
    list.Lines.reserve(lineEnds(bytes, encoding) + 1);
    int number = 0;
    ForEachWordFileLine(bytes, encoding, [&](std::optional<std::string> &&line) {
        list.Lines.push_back(listLine(++number, line, layout, scramble));
        return true;
    });
    return list;
}

TWordLayout DetectWordLayout(const std::vector<std::optional<std::string>> &lines)
{
    const size_t n = std::min(lines.size(), kPreviewLines);
    for (size_t k = 0; k < n; ++k) {
        if (lines[k] && FindGbkChar(*lines[k], '[') != std::string_view::npos)
            return TWordLayout::Brackets;
    }
    // In the order that wins a tie.
    static constexpr std::array candidates{TWordLayout::Slashes, TWordLayout::Tab, TWordLayout::Csv,
                                           TWordLayout::Spaces};
    TWordLayout best = TWordLayout::Brackets;
    size_t bestCount = 0;
    for (const TWordLayout layout : candidates) {
        size_t count = 0;
        for (size_t k = 0; k < n; ++k) {
            if (lines[k] && plausibleSpelling(splitByLayout(*lines[k], layout).Spelling))
                ++count;
        }
        if (count > bestCount) {
            best = layout;
            bestCount = count;
        }
    }
    return best;
}

TWordLayout DetectWordFileLayout(std::string_view bytes, TWordFileEncoding encoding)
{
    std::vector<std::optional<std::string>> head;
    ForEachWordFileLine(bytes, encoding, [&head](std::optional<std::string> &&line) {
        head.push_back(std::move(line));
        return head.size() < kPreviewLines;
    });
    return DetectWordLayout(head);
}
