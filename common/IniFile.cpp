#include "IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <climits>
#include <random>
#include <unistd.h>

#include "TextUtils.h"

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

// A line that another line may follow without joining it.
template <typename L>
bool endsWithLf(const L &line)
{
    return !line.ending.empty() && line.ending.back() == '\n';
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
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    return ec == std::errc() && end == digits.data() + digits.size();
}

// The whole file. False when there is nothing to read: a missing file (or a
// missing folder on the way) quietly, anything else with failed set.
bool readWholeFile(const std::string &path, std::string &content, bool &failed)
{
    failed = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failed = errno != ENOENT && errno != ENOTDIR;
        return false;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            failed = true;  // EISDIR, EIO …
            break;
        }
    }
    ::close(fd);
    if (failed)
        content.clear();
    return !failed;
}

// A value that holds line breaks would end its line early and make the rest
// a key of its own.
std::string oneLine(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            out.push_back(' ');
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link), so a write replaces the file and leaves the link a link.
std::string followLinks(const std::string &path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0)
            return current;
        target.resize(static_cast<size_t>(n));
        if (target.front() != '/') {
            const size_t slash = current.rfind('/');
            if (slash != npos)
                target.insert(0, current, 0, slash + 1);
        }
        current = std::move(target);
    }
    return current;  // a loop: the write fails on it as the system says
}

bool writeAll(int fd, std::string_view content)
{
    const char *p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

// A new file beside target with a name no other process uses. The mode goes
// to open(), so the kernel applies the umask: no process-wide umask change.
int createTemporary(const std::string &target, mode_t mode, std::string &temp)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".";
        std::uint32_t bits = entropy();
        for (int k = 0; k < 6; ++k) {
            temp.push_back(kLetters[bits % 36]);
            bits /= 36;
        }
        temp += ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncDirectoryOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const std::string dir = slash == npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Rewrites an existing file through its own inode: not atomic, but the only
// way into a folder where no new file can be made.
bool writeInPlace(const std::string &path, std::string_view content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, content);
    ok = ok && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

}  // namespace

ESettingsWriteError::ESettingsWriteError(const std::string &path)
    : EExplainedError("Unable to write to " + path), m_path(path)
{
}

QString ESettingsWriteError::Reason() const
{
    return QStringLiteral("无法写入设置文件：") + QString::fromStdString(m_path);
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue)
{
    return TryStrToInt(text).value_or(defaultValue);
}

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::string_view s = text;
    bool hex = false;
    if (!s.empty() && s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    // Only a decimal number takes a sign.
    bool negative = false;
    if (!hex && !s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    // from_chars would accept a sign; digits only from here on.
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        return std::nullopt;
    std::uint64_t magnitude = 0;
    if (!parseUnsigned(s, hex ? 16 : 10, magnitude))
        return std::nullopt;
    if (hex) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
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
    std::string content;
    if (!readWholeFile(m_path, content, m_readFailed))
        return;

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
        if (name && SameTextAscii(*name, section))
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
        if (SameTextAscii(trim(text.substr(0, eq)), key))
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
    text.append(oneLine(key)).append("=").append(oneLine(value));

    size_t body = findSection(section);
    if (body == npos) {
        if (!m_lines.empty() && !endsWithLf(m_lines.back()))
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
        if (!endsWithLf(m_lines[at]))
            m_lines[at].ending = "\r\n";
        return;
    }
    // A new key goes after the section's last non-blank line.
    size_t insertAt = body;
    for (size_t i = body; i < m_lines.size() && !sectionName(m_lines[i].text); ++i) {
        if (!trim(m_lines[i].text).empty())
            insertAt = i + 1;
    }
    if (insertAt > 0 && !endsWithLf(m_lines[insertAt - 1]))
        m_lines[insertAt - 1].ending = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   Line{std::move(text), "\r\n"});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::Save() const
{
    // What was not read cannot be written back.
    if (m_readFailed)
        throw ESettingsWriteError(m_path);
    const std::string target = followLinks(m_path);

    mode_t mode = 0666;
    bool exists = false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // rename() would replace a read-only file on Linux; refuse it as the
        // system refuses an in-place write.
        if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0)
            throw ESettingsWriteError(m_path);
        mode = st.st_mode & 07777;
        exists = true;
    }

    std::string content;
    for (const Line &line : m_lines)
        content.append(line.text).append(line.ending);

    std::string temp;
    const int fd = createTemporary(target, exists ? (mode & 0777) : mode, temp);
    if (fd < 0) {
        // A read-only folder around a writable file. Never on a full disk:
        // an in-place write cut short would leave half a file.
        const bool refused = errno == EACCES || errno == EPERM;
        if (exists && refused && writeInPlace(target, content))
            return;
        throw ESettingsWriteError(m_path);
    }
    // The umask may have narrowed an existing file's mode; give it back.
    bool ok = !exists || ::fchmod(fd, mode) == 0;
    ok = ok && writeAll(fd, content);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw ESettingsWriteError(m_path);
    }
    syncDirectoryOf(target);
}
