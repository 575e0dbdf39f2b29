#include "RecentTollGates.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QSaveFile>

#include "FlowLog.h"
#include "GbkText.h"
#include "IniFile.h"
#include "Settings.h"
#include "TextUtils.h"

namespace {

// The lines without their CR LF; a final line end makes no extra empty line.
// False when the file is there but cannot be read.
bool readLines(const std::string &path, std::vector<std::string> &lines)
{
    lines.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return !ec;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        if (lf == std::string::npos)
            lf = text.size();
        std::string line = text.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = lf + 1;
    }
    return true;
}

}  // namespace

std::string RecentFilePath()
{
    return ProgramPath("UseRecord.txt");
}

std::string RecentLine(const TGamePara &para)
{
    const std::string sep = kRecentSeparator;
    return para.StoreTableName + sep + std::to_string(para.WordCount) + sep + para.BookName + sep
           + std::to_string(para.BookType) + sep + std::to_string(para.TollGateIndex) + sep
           + std::to_string(para.Level);
}

bool FitsRecentList(const TGamePara &para)
{
    if (!FitsRecentLineField(para.StoreTableName) || !FitsRecentLineField(para.BookName))
        return false;
    const std::optional<TGamePara> back = ParseRecentEntry(RecentLine(para));
    return back && back->StoreTableName == para.StoreTableName && back->BookName == para.BookName
           && back->WordCount == para.WordCount && back->BookType == para.BookType
           && back->TollGateIndex == para.TollGateIndex && back->Level == para.Level;
}

bool GbkSameText(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (static_cast<unsigned char>(a[i]) >= 0x80 && i + 1 < a.size()) {
            // A lead byte and its trail byte: the trail may look like a Latin letter.
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

void AddRecentLine(const std::string &line)
{
    try {
        const std::string path = RecentFilePath();
        std::vector<std::string> lines;
        // A list that cannot be read is left as it is rather than replaced
        // by the one new line.
        if (!readLines(path, lines))
            return;
        bool found = false;
        for (const std::string &l : lines)
            found = found || GbkSameText(l, line);
        if (!found)
            lines.push_back(line);
        const size_t first =
            lines.size() > kMaxRecentTollGates ? lines.size() - kMaxRecentTollGates : 0;
        std::string content;
        for (size_t i = first; i < lines.size(); ++i)
            content.append(lines[i]).append("\r\n");

        // A temporary file of a unique name beside the list, renamed over it.
        // Unbuffered: a write the disk refuses must fail here, not at a
        // flush whose failure the rename would not see.
        QSaveFile out(QString::fromStdString(path));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const auto size = static_cast<qint64>(content.size());
        if (out.write(content.data(), size) != size) {
            out.cancelWriting();
            return;
        }
        out.commit();
    } catch (const std::exception &e) {
        // Files report by their results; a line the GBK conversion refuses
        // or memory can still throw.
        qCWarning(lcFlow) << __func__ << "failed:" << e.what();
    }
}

std::vector<TRecentEntry> ReadRecentEntries()
{
    std::vector<TRecentEntry> entries;
    std::vector<std::string> lines;
    readLines(RecentFilePath(), lines);
    for (const std::string &line : lines) {
        TRecentEntry entry{line, {}};
        SplitText(line, kRecentSeparator, entry.Fields);
        if (entry.Fields.size() < 6) {
            std::error_code ec;
            std::filesystem::remove(RecentFilePath(), ec);
            break;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

QString LevelName(int level)
{
    switch (level) {
    case 1:
        return QStringLiteral("容易");
    case 2:
        return QStringLiteral("较难");
    case 3:
        return QStringLiteral("困难");
    default:
        return {};
    }
}

QString RecentCaption(const TStringList &fields)
{
    QString caption = GbkToQString(fields[2]);
    caption += fields[3] == "0" ? QStringLiteral("-顺序 第") : QStringLiteral("-打乱 第");
    caption += GbkToQString(fields[4]) + QStringLiteral("关 ");
    const std::string &level = fields[5];
    if (level == "1" || level == "2" || level == "3")
        caption += LevelName(level[0] - '0');
    return caption;
}

std::optional<TGamePara> ParseRecentEntry(const std::string &line)
{
    TStringList fields;
    SplitText(line, kRecentSeparator, fields);
    if (fields.size() < 6)
        return std::nullopt;
    const auto wordCount = TryStrToInt(fields[1]);
    const auto bookType = TryStrToInt(fields[3]);
    const auto tollGate = TryStrToInt(fields[4]);
    const auto level = TryStrToInt(fields[5]);
    if (!wordCount || !bookType || !tollGate || !level)
        return std::nullopt;
    TGamePara para;
    para.StoreTableName = fields[0];
    para.WordCount = *wordCount;
    para.BookName = fields[2];
    para.BookType = *bookType;
    para.TollGateIndex = *tollGate;
    para.Level = *level;
    return para;
}
