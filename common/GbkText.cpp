#include "GbkText.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <vector>

#include <QList>
#include <QStringDecoder>

#include "CommonLog.h"

namespace {

constexpr const char *kCodePage = "CP936";

// One conversion descriptor per direction and thread: iconv_open is not free
// and the board converts meanings on every redraw.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between GBK and Unicode");
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    iconv_t reset()
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

iconv_t utf32ToGbk()
{
    thread_local Converter c(kCodePage, "UTF-32LE");
    return c.reset();
}

// Decodes GBK to UTF-8. With strict set, returns false at the first bad byte;
// otherwise every bad byte becomes U+FFFD and decoding goes on at the next one.
bool decode(std::string_view gbk, std::string &out, bool strict)
{
    thread_local TIconvToUtf8 fromGbk(kCodePage);
    return fromGbk.Decode(gbk, out, strict);
}

}  // namespace

TIconvToUtf8::TIconvToUtf8(const char *from) : m_cd(iconv_open("UTF-8", from))
{
    if (m_cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot read ") + from);
}

TIconvToUtf8::~TIconvToUtf8()
{
    iconv_close(static_cast<iconv_t>(m_cd));
}

bool TIconvToUtf8::Decode(std::string_view text, std::string &out, bool strict)
{
    const auto cd = static_cast<iconv_t>(m_cd);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.clear();
    out.reserve(text.size() * 3 / 2 + 4);
    char *in = const_cast<char *>(text.data());
    size_t inLeft = text.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *o = buffer;
        size_t oLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ (bad sequence) or EINVAL (a character cut off at the end).
        if (strict)
            return false;
        out.append("\xEF\xBF\xBD");
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

std::optional<std::string> TIconvToUtf8::Strict(std::string_view text)
{
    std::string utf8;
    if (!Decode(text, utf8, true))
        return std::nullopt;
    return utf8;
}

QString GbkToQString(std::string_view gbk)
{
    std::string utf8;
    decode(gbk, utf8, false);
    return QString::fromStdString(utf8);
}

std::optional<QString> GbkToQStringStrict(std::string_view gbk)
{
    std::string utf8;
    if (!decode(gbk, utf8, true))
        return std::nullopt;
    return QString::fromStdString(utf8);
}

bool IsGbkText(std::string_view gbk)
{
    // ASCII is GBK as it stands; a word list's spellings mostly are.
    if (std::all_of(gbk.begin(), gbk.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    thread_local std::string scratch;  // a million lines, one buffer
    return decode(gbk, scratch, true);
}

std::string GbkToUtf8(std::string_view gbk)
{
    std::string utf8;
    decode(gbk, utf8, false);
    return utf8;
}

namespace {

// Characters in GBK bytes: a byte of 0x81 or more leads a pair, anything else
// (0x80 is the euro sign) stands alone.
size_t gbkCharCount(std::string_view gbk)
{
    size_t count = 0;
    for (size_t i = 0; i < gbk.size(); ++i, ++count) {
        if (static_cast<unsigned char>(gbk[i]) > 0x80)
            ++i;
    }
    return count;
}

// Encodes code points; every one GBK cannot hold becomes '?' and clears held.
// iconv also swallows some characters without a word (the tag characters
// U+E0000..U+E007F), so the output must be checked rather than trusted.
void encode(const uint *codes, size_t count, std::string &out, bool &held)
{
    std::vector<char> in(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint c = codes[i];
        in[4 * i] = static_cast<char>(c & 0xFF);
        in[4 * i + 1] = static_cast<char>((c >> 8) & 0xFF);
        in[4 * i + 2] = static_cast<char>((c >> 16) & 0xFF);
        in[4 * i + 3] = static_cast<char>((c >> 24) & 0xFF);
    }
    iconv_t cd = utf32ToGbk();
    char *p = in.data();
    size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *o = buffer;
        size_t oLeft = sizeof buffer;
        const size_t r = iconv(cd, &p, &inLeft, &o, &oLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        out.push_back('?');
        held = false;
        const size_t skip = inLeft < 4 ? inLeft : 4;
        p += skip;
        inLeft -= skip;
        cd = utf32ToGbk();
    }
}

// The whole text at once, and character by character when a character went
// missing on the way: then one that yields nothing becomes '?'.
std::string encodeText(const QString &text, bool &held)
{
    held = true;
    const QList<uint> ucs4 = text.toUcs4();
    const size_t count = static_cast<size_t>(ucs4.size());
    std::string out;
    out.reserve(count * 2);
    encode(ucs4.constData(), count, out, held);
    if (gbkCharCount(out) == count)
        return out;
    out.clear();
    for (size_t i = 0; i < count; ++i) {
        const size_t before = out.size();
        encode(ucs4.constData() + i, 1, out, held);
        if (out.size() == before) {
            out.push_back('?');
            held = false;
        }
    }
    return out;
}

}  // namespace

std::string QStringToGbk(const QString &text)
{
    bool held = true;
    return encodeText(text, held);
}

std::optional<std::string> QStringToGbkStrict(const QString &text)
{
    bool held = true;
    std::string gbk = encodeText(text, held);
    // Decoding back also catches a character iconv maps to a look-alike.
    if (!held || GbkToQString(gbk) != text)
        return std::nullopt;
    return gbk;
}

QString Utf8ToQString(std::string_view utf8, bool *replaced)
{
    // QString::fromUtf8 drops a byte order mark at the start. Stateless: a
    // decoder with state holds the bytes of a character cut off at the end
    // back for a next call that never comes, and they would vanish.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom
                                                     | QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    if (replaced)
        *replaced = decoder.hasError();
    return text;
}

std::string Utf8ToGbk(std::string_view utf8, bool *replaced)
{
    bool bad = false;
    std::string gbk = QStringToGbk(Utf8ToQString(utf8, &bad));
    if (bad)
        qCWarning(lcCommon) << "text that is not UTF-8 converted with replacements, starting"
                            << QByteArray(utf8.data(), std::min<qsizetype>(
                                                           64, static_cast<qsizetype>(utf8.size())))
                                   .toHex();
    if (replaced)
        *replaced = bad;
    return gbk;
}
