#pragma once
// A settings file of the Windows INI kind, read and written the way the
// program's stored files expect: GBK bytes, section and key names compared
// without regard to ASCII case, the first occurrence wins, blanks around key
// and value trimmed, ';' comment lines, LF or CR LF line ends.
//
// The file is read once on construction and written once by Save(), so a
// group of values costs one open; nothing is kept between objects.
//
// Save() never writes back a file it could not read wholly, follows a
// symbolic link to the file it names, and replaces the file atomically where
// the directory lets it (in place otherwise).

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ExplainedError.h"

// A settings write the system refused. what() is "Unable to write to <path>";
// the player reads "无法写入设置文件：<path>".
class ESettingsWriteError : public EExplainedError {
public:
    explicit ESettingsWriteError(const std::string &path);
    QString Reason() const override;

private:
    std::string m_path;
};

class TIniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit TIniFile(std::string path);

    const std::string &FileName() const { return m_path; }
    // The file exists but could not be read (permission, I/O error, a
    // directory): reads give defaults and Save() refuses to write.
    bool ReadFailed() const { return m_readFailed; }

    // The value (at most 2047 bytes), or nullopt when the section or key is missing.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;

    // Changes the value in memory, keeping every other line byte for byte.
    // Each CR, LF or CR LF in the value becomes one blank, so it stays one line.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Replaces the file with the new contents: written to a new file beside
    // it, flushed and renamed over it, so a crash never leaves a truncated
    // file. When no file can be created beside it (a read-only folder) a
    // writable file is rewritten in place. Throws ESettingsWriteError when the
    // directory is missing, the file is not writable or could not be read.
    void Save() const;

private:
    struct Line {
        std::string text;    // without its line end
        std::string ending;  // "\r\n", "\n" or "" for a last line without one
    };
    // Index of the first line of the first matching section's body, or npos.
    size_t findSection(std::string_view section) const;
    size_t findKey(size_t bodyStart, std::string_view key) const;

    std::string m_path;
    std::vector<Line> m_lines;
    bool m_readFailed = false;
};

// Delphi's StrToIntDef: decimal with an optional sign, "$" hex or "0x" hex
// (when longer than two characters, no sign); anything else, or a value
// outside 32 bits, gives the default. Hexadecimal values up to 0xFFFFFFFF wrap
// to signed.
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);
// The same rules; nullopt for a text that is not a 32-bit number.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
