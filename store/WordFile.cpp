#include "WordFile.h"

#include <QFile>

#include "GbkText.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool hasHighByte(std::string_view bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

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
    return QStringToGbkStrict(Utf8ToQString(utf8));
}

std::vector<std::optional<std::string>> SplitWordFileLines(std::string_view bytes)
{
    bool utf8 = false;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        utf8 = true;
    } else {
        utf8 = hasHighByte(bytes) && IsValidUtf8(bytes);
    }

    std::vector<std::optional<std::string>> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (utf8)
            lines.push_back(Utf8ToGbkStrict(line));
        else
            lines.emplace_back(std::string(line));
        start = next;
    }
    return lines;
}

std::vector<std::optional<std::string>> ReadWordFileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EWordFileError(
            QStringLiteral("无法打开词库文件 %1：%2").arg(fileName, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EWordFileError(
            QStringLiteral("无法读取词库文件 %1：%2").arg(fileName, file.errorString()).toStdString());
    return SplitWordFileLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
