#pragma once
// A settings file of the Windows INI kind, read and written the way the
// program's stored files expect: GBK bytes, section and key names compared
// without regard to ASCII case, the first occurrence wins, blanks around key
// and value trimmed, ';' comment lines, LF or CR LF line ends.
//
// The file is read once on construction and written once by Save(), so a
// group of values costs one open; nothing is kept between objects.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A settings write the system refused. what() is "Unable to write to <path>".
class ESettingsWriteError : public std::runtime_error {
public:
    explicit ESettingsWriteError(const std::string &path);
};

class TIniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit TIniFile(std::string path);

    const std::string &FileName() const { return m_path; }

    // The value (at most 2047 bytes), or nullopt when the section or key is missing.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;

    // Changes the value in memory, keeping every other line byte for byte.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Replaces the file with the new contents: written beside it, flushed and
    // renamed over it, so a crash never leaves a truncated file. Throws
    // ESettingsWriteError when the directory is missing or the file is not writable.
    void Save() const;

private:
    struct Line {
        std::string text;     // without its line end
        std::string ending;   // "\r\n", "\n" or "" for a last line without one
    };
    // Index of the first line of the first matching section's body, or npos.
    size_t findSection(std::string_view section) const;
    size_t findKey(size_t bodyStart, std::string_view key) const;

    std::string m_path;
    std::vector<Line> m_lines;
};

// Delphi's StrToIntDef: optional sign, decimal, "$" hex or "0x" hex (when
// longer than two characters); anything else, or a value outside 32 bits, gives
// the default. Hexadecimal values up to 0xFFFFFFFF wrap to signed.
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);
// The same rules; nullopt for a text that is not a 32-bit number.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
