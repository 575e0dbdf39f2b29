#include "Settings.h"

#include <climits>
#include <unistd.h>

#include "GbkText.h"
#include "IniFile.h"
#include "CommonLog.h"

std::string ConfigFileName = "data/typeconfig.ini";

namespace {

std::string &programDirOverride()
{
    static std::string dir;
    return dir;
}

std::string executableDir()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

std::string GetProgramDir()
{
    const std::string &dir = programDirOverride();
    if (!dir.empty())
        return dir;
    static const std::string exeDir = executableDir();
    return exeDir;
}

void SetProgramDir(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir.push_back('/');
    programDirOverride() = std::move(dir);
}

std::string ToSlashes(std::string_view path)
{
    std::string out(path);
    for (char &c : out) {
        if (c == '\\')
            c = '/';
    }
    return out;
}

std::string ProgramPath(std::string_view gbkRelative)
{
    return GetProgramDir() + ToSlashes(GbkToUtf8(gbkRelative));
}

std::string ConfigFilePath()
{
    return ProgramPath(ConfigFileName);
}

std::string ReadSysString(std::string_view key)
{
    return TIniFile(ConfigFilePath()).ReadString(kSystemSection, key, "");
}

void WriteSysString(std::string_view key, std::string_view value)
{
    TIniFile ini(ConfigFilePath());
    ini.WriteString(kSystemSection, key, value);
    ini.Save();
}

std::int32_t ReadSysInteger(std::string_view key, std::int32_t defaultValue)
{
    return TIniFile(ConfigFilePath()).ReadInteger(kSystemSection, key, defaultValue);
}

void WriteSysInteger(std::string_view key, std::int32_t value)
{
    TIniFile ini(ConfigFilePath());
    ini.WriteInteger(kSystemSection, key, value);
    ini.Save();
}

std::string ReadDefaultUI()
{
    return TIniFile(ConfigFilePath()).ReadString(kSystemSection, "DefaultUI", "WLM");
}

void WriteDefaultUI(std::string_view name)
{
    WriteSysString("DefaultUI", name);
}

TSpeechSet ReadSpeechSet()
{
    const TIniFile ini(ConfigFilePath());
    TSpeechSet set;
    set.EngineName = ini.ReadString(kSystemSection, "EngineName", "");
    set.SpeakName = ini.ReadString(kSystemSection, "SpeakName", "");
    set.SpeakSex = ini.ReadInteger(kSystemSection, "SpeakSex", 0);
    set.Rate = ini.ReadInteger(kSystemSection, "Rate", 0);
    set.Volume = ini.ReadInteger(kSystemSection, "Volume", 0);
    return set;
}

void WriteSpeechSet(const TSpeechSet &set)
{
    TIniFile ini(ConfigFilePath());
    ini.WriteString(kSystemSection, "EngineName", set.EngineName);
    ini.WriteString(kSystemSection, "SpeakName", set.SpeakName);
    ini.WriteInteger(kSystemSection, "SpeakSex", set.SpeakSex);
    ini.WriteInteger(kSystemSection, "Rate", set.Rate);
    ini.WriteInteger(kSystemSection, "Volume", set.Volume);
    ini.Save();
}

std::string GetDatabaseFileName()
{
    try {
        return ReadSysString("data") + ".mdb";
    } catch (...) {
        qCDebug(lcCommon).noquote() << "reading the database name failed:" << CurrentExceptionText();
        return {};
    }
}

bool IsScrambleOn()
{
    try {
        return ReadSysInteger("encrypt", 0) == 1;
    } catch (...) {
        qCDebug(lcCommon).noquote() << "reading the encrypt key failed:" << CurrentExceptionText();
        return false;
    }
}

void LoadGamePara(TGamePara &para)
{
    const TIniFile ini(ConfigFilePath());
    para.StoreTableName = ini.ReadString(kSystemSection, "StoreTableName", "lib109");
    para.WordCount = ini.ReadInteger(kSystemSection, "WordCount", 3480);
    para.BookName = ini.ReadString(kSystemSection, "BookName", Gbk("《最新TOEFL词汇》"));
    para.TollGateIndex = ini.ReadInteger(kSystemSection, "TollGateIndex", 1);
    para.Level = ini.ReadInteger(kSystemSection, "Level", 1);
    para.BookType = ini.ReadInteger(kSystemSection, "BookType", 1);
}

void SaveGamePara(const TGamePara &para)
{
    TIniFile ini(ConfigFilePath());
    ini.WriteString(kSystemSection, "StoreTableName", para.StoreTableName);
    ini.WriteInteger(kSystemSection, "WordCount", para.WordCount);
    ini.WriteString(kSystemSection, "BookName", para.BookName);
    ini.WriteInteger(kSystemSection, "TollGateIndex", para.TollGateIndex);
    ini.WriteInteger(kSystemSection, "Level", para.Level);
    ini.WriteInteger(kSystemSection, "BookType", para.BookType);
    ini.Save();
}
