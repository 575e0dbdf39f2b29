#include "TextWords.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_set>

#include <QFileInfo>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (isUpper(c))
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// What a word box can show and the board can be typed: lower-case letters,
// one blank or hyphen between them.
bool isTypeable(std::string_view spelling)
{
    if (spelling.empty() || !isLetter(spelling.front()) || !isLetter(spelling.back()))
        return false;
    for (size_t i = 0; i < spelling.size(); ++i) {
        const char c = spelling[i];
        if (c >= 'a' && c <= 'z')
            continue;
        if ((c == '-' || c == ' ') && isLetter(spelling[i + 1]))
            continue;
        return false;
    }
    return true;
}

std::string trimmed(std::string_view text)
{
    size_t start = 0;
    size_t end = text.size();
    while (start < end && static_cast<unsigned char>(text[start]) <= ' ')
        ++start;
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(start, end - start));
}

// Drops {...} override blocks (ASS) and <...> tags (SRT, VTT), and turns the
// ASS line breaks \N, \n and the hard blank \h into blanks.
std::string withoutMarkup(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (static_cast<unsigned char>(c) >= 0x80 && i + 1 < line.size()) {
            out += c;
            out += line[++i];
            continue;
        }
        if (c == '{' || c == '<') {
            const size_t close = line.find(c == '{' ? '}' : '>', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (c == '\\' && i + 1 < line.size()
            && (line[i + 1] == 'N' || line[i + 1] == 'n' || line[i + 1] == 'h')) {
            out += ' ';
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

bool isTimingLine(std::string_view line)
{
    return line.find("-->") != std::string_view::npos;
}

bool isCueNumber(std::string_view line)
{
    return !line.empty() && std::all_of(line.begin(), line.end(), isDigit);
}

std::string srtOrVttText(const std::vector<std::string> &lines, bool vtt)
{
    std::string out;
    // A VTT header, NOTE, STYLE or REGION block runs to the next blank line.
    bool skipping = vtt;
    for (const std::string &raw : lines) {
        const std::string line = trimmed(raw);
        if (line.empty()) {
            skipping = false;
            continue;
        }
        if (skipping)
            continue;
        if (vtt && (line.rfind("NOTE", 0) == 0 || line == "STYLE" || line == "REGION")) {
            skipping = true;
            continue;
        }
        if (isTimingLine(line) || isCueNumber(line))
            continue;
        out += withoutMarkup(line);
        out += '\n';
    }
    return out;
}

std::string vttText(const std::vector<std::string> &lines)
{
    std::vector<std::string> kept;
    kept.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        // A cue's identifier is the line right before its timing.
        if (i + 1 < lines.size() && isTimingLine(lines[i + 1]) && !isTimingLine(lines[i]))
            continue;
        kept.push_back(lines[i]);
    }
    return srtOrVttText(kept, true);
}

std::string assText(const std::vector<std::string> &lines)
{
    std::string out;
    bool inEvents = false;
    int textField =
        9;  // Dialogue: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
    for (const std::string &raw : lines) {
        const std::string line = trimmed(raw);
        if (!line.empty() && line.front() == '[') {
            inEvents = line == "[Events]";
            continue;
        }
        if (!inEvents)
            continue;
        if (line.rfind("Format:", 0) == 0) {
            int field = 0;
            size_t start = 7;
            for (;;) {
                const size_t comma = line.find(',', start);
                if (trimmed(line.substr(start, comma - start)) == "Text")
                    textField = field;
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
                ++field;
            }
            continue;
        }
        if (line.rfind("Dialogue:", 0) != 0)
            continue;
        size_t at = 9;
        for (int field = 0; field < textField && at != std::string::npos; ++field) {
            at = line.find(',', at);
            if (at != std::string::npos)
                ++at;
        }
        if (at == std::string::npos)
            continue;
        out += withoutMarkup(line.substr(at));
        out += '\n';
    }
    return out;
}

// A token of the text: letters and digits, joined across an apostrophe
// (also the typographic one) or a hyphen inside.
struct TToken {
    std::string Text;  // with ASCII apostrophes
    size_t Begin = 0;
    size_t End = 0;
    bool SentenceStart = false;
};

constexpr std::string_view kRightQuote = "\xA1\xAF";  // ’ in GBK

size_t joinerAt(std::string_view text, size_t at)
{
    if (text[at] == '\'' || text[at] == '-')
        return 1;
    if (text.substr(at, 2) == kRightQuote)
        return 2;
    return 0;
}

std::vector<TToken> tokenize(std::string_view text)
{
    std::vector<TToken> tokens;
    bool sentenceStart = true;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Chinese full stops and the like end a sentence too.
            const std::string_view pair = text.substr(i, 2);
            if (pair == "\xA1\xA3" || pair == "\xA3\xA1" || pair == "\xA3\xBF")
                sentenceStart = true;
            i += 2;
            continue;
        }
        if (c == '.' || c == '!' || c == '?') {
            // "3.5" and "e.g" stay inside; a stop before a blank, a line end
            // or a quote ends a sentence.
            if (i + 1 >= text.size() || !(isLetter(text[i + 1]) || isDigit(text[i + 1])))
                sentenceStart = true;
            ++i;
            continue;
        }
        if (c == '\n' && i + 1 < text.size() && text[i + 1] == '\n')
            sentenceStart = true;  // a paragraph ends what it holds
        if (c == '-' && (i == 0 || text[i - 1] == '\n'))
            sentenceStart = true;  // a speaker's dash in subtitles
        if (!isLetter(c) && !isDigit(c)) {
            ++i;
            continue;
        }
        TToken token;
        token.Begin = i;
        token.SentenceStart = sentenceStart;
        sentenceStart = false;
        for (;;) {
            while (i < text.size() && (isLetter(text[i]) || isDigit(text[i])))
                token.Text += text[i++];
            if (i >= text.size())
                break;
            const size_t joiner = joinerAt(text, i);
            if (joiner == 0 || i + joiner >= text.size()
                || !(isLetter(text[i + joiner]) || isDigit(text[i + joiner])))
                break;
            token.Text += text[i] == '-' ? '-' : '\'';
            i += joiner;
        }
        token.End = i;
        tokens.push_back(std::move(token));
    }
    return tokens;
}

// The sentence around a token: from the stop before it to the stop after
// it, blanks and line ends made single blanks.
std::string sentenceAround(std::string_view text, const std::vector<TToken> &tokens, size_t at)
{
    size_t first = at;
    while (first > 0 && !tokens[first].SentenceStart)
        --first;
    size_t last = at;
    while (last + 1 < tokens.size() && !tokens[last + 1].SentenceStart)
        ++last;
    size_t end = tokens[last].End;
    // The stop and a closing quote belong to the sentence.
    while (end < text.size()
           && (text[end] == '.' || text[end] == '!' || text[end] == '?' || text[end] == '"'
               || text[end] == '\''))
        ++end;

    auto collapse = [&](size_t from, size_t to) {
        std::string out;
        for (size_t i = from; i < to; ++i) {
            const char c = text[i];
            if (static_cast<unsigned char>(c) <= ' ') {
                if (!out.empty() && out.back() != ' ')
                    out += ' ';
            } else {
                out += c;
            }
        }
        return trimmed(out);
    };
    std::string sentence = collapse(tokens[first].Begin, end);
    if (sentence.size() <= kExampleBytes)
        return sentence;
    // Too long for the bar: the words around the token, cut between words.
    size_t left = at;
    size_t right = at;
    const size_t budget = kExampleBytes - 6;  // two "..."
    auto width = [&](size_t l, size_t r) {
        return collapse(tokens[l].Begin, tokens[r].End).size();
    };
    for (bool grew = true; grew;) {
        grew = false;
        if (right < last && width(left, right + 1) <= budget) {
            ++right;
            grew = true;
        }
        if (left > first && width(left - 1, right) <= budget) {
            --left;
            grew = true;
        }
    }
    std::string cut = collapse(tokens[left].Begin, tokens[right].End);
    if (left > first)
        cut = "..." + cut;
    if (right < last)
        cut += "...";
    return cut;
}

void addOnce(std::vector<std::string> &list, std::unordered_set<std::string> &seen,
             const std::string &item)
{
    if (seen.insert(item).second)
        list.push_back(item);
}

}  // namespace

TTextKind TextKindOfFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("srt"))
        return TTextKind::Srt;
    if (suffix == QLatin1String("ass") || suffix == QLatin1String("ssa"))
        return TTextKind::Ass;
    if (suffix == QLatin1String("vtt"))
        return TTextKind::Vtt;
    return TTextKind::Plain;
}

std::string TextOfLines(const std::vector<std::string> &gbkLines, TTextKind kind)
{
    switch (kind) {
    case TTextKind::Srt:
        return srtOrVttText(gbkLines, false);
    case TTextKind::Vtt:
        return vttText(gbkLines);
    case TTextKind::Ass:
        return assText(gbkLines);
    case TTextKind::Plain:
        break;
    }
    std::string out;
    for (const std::string &line : gbkLines) {
        out += line;
        out += '\n';
    }
    return out;
}

const std::vector<TDictionaryEntry> &TLemmatizer::entries(const std::string &lowerSpelling) const
{
    auto found = m_entries.find(lowerSpelling);
    if (found == m_entries.end())
        found =
            m_entries.emplace(lowerSpelling, m_reference.DictionaryEntries(lowerSpelling)).first;
    return found->second;
}

const TDictionaryEntry *TLemmatizer::Entry(const std::string &lowerSpelling) const
{
    for (const TDictionaryEntry &entry : entries(lowerSpelling)) {
        if (entry.Word == lowerSpelling)
            return &entry;
    }
    return nullptr;
}

bool TLemmatizer::OnlyAsWritten(const std::string &token) const
{
    const std::string key = lower(token);
    if (Entry(key) != nullptr)
        return false;
    const std::vector<TDictionaryEntry> &found = entries(key);
    return std::any_of(found.begin(), found.end(),
                       [&](const TDictionaryEntry &entry) { return entry.Word == token; });
}

std::string TLemmatizer::TableLemma(const std::string &lowerForm) const
{
    const TDictionaryEntry *own = Entry(lowerForm);
    for (const std::string &lemma : m_reference.Lemmas(lowerForm)) {
        const TDictionaryEntry *entry = Entry(lemma);
        if (entry == nullptr)
            continue;
        // "ground" is more often itself than grind's past; "left" is more
        // often leave's. A lemma ranked behind the form gives way to it.
        const auto rankOf = [](const TDictionaryEntry *e) {
            return e->Rank > 0 ? e->Rank : std::numeric_limits<int>::max();
        };
        if (own != nullptr && rankOf(own) < rankOf(entry))
            return lowerForm;
        return lemma;
    }
    return own != nullptr ? lowerForm : std::string();
}

std::string TLemmatizer::byRules(const std::string &form) const
{
    // Forms the dictionary's table leaves out, then regular endings tried
    // while one gives a word of the dictionary.
    static const std::array<std::pair<std::string_view, std::string_view>, 8> kIrregular{{
        {"are", "be"},
        {"am", "be"},
        {"were", "be"},
        {"an", "a"},
        {"n't", "not"},
        {"won't", "will"},
        {"can't", "can"},
        {"shan't", "shall"},
    }};
    for (const auto &[from, to] : kIrregular) {
        if (form == from)
            return std::string(to);
    }
    // Contractions and the possessive: the word before them.
    for (std::string_view tail : {"n't", "'s", "'re", "'ve", "'ll", "'d", "'m", "'"}) {
        if (endsWith(form, tail) && form.size() > tail.size())
            return Lemma(form.substr(0, form.size() - tail.size()));
    }
    auto tryStem = [&](std::string_view tail, std::string_view add) -> std::string {
        if (!endsWith(form, tail) || form.size() < tail.size() + 2)
            return {};
        std::string stem = form.substr(0, form.size() - tail.size());
        stem += add;
        if (Entry(stem) != nullptr)
            return TableLemma(stem);
        return {};
    };
    auto undoubled = [&](std::string_view tail) -> std::string {
        // stopped -> stop, running -> run
        if (!endsWith(form, tail) || form.size() < tail.size() + 3)
            return {};
        const std::string stem = form.substr(0, form.size() - tail.size());
        if (stem[stem.size() - 1] != stem[stem.size() - 2])
            return {};
        const std::string single = stem.substr(0, stem.size() - 1);
        return Entry(single) != nullptr ? single : std::string();
    };
    static const std::array<std::pair<std::string_view, std::string_view>, 14> kEndings{{
        {"ies", "y"},
        {"ied", "y"},
        {"iest", "y"},
        {"ier", "y"},
        {"es", ""},
        {"s", ""},
        {"ed", ""},
        {"ed", "e"},
        {"ing", ""},
        {"ing", "e"},
        {"est", ""},
        {"er", ""},
        {"ly", ""},
        {"ily", "y"},
    }};
    for (const auto &[tail, add] : kEndings) {
        std::string found = tryStem(tail, add);
        if (!found.empty())
            return found;
    }
    for (std::string_view tail : {"ed", "ing", "er", "est"}) {
        std::string found = undoubled(tail);
        if (!found.empty())
            return found;
    }
    return {};
}

std::string TLemmatizer::Lemma(const std::string &lowerForm) const
{
    const auto known = m_lemmas.find(lowerForm);
    if (known != m_lemmas.end())
        return known->second;
    std::string lemma = TableLemma(lowerForm);
    if (lemma.empty())
        lemma = byRules(lowerForm);
    m_lemmas.emplace(lowerForm, lemma);
    return lemma;
}

namespace {

std::string withoutPossessive(const std::string &form)
{
    for (std::string_view tail : {"'s", "'"}) {
        if (endsWith(form, tail) && form.size() > tail.size())
            return form.substr(0, form.size() - tail.size());
    }
    return form;
}

TTokenKind kindOf(std::string_view text, const std::vector<TToken> &tokens, size_t i,
                  const TLemmatizer &lemmatizer, std::string &lemma)
{
    const TToken &token = tokens[i];
    if (std::any_of(token.Text.begin(), token.Text.end(), isDigit))
        return TTokenKind::Number;
    if (token.Text.size() == 1 && token.End < text.size() && text[token.End] == '.')
        return TTokenKind::Name;
    const bool capitalised = isUpper(token.Text.front());
    if (capitalised && lemmatizer.OnlyAsWritten(token.Text))
        return TTokenKind::Name;
    const std::string form = lower(token.Text);
    if (capitalised && !token.SentenceStart
        && lemmatizer.TableLemma(withoutPossessive(form)).empty())
        return TTokenKind::Name;
    lemma = lemmatizer.Lemma(form);
    if (lemma.empty() || !isTypeable(lemma)) {
        lemma.clear();
        return TTokenKind::Unknown;
    }
    return TTokenKind::Word;
}

}  // namespace

std::vector<TTextToken> ReadTextTokens(std::string_view gbkText, const TLemmatizer &lemmatizer)
{
    const std::vector<TToken> tokens = tokenize(gbkText);
    std::vector<TTextToken> out;
    out.reserve(tokens.size());
    for (size_t i = 0; i < tokens.size(); ++i) {
        TTextToken token;
        token.Text = tokens[i].Text;
        token.Kind = kindOf(gbkText, tokens, i, lemmatizer, token.Lemma);
        out.push_back(std::move(token));
    }
    return out;
}

TTextWords CollectTextWords(std::string_view gbkText, const TReferenceData &reference)
{
    TTextWords result;
    const std::vector<TToken> tokens = tokenize(gbkText);
    result.Tokens = static_cast<int>(tokens.size());
    const TLemmatizer lemmatizer(reference);
    std::unordered_map<std::string, size_t> wordAt;
    std::unordered_set<std::string> names;
    std::unordered_set<std::string> numbers;
    std::unordered_set<std::string> unknown;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const TToken &token = tokens[i];
        std::string lemma;
        switch (kindOf(gbkText, tokens, i, lemmatizer, lemma)) {
        case TTokenKind::Number:
            addOnce(result.Numbers, numbers, token.Text);
            continue;
        case TTokenKind::Name:
            addOnce(result.Names, names, token.Text);
            continue;
        case TTokenKind::Unknown:
            addOnce(result.Unknown, unknown, token.Text);
            continue;
        case TTokenKind::Word:
            break;
        }
        const auto found = wordAt.find(lemma);
        if (found != wordAt.end()) {
            ++result.Words[found->second].Count;
            continue;
        }
        const TDictionaryEntry *entry = lemmatizer.Entry(lemma);
        if (entry == nullptr) {  // a lemma by the irregular list the dictionary lacks
            addOnce(result.Unknown, unknown, token.Text);
            continue;
        }
        TTextWord word;
        word.Spelling = lemma;
        word.Pronunciation = entry->Pronunciation;
        word.Meaning = entry->Meaning;
        word.Rank = entry->Rank;
        word.Count = 1;
        word.FirstToken = static_cast<int>(i);
        word.Form = lower(token.Text);
        word.Sentence = sentenceAround(gbkText, tokens, i);
        wordAt.emplace(lemma, result.Words.size());
        result.Words.push_back(std::move(word));
    }
    return result;
}

TWordList TextWordList(const std::vector<TTextWord> &words, bool scramble)
{
    TWordList list;
    list.Layout = TWordLayout::Brackets;
    list.Scramble = scramble;
    list.Lines.reserve(words.size());
    for (const TTextWord &word : words) {
        const std::string line = word.Spelling + "[" + word.Pronunciation + "]" + word.Meaning;
        TCheckedLine checked = CheckWordLine(line, TWordLayout::Brackets, scramble);
        TListLine row;
        row.LineNumber = static_cast<int>(list.Lines.size()) + 1;
        row.Error = checked.Error;
        row.Word = std::move(checked.Word);
        if (row.Error == TLineError::None)
            row.Example = {word.Form, word.Sentence};
        else
            row.Text = line;
        list.Lines.push_back(std::move(row));
    }
    return list;
}

TTextWords TextWordsOfBytes(std::string_view bytes, TTextKind kind, const TReferenceData &reference,
                            std::optional<TWordFileEncoding> encoding)
{
    const TWordFileEncoding chosen = encoding ? *encoding : DecideWordFileEncoding(bytes).Encoding;
    // The line reader keeps only the start of a very long line, and an
    // article may be one paragraph a line: long lines are broken at blanks
    // first, in an encoding where a blank byte is always a blank.
    std::string readable;
    TWordFileEncoding readAs = chosen;
    if (chosen == TWordFileEncoding::Utf16LE || chosen == TWordFileEncoding::Utf16BE) {
        std::string_view body = bytes;
        if (body.size() >= 2
            && (body.substr(0, 2) == "\xFF\xFE" || body.substr(0, 2) == "\xFE\xFF"))
            body.remove_prefix(2);
        QString text(static_cast<qsizetype>(body.size() / 2), Qt::Uninitialized);
        for (qsizetype k = 0; k < text.size(); ++k) {
            const auto lo = static_cast<unsigned char>(body[static_cast<size_t>(2 * k)]);
            const auto hi = static_cast<unsigned char>(body[static_cast<size_t>(2 * k + 1)]);
            text[k] = chosen == TWordFileEncoding::Utf16LE ? QChar(lo | (hi << 8))
                                                           : QChar((lo << 8) | hi);
        }
        readable = text.toStdString();
        readAs = TWordFileEncoding::Utf8;
    } else {
        readable = std::string(bytes);
    }
    constexpr size_t kBreakAfter = 4096;
    size_t lineStart = 0;
    for (size_t k = 0; k < readable.size(); ++k) {
        if (readable[k] == '\n')
            lineStart = k + 1;
        else if (readable[k] == ' ' && k - lineStart > kBreakAfter) {
            readable[k] = '\n';
            lineStart = k + 1;
        }
    }
    std::vector<std::string> lines;
    int bad = 0;
    ForEachWordFileLine(readable, readAs, [&](std::optional<std::string> &&line) {
        if (line)
            lines.push_back(std::move(*line));
        else
            ++bad;
        return true;
    });
    TTextWords words = CollectTextWords(TextOfLines(lines, kind), reference);
    words.Encoding = chosen;
    words.BadLines = bad;
    return words;
}
