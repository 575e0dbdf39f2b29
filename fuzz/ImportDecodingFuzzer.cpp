// An import file may be in any encoding or none: deciding and decoding any
// bytes must give lines without line breaks or NULs, converted text only
// when it is GBK, and a UTF-8 decision without a mark only for valid UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "GbkText.h"
#include "WordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const TWordFileDecision decision = DecideWordFileEncoding(bytes);
    if (decision.MarkLength > size)
        std::abort();
    // Without a mark, only valid UTF-8 is taken for UTF-8 (with one, its
    // invalid lines become error lines).
    if (decision.Encoding == TWordFileEncoding::Utf8 && decision.MarkLength == 0
        && !IsValidUtf8(bytes))
        std::abort();

    const std::vector<std::optional<std::string>> lines = SplitWordFileLines(bytes);
    size_t breaks = 0;
    for (char c : bytes)
        breaks += c == '\n' ? 1 : 0;
    if (lines.size() > breaks + 1)
        std::abort();
    // The file's own lines after its mark, for the UTF-8 reading.
    std::string_view rest = bytes.substr(decision.MarkLength);
    for (const std::optional<std::string> &line : lines) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view own = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!own.empty() && own.back() == '\r')
            own.remove_suffix(1);
        if (!line)
            continue;
        // A UTF-8 line taken as text is all of the line: no character cut
        // off or dropped. Over-long lines are given only in part.
        if (decision.Encoding == TWordFileEncoding::Utf8 && own.size() <= kMaxWordLineBytes
            && GbkToUtf8(*line) != own)
            std::abort();
        if (line->size() > kMaxWordLineBytes + 2)
            std::abort();
        if (line->find('\n') != std::string::npos || line->find('\0') != std::string::npos)
            std::abort();
        // Converted lines are GBK; a GBK file's lines are its own bytes.
        if (decision.Encoding != TWordFileEncoding::Gbk && !GbkToQStringStrict(*line))
            std::abort();
        if (decision.Encoding == TWordFileEncoding::Gbk
            && bytes.find(*line) == std::string_view::npos)
            std::abort();
    }
    return 0;
}
