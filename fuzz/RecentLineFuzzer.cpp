// A line of UseRecord.txt may be anything (an edited or damaged file): its
// caption and its entry must come out without a crash, an entry the list can
// hold must read back as itself, and the comparison of lines must not depend
// on their order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "RecentTollGates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string line(reinterpret_cast<const char *>(data), size);

    TStringList fields;
    SplitText(line, kRecentSeparator, fields);
    if (fields.size() >= 6)
        (void)RecentCaption(fields);

    if (const std::optional<TGamePara> para = ParseRecentEntry(line);
        para && FitsRecentList(*para)) {
        const std::optional<TGamePara> back = ParseRecentEntry(RecentLine(*para));
        if (!back || back->StoreTableName != para->StoreTableName
            || back->BookName != para->BookName || back->WordCount != para->WordCount
            || back->BookType != para->BookType || back->TollGateIndex != para->TollGateIndex
            || back->Level != para->Level)
            std::abort();
        if (!GbkSameText(RecentLine(*para), RecentLine(*back)))
            std::abort();
    }

    const std::string first = line.substr(0, size / 2);
    const std::string second = line.substr(size / 2);
    if (!GbkSameText(line, line) || GbkSameText(first, second) != GbkSameText(second, first))
        std::abort();
    return 0;
}
