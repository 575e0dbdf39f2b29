#pragma once
// Conversions between the core's GBK byte strings and the Unicode the edges
// (display, keyboard, database, file names) need. GBK here is Windows code
// page 936, which also maps 0x80 to the euro sign.

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// For display: never fails. Every byte that does not start a valid character
// (including a lone lead byte at the end) becomes U+FFFD.
QString GbkToQString(std::string_view gbk);

// Characters GBK cannot hold become '?'; none is ever dropped.
std::string QStringToGbk(const QString &text);

// For text that must be kept exactly: nullopt when GBK cannot hold a character.
std::optional<std::string> QStringToGbkStrict(const QString &text);

// For input that must be valid: nullopt when any byte sequence is not GBK.
std::optional<QString> GbkToQStringStrict(std::string_view gbk);
// The same test without the text: true when GbkToQStringStrict gives one.
bool IsGbkText(std::string_view gbk);

std::string GbkToUtf8(std::string_view gbk);
// Never fails: a sequence that is not UTF-8 (cut off at the end too) becomes
// U+FFFD, so '?' in GBK; replaced, when given, is set to whether one did, and
// a replacement is logged. Text that must be kept exactly uses Utf8ToGbkStrict.
std::string Utf8ToGbk(std::string_view utf8, bool *replaced = nullptr);
// Every character, a byte order mark at the start too; every invalid or
// cut-off sequence becomes U+FFFD and sets replaced, when given.
QString Utf8ToQString(std::string_view utf8, bool *replaced = nullptr);

// Text of another encoding iconv knows ("CP936", "BIG5", ...) to UTF-8, one
// conversion descriptor for many calls. Throws std::runtime_error when iconv
// cannot read the encoding.
class TIconvToUtf8 {
public:
    explicit TIconvToUtf8(const char *from);
    ~TIconvToUtf8();
    TIconvToUtf8(const TIconvToUtf8 &) = delete;
    TIconvToUtf8 &operator=(const TIconvToUtf8 &) = delete;

    // With strict set, false at the first sequence that is not of the
    // encoding; otherwise each bad byte becomes U+FFFD and decoding goes on.
    bool Decode(std::string_view text, std::string &out, bool strict);
    // nullopt when any sequence is not of the encoding.
    std::optional<std::string> Strict(std::string_view text);

private:
    void *m_cd;  // iconv_t, kept out of this header
};

// A GBK string from a UTF-8 literal in the source: Gbk("课本").
inline std::string Gbk(std::string_view utf8)
{
    return Utf8ToGbk(utf8);
}
