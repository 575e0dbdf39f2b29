#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MemoryTrim.h"

namespace {

TEST(CommonMemoryTrim, OnlyReadOnlyPrivateMappingsOfFontFilesAreDropped)
{
    struct TCase {
        const char *Line;
        bool Font;
    };
    const TCase cases[] = {
        {"7f01a000-7f02b000 r--p 00000000 fe:01 1234   /usr/share/fonts/truetype/arphic/uming.ttc",
         true},
        {"7f01a000-7f02b000 r--p 00000000 fe:01 1234   /usr/share/fonts/X/DejaVuSans.TTF", true},
        {"7f01a000-7f02b000 r--p 00000000 fe:01 1234   /opt/f/NotoSansCJK-Regular.otc", true},
        {"7f01a000-7f02b000 r--p 00000000 fe:01 1234   /opt/f/Font.otf\n", true},
        // Written pages would lose their contents; shared ones are someone else's.
        {"7f01a000-7f02b000 rw-p 00000000 fe:01 1234   /usr/share/fonts/a.ttf", false},
        {"7f01a000-7f02b000 r--s 00000000 fe:01 1234   /usr/share/fonts/a.ttf", false},
        {"7f01a000-7f02b000 r-xp 00000000 fe:01 1234   /usr/lib/libfreetype.so.6", false},
        {"7f01a000-7f02b000 r--p 00000000 fe:01 1234   /usr/share/fonts/a.ttf.cache", false},
        {"7f01a000-7f02b000 r--p 00000000 00:00 0      [heap]", false},
        {"7f01a000-7f02b000 r--p 00000000 00:00 0", false},
        {"zz-7f02b000 r--p 00000000 fe:01 1234 /a.ttf", false},
        {"7f02b000-7f01a000 r--p 00000000 fe:01 1234 /a.ttf", false},
        {"", false},
    };
    for (const TCase &c : cases) {
        std::size_t start = 0;
        std::size_t end = 0;
        EXPECT_EQ(IsFontFileMapping(c.Line, start, end), c.Font) << c.Line;
        if (c.Font) {
            EXPECT_EQ(start, 0x7f01a000U);
            EXPECT_EQ(end, 0x7f02b000U);
        }
    }
}

// Resident bytes of the mapping that starts at Address, from smaps.
long residentKb(const void *address)
{
    std::ifstream smaps("/proc/self/smaps");
    char head[32];
    std::snprintf(head, sizeof head, "%lx-", reinterpret_cast<unsigned long>(address));
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        if (line.rfind(head, 0) == 0)
            inside = true;
        else if (inside && line.rfind("Rss:", 0) == 0)
            return std::stol(line.substr(4));
    }
    return -1;
}

TEST(CommonMemoryTrim, AFontFilesPagesLeaveAndItsBytesReadTheSameAfterwards)
{
    // A made-up font file: the trim goes by the name, and the bytes show
    // that nothing read through the mapping changes.
    const std::filesystem::path path = std::filesystem::temp_directory_path()
                                       / ("kivro-trim-" + std::to_string(getpid()) + ".ttf");
    std::vector<char> bytes(1 << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xff);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));

    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    void *map = mmap(nullptr, bytes.size(), PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    ASSERT_NE(map, MAP_FAILED);
    const auto *mapped = static_cast<const volatile char *>(map);
    long sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4096)
        sum += mapped[i];
    EXPECT_NE(sum, 0);
    EXPECT_GE(residentKb(map), 1000);

    const TMemoryTrim trim = TrimIdleMemory();
    EXPECT_GE(trim.FontMappings, 1);
    EXPECT_GE(trim.FontBytes, bytes.size());
    EXPECT_EQ(residentKb(map), 0);
    EXPECT_EQ(std::memcmp(map, bytes.data(), bytes.size()), 0);

    munmap(map, bytes.size());
    std::filesystem::remove(path);
}

}  // namespace
