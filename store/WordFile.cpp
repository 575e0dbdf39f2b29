#include "WordFile.h"

#include <algorithm>
#include <memory>

#include <QFile>

#include "GbkText.h"
#include "TextUtils.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr size_t kScoredBytes = size_t{64} * 1024;

bool hasHighByte(std::string_view bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

// Score of GBK bytes as Chinese text: +1 for a character of GB2312's
// punctuation rows (A1, A3: "，。（）" and full-width forms) or its hanzi rows
// (B0 … F7), -1 for any other non-ASCII character (the extension's rare
// hanzi, Greek, Cyrillic …). Bytes that are not GBK count -1 each.
long chineseScore(std::string_view gbk)
{
    long score = 0;
    size_t i = 0;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(gbk[k]); };
    while (i < gbk.size()) {
        const unsigned char lead = at(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const unsigned char next = i + 1 < gbk.size() ? at(i + 1) : 0;
        if (lead >= 0x81 && lead <= 0xFE && next >= 0x40 && next != 0x7F && next != 0xFF) {
            const unsigned char trail = next;
            const bool gb2312Trail = trail >= 0xA1 && trail <= 0xFE;
            const bool common =
                gb2312Trail && (lead == 0xA1 || lead == 0xA3 || (lead >= 0xB0 && lead <= 0xF7));
            score += common ? 1 : -1;
            i += 2;
            continue;
        }
        --score;
        ++i;
    }
    return score;
}

// Chinese text in Unicode: the CJK ideographs, CJK and full-width
// punctuation, and the dashes, quotes and ellipsis Chinese text uses.
bool chineseInUnicode(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x303F)
           || (c >= 0xFF00 && c <= 0xFFEF) || c == 0x2014 || c == 0x2018 || c == 0x2019
           || c == 0x201C || c == 0x201D || c == 0x2026;
}

// The UTF-8 reading prepared for chineseScore: Chinese characters in GBK (a
// rare one scores -1 there), a byte that scores -1 for each character of the
// two-byte range (accented Latin, Greek, Cyrillic …: what GBK text read as
// UTF-8 gives) and of the private use area, nothing for other characters
// (symbols, emoji), which misread GBK hardly ever gives.
std::string utf8ReadingForScoring(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string out;
    out.reserve(utf8.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (chineseInUnicode(c)) {
            const QString one = QString::fromUcs4(&c, 1);
            const std::optional<std::string> gbk = Utf8ToGbkStrict(one.toStdString());
            out += gbk ? *gbk : std::string("\xFF");
        } else if (c < 0x800 || (c >= 0xE000 && c <= 0xF8FF)) {
            out.push_back('\xFF');
        }
    }
    return out;
}

bool hasNul(std::string_view line)
{
    return line.find('\0') != std::string_view::npos;
}

// What an over-long line is given as: its converted start, just longer
// than kMaxWordLineBytes.
std::optional<std::string> longLineStart(std::optional<std::string> gbk)
{
    if (gbk)
        gbk->resize(GbkPrefix(*gbk, kMaxWordLineBytes + 2).size());
    return gbk;
}

// Gives each line to take until it answers false; false then.
bool splitUtf16(std::string_view bytes, bool bigEndian, const TWordFileLineSink &take)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        text.append(QChar(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a)));
    }
    const bool oddByte = bytes.size() % 2 != 0;

    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        // Each code unit gives a GBK byte or two: this start of an
        // over-long line gives more than kMaxWordLineBytes.
        const qsizetype longest = static_cast<qsizetype>(kMaxWordLineBytes) + 2;
        const bool tooLong = end - start > longest;
        QString line = text.mid(start, tooLong ? longest : end - start);
        if (tooLong && line.back().isHighSurrogate())
            line.chop(1);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const bool cutShort = oddByte && next == text.size();
        std::optional<std::string> gbk;
        // A lone surrogate or a half character at the end is no text.
        if (!cutShort && !QStringView(text).mid(start, end - start).contains(QChar(u'\0'))
            && line.isValidUtf16())
            gbk = Utf8ToGbkStrict(line.toStdString());
        if (!take(tooLong ? longLineStart(std::move(gbk)) : std::move(gbk)))
            return false;
        start = next;
    }
    if (oddByte && text.isEmpty())
        return take(std::nullopt);
    return true;
}

// Big5 lines through iconv, one descriptor for a whole file.
class Big5Decoder {
public:
    Big5Decoder() : m_big5(open()) {}

    // nullopt for bytes that are not Big5 or a character GBK cannot hold.
    std::optional<std::string> ToGbk(std::string_view big5)
    {
        const std::optional<std::string> utf8 = m_big5->Strict(big5);
        if (!utf8)
            return std::nullopt;
        return Utf8ToGbkStrict(*utf8);
    }

private:
    static std::unique_ptr<TIconvToUtf8> open()
    {
        try {
            return std::make_unique<TIconvToUtf8>("BIG5");
        } catch (const std::runtime_error &) {
            throw EWordFileError("iconv cannot read Big5");
        }
    }

    std::unique_ptr<TIconvToUtf8> m_big5;
};

}  // namespace

TWordFileDecision DecideWordFileEncoding(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        return {TWordFileEncoding::Utf8, kUtf8Bom.size()};
    if (bytes.substr(0, 2) == kUtf16LeBom)
        return {TWordFileEncoding::Utf16LE, 2};
    if (bytes.substr(0, 2) == kUtf16BeBom)
        return {TWordFileEncoding::Utf16BE, 2};
    if (!hasHighByte(bytes) || !IsValidUtf8(bytes))
        return {TWordFileEncoding::Gbk, 0};
    // The start of a long file tells as much as all of it.
    std::string_view sample = bytes.substr(0, kScoredBytes);
    while (sample.size() < bytes.size() && !sample.empty()
           && (static_cast<unsigned char>(bytes[sample.size()]) & 0xC0) == 0x80)
        sample.remove_suffix(1);
    // Valid UTF-8 that is no GBK can only be UTF-8.
    if (!GbkToQStringStrict(bytes))
        return {TWordFileEncoding::Utf8, 0};
    const long asUtf8 = chineseScore(utf8ReadingForScoring(sample));
    return {asUtf8 > 0 ? TWordFileEncoding::Utf8 : TWordFileEncoding::Gbk, 0};
}

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const auto cont = [&](size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF) {
            if (!cont(i + 1))
                return false;
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            if (!cont(i + 1) || !cont(i + 2))
                return false;
            const unsigned char b1 = at(i + 1);
            if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0))
                return false;  // overlong, or a surrogate
            i += 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3))
                return false;
            const unsigned char b1 = at(i + 1);
            if ((b == 0xF0 && b1 < 0x90) || (b == 0xF4 && b1 >= 0x90))
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

std::optional<std::string> Utf8ToGbkStrict(std::string_view utf8)
{
    bool replaced = false;
    const QString text = Utf8ToQString(utf8, &replaced);
    if (replaced)
        return std::nullopt;
    return QStringToGbkStrict(text);
}

std::vector<std::optional<std::string>> SplitWordFileLines(std::string_view bytes)
{
    return SplitWordFileLinesAs(bytes, DecideWordFileEncoding(bytes).Encoding);
}

std::vector<std::optional<std::string>> SplitWordFileLinesAs(std::string_view bytes,
                                                             TWordFileEncoding encoding)
{
    std::vector<std::optional<std::string>> lines;
    ForEachWordFileLine(bytes, encoding, [&lines](std::optional<std::string> &&line) {
        lines.push_back(std::move(line));
        return true;
    });
    return lines;
}

bool ForEachWordFileLine(std::string_view bytes, TWordFileEncoding encoding,
                         const TWordFileLineSink &take)
{
    if (encoding == TWordFileEncoding::Utf16LE || encoding == TWordFileEncoding::Utf16BE) {
        bool bigEndian = encoding == TWordFileEncoding::Utf16BE;
        if (bytes.substr(0, 2) == kUtf16LeBom || bytes.substr(0, 2) == kUtf16BeBom) {
            bigEndian = bytes.substr(0, 2) == kUtf16BeBom;
            bytes.remove_prefix(2);
        }
        return splitUtf16(bytes, bigEndian, take);
    }
    if (encoding == TWordFileEncoding::Utf8 && bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        bytes.remove_prefix(kUtf8Bom.size());
    std::optional<Big5Decoder> big5;
    if (encoding == TWordFileEncoding::Big5)
        big5.emplace();

    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        std::optional<std::string> gbk;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (hasNul(line)) {
            gbk = std::nullopt;
        } else if (line.size() > kMaxWordLineBytes) {
            // Enough of the start to give more than kMaxWordLineBytes GBK
            // bytes: UTF-8 takes at most 3 bytes for 2 of GBK, Big5 and GBK
            // as many.
            if (encoding == TWordFileEncoding::Utf8) {
                size_t head = std::min(line.size(), 2 * kMaxWordLineBytes + 4);
                while (head < line.size()
                       && (static_cast<unsigned char>(line[head]) & 0xC0) == 0x80)
                    ++head;
                gbk = longLineStart(Utf8ToGbkStrict(line.substr(0, head)));
            } else if (big5) {
                gbk = longLineStart(big5->ToGbk(GbkPrefix(line, kMaxWordLineBytes + 3)));
            } else {
                gbk = longLineStart(std::string(line.substr(0, kMaxWordLineBytes + 2)));
            }
        } else if (encoding == TWordFileEncoding::Utf8)
            gbk = Utf8ToGbkStrict(line);
        else if (big5)
            gbk = big5->ToGbk(line);
        else
            gbk = std::string(line);
        if (!take(std::move(gbk)))
            return false;
        start = next;
    }
    return true;
}

std::string ReadWordFileBytes(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EWordFileError(QStringLiteral("无法打开词库文件 %1：%2")
                                 .arg(fileName, file.errorString())
                                 .toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EWordFileError(QStringLiteral("无法读取词库文件 %1：%2")
                                 .arg(fileName, file.errorString())
                                 .toStdString());
    return bytes.toStdString();
}

std::vector<std::optional<std::string>> ReadWordFileLines(const QString &fileName)
{
    return SplitWordFileLines(ReadWordFileBytes(fileName));
}
