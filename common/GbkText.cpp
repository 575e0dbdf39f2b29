#include "GbkText.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <vector>

#include <QList>

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

iconv_t gbkToUtf8()
{
    thread_local Converter c("UTF-8", kCodePage);
    return c.reset();
}

iconv_t utf32ToGbk()
{
    thread_local Converter c(kCodePage, "UTF-32LE");
    return c.reset();
}

// Decodes GBK to UTF-8. With strict set, returns false at the first bad byte;
// otherwise every bad byte becomes U+FFFD and decoding goes on at the next one.
bool decode(std::string_view gbk, std::string &out, bool strict)
{
    out.clear();
    out.reserve(gbk.size() * 3 / 2 + 4);
    iconv_t cd = gbkToUtf8();
    char *in = const_cast<char *>(gbk.data());
    size_t inLeft = gbk.size();
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
        // EILSEQ (bad sequence) or EINVAL (lead byte cut off at the end).
        if (strict)
            return false;
        out.append("\xEF\xBF\xBD");
        ++in;
        --inLeft;
        cd = gbkToUtf8();
    }
    return true;
}

} // namespace

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

std::string GbkToUtf8(std::string_view gbk)
{
    std::string utf8;
    decode(gbk, utf8, false);
    return utf8;
}

std::string QStringToGbk(const QString &text)
{
    const QList<uint> ucs4 = text.toUcs4();
    std::string out;
    out.reserve(static_cast<size_t>(ucs4.size()) * 2);
    std::vector<char> in(static_cast<size_t>(ucs4.size()) * 4);
    for (qsizetype i = 0; i < ucs4.size(); ++i) {
        const uint c = ucs4[i];
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
        const size_t skip = inLeft < 4 ? inLeft : 4;
        p += skip;
        inLeft -= skip;
        cd = utf32ToGbk();
    }
    return out;
}

std::string Utf8ToGbk(std::string_view utf8)
{
    return QStringToGbk(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
