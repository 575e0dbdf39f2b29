// Conversions between GBK, UTF-8 and Unicode meet database texts, file names
// and pasted text: whatever the bytes, no character may vanish or merge
// with another without a word. A sequence that is not UTF-8 becomes U+FFFD
// and is reported; every character reaches GBK as itself or as '?'.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QList>
#include <QString>

#include "GbkText.h"

namespace {

qsizetype codePoints(const QString &text)
{
    return text.toUcs4().size();
}

// The ASCII bytes of a UTF-8 text, which every decoding keeps in order.
std::string asciiOf(std::string_view bytes)
{
    std::string ascii;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80)
            ascii.push_back(c);
    }
    return ascii;
}

std::string asciiOf(const QString &text)
{
    std::string ascii;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            ascii.push_back(static_cast<char>(c.unicode()));
    }
    return ascii;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    // UTF-8 to Unicode: exact when nothing was replaced, marked when something was.
    bool replaced = false;
    const QString text = Utf8ToQString(bytes, &replaced);
    if (!replaced && text.toStdString() != bytes)
        std::abort();
    if (replaced && !text.contains(QChar(0xFFFD)))
        std::abort();
    if (asciiOf(text) != asciiOf(bytes))
        std::abort();
    if (text.isEmpty() != bytes.empty())
        std::abort();

    // UTF-8 to GBK: one GBK character for each character, reported alike.
    bool gbkReplaced = false;
    const std::string gbk = Utf8ToGbk(bytes, &gbkReplaced);
    if (gbkReplaced != replaced || codePoints(GbkToQString(gbk)) != codePoints(text))
        std::abort();

    // The bytes as GBK: a valid text goes back to its bytes, any text shows.
    const QString shown = GbkToQString(bytes);
    if (shown.isEmpty() != bytes.empty())
        std::abort();
    if (const std::optional<QString> strict = GbkToQStringStrict(bytes)) {
        if (*strict != shown || QStringToGbk(*strict) != bytes)
            std::abort();
    }

    // The bytes as UTF-16 code units (lone surrogates too) to GBK.
    QString units;
    for (size_t i = 0; i + 1 < size; i += 2)
        units.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    if (codePoints(GbkToQString(QStringToGbk(units))) != codePoints(units))
        std::abort();
    return 0;
}
