#include "IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxValue = 2047;
constexpr size_t npos = std::string::npos;

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const size_t close = line.find(']');
    if (close == npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

bool isComment(std::string_view line)
{
    line = trim(line);
    return !line.empty() && line.front() == ';';
}

bool parseUnsigned(std::string_view digits, int base, std::uint64_t &value)
{
    if (digits.empty())
        return false;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    return ec == std::errc() && end == digits.data() + digits.size();
}

} // namespace

ESettingsWriteError::ESettingsWriteError(const std::string &path)
    : std::runtime_error("Unable to write to " + path)
{
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue)
{
    return TryStrToInt(text).value_or(defaultValue);
}

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    bool hex = false;
    if (!s.empty() && s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    // from_chars would accept a second sign; digits only from here on.
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        return std::nullopt;
    if (!parseUnsigned(s, hex ? 16 : 10, magnitude))
        return std::nullopt;
    if (hex) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        auto value = static_cast<std::uint32_t>(magnitude);
        if (negative)
            value = 0u - value;
        return static_cast<std::int32_t>(value);
    }
    if (negative) {
        if (magnitude > 2147483648ull)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 2147483647ull)
        return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

TIniFile::TIniFile(std::string path) : m_path(std::move(path))
{
    FILE *f = std::fopen(m_path.c_str(), "rb");
    if (!f)
        return;
    std::string content;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        content.append(buffer, n);
    std::fclose(f);

    size_t start = 0;
    while (start < content.size()) {
        const size_t lf = content.find('\n', start);
        const size_t end = lf == npos ? content.size() : lf;
        // A CR before the LF belongs to the line ending, so a rewrite keeps it.
        const bool cr = end > start && content[end - 1] == '\r';
        Line line;
        line.text.assign(content, start, end - start - (cr ? 1 : 0));
        line.ending = lf == npos ? std::string(cr ? "\r" : "") : std::string(cr ? "\r\n" : "\n");
        start = lf == npos ? content.size() : lf + 1;
        m_lines.push_back(std::move(line));
    }
}

size_t TIniFile::findSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (name && equalsNoCase(*name, section))
            return i + 1;
    }
    return npos;
}

size_t TIniFile::findKey(size_t bodyStart, std::string_view key) const
{
    for (size_t i = bodyStart; i < m_lines.size(); ++i) {
        const std::string_view text = m_lines[i].text;
        if (sectionName(text))
            break;
        if (isComment(text))
            continue;
        const size_t eq = text.find('=');
        if (eq == npos)
            continue;
        if (equalsNoCase(trim(text.substr(0, eq)), key))
            return i;
    }
    return npos;
}

std::optional<std::string> TIniFile::ReadValue(std::string_view section, std::string_view key) const
{
    const size_t body = findSection(section);
    if (body == npos)
        return std::nullopt;
    const size_t at = findKey(body, key);
    if (at == npos)
        return std::nullopt;
    const std::string_view text = m_lines[at].text;
    std::string_view value = trim(text.substr(text.find('=') + 1));
    if (value.size() > kMaxValue)
        value = value.substr(0, kMaxValue);
    return std::string(value);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    auto value = ReadValue(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const
{
    const auto value = ReadValue(section, key);
    return value ? StrToIntDef(*value, defaultValue) : defaultValue;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string text;
    text.reserve(key.size() + value.size() + 1);
    text.append(key).append("=").append(value);

    size_t body = findSection(section);
    if (body == npos) {
        if (!m_lines.empty() && m_lines.back().ending.empty())
            m_lines.back().ending = "\r\n";
        std::string header;
        header.reserve(section.size() + 2);
        header.append("[").append(section).append("]");
        m_lines.push_back({std::move(header), "\r\n"});
        m_lines.push_back({std::move(text), "\r\n"});
        return;
    }
    const size_t at = findKey(body, key);
    if (at != npos) {
        m_lines[at].text = std::move(text);
        if (m_lines[at].ending.empty())
            m_lines[at].ending = "\r\n";
        return;
    }
    // A new key goes after the section's last non-blank line.
    size_t insertAt = body;
    for (size_t i = body; i < m_lines.size() && !sectionName(m_lines[i].text); ++i) {
        if (!trim(m_lines[i].text).empty())
            insertAt = i + 1;
    }
    if (insertAt > 0 && m_lines[insertAt - 1].ending.empty())
        m_lines[insertAt - 1].ending = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{std::move(text), "\r\n"});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::Save() const
{
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0) {
        // rename() would replace a read-only file on Linux; refuse it as the
        // system refuses an in-place write.
        if (!S_ISREG(st.st_mode) || ::access(m_path.c_str(), W_OK) != 0)
            throw ESettingsWriteError(m_path);
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = m_path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw ESettingsWriteError(m_path);

    std::string content;
    for (const Line &line : m_lines)
        content.append(line.text).append(line.ending);

    bool ok = ::fchmod(fd, mode) == 0;
    const char *p = content.data();
    size_t left = content.size();
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += written;
        left -= static_cast<size_t>(written);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), m_path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw ESettingsWriteError(m_path);
    }
}
