// The settings file comes from disk, written by hand or by older versions:
// reading any bytes, writing one key and reading again must keep every other
// line byte for byte and find the key with the value written.
//
// Input: the first byte picks the key, the next up to 16 bytes (to a 0xFF
// byte) are the value, the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "IniFile.h"

namespace {

// A folder of the run's own, removed when the run ends.
struct ScratchDir {
    ScratchDir()
    {
        char name[] = "/tmp/kivro-fuzz-settings-XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        dir = name;
    }
    ~ScratchDir() { std::filesystem::remove_all(dir); }
    std::string dir;
};

const std::string &filePath()
{
    static const ScratchDir scratch;
    static const std::string path = scratch.dir + "/typeconfig.ini";
    return path;
}

std::string trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return std::string(s.substr(0, 2047));
}

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const kKeys[] = {"Level", "BookName", "mp3", "x", "system", "Volume"};
    const std::string key = kKeys[data[0] % (sizeof kKeys / sizeof *kKeys)];
    std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    const size_t cut = std::min(rest.find('\xFF'), std::min<size_t>(rest.size(), 16));
    const std::string value(rest.substr(0, cut));
    rest.remove_prefix(std::min(rest.size(), cut + 1));
    const std::string before(rest);

    {
        std::ofstream out(filePath(), std::ios::binary | std::ios::trunc);
        out.write(before.data(), static_cast<std::streamsize>(before.size()));
    }
    TIniFile ini(filePath());
    if (ini.ReadFailed())
        std::abort();
    (void)ini.ReadInteger("system", key, 0);
    ini.WriteString("system", key, value);
    ini.Save();

    // The key reads back with the value written, its breaks made blanks.
    std::string expected;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            expected.push_back(' ');
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else {
            expected.push_back(value[i]);
        }
    }
    const TIniFile again(filePath());
    if (again.ReadValue("system", key) != trimmed(expected))
        std::abort();

    // Every byte of the old file outside one line is where it was: what
    // changed lies within one line (the key replaced, a line end completed)
    // plus what was inserted.
    const std::string after = readAll(filePath());
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed =
        std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    if (removed.find('\n') != std::string_view::npos)
        std::abort();
    return 0;
}
