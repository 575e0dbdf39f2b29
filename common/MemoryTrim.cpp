#include "MemoryTrim.h"

#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <string>

#include "CommonLog.h"

namespace {

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    return std::equal(
        suffix.begin(), suffix.end(), text.end() - suffix.size(),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

bool parseHex(std::string_view text, std::size_t &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool IsFontFileMapping(std::string_view mapsLine, std::size_t &start, std::size_t &end)
{
    // "7f..-7f.. r--p 00000000 fe:01 1234   /usr/share/fonts/x.ttc"
    const std::size_t dash = mapsLine.find('-');
    const std::size_t space = mapsLine.find(' ');
    if (dash == std::string_view::npos || space == std::string_view::npos || dash > space)
        return false;
    // Only what cannot have been written: a private page written to would
    // lose its contents.
    if (mapsLine.substr(space + 1, 4) != "r--p")
        return false;
    const std::size_t slash = mapsLine.find('/');
    if (slash == std::string_view::npos)
        return false;
    std::string_view path = mapsLine.substr(slash);
    while (!path.empty() && std::isspace(static_cast<unsigned char>(path.back())))
        path.remove_suffix(1);
    if (!endsWithNoCase(path, ".ttf") && !endsWithNoCase(path, ".ttc")
        && !endsWithNoCase(path, ".otf") && !endsWithNoCase(path, ".otc"))
        return false;
    return parseHex(mapsLine.substr(0, dash), start)
           && parseHex(mapsLine.substr(dash + 1, space - dash - 1), end) && start < end;
}

TMemoryTrim TrimIdleMemory()
{
    TMemoryTrim trim;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::size_t start = 0;
        std::size_t end = 0;
        if (!IsFontFileMapping(line, start, end))
            continue;
        // NOLINTNEXTLINE(performance-no-int-to-ptr): an address from the kernel's own list
        if (madvise(reinterpret_cast<void *>(start), end - start, MADV_DONTNEED) != 0) {
            qCWarning(lcCommon) << "cannot drop a font file's pages:" << line.c_str();
            continue;
        }
        trim.FontBytes += end - start;
        ++trim.FontMappings;
    }
    malloc_trim(0);
    qCDebug(lcCommon) << "memory trimmed:" << trim.FontMappings << "font mappings,"
                      << trim.FontBytes << "bytes";
    return trim;
}
