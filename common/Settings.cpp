#include "Settings.h"

#include <climits>
#include <unistd.h>

#include "CommonLog.h"
#include "GbkText.h"
#include "IniFile.h"

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

std::string readString(const TIniFile &ini, TStringSetting key)
{
    return ini.ReadString(kSystemSection, key.Name(), key.Default());
}

std::int32_t readInteger(const TIniFile &ini, TIntSetting key)
{
    return ini.ReadInteger(kSystemSection, key.Name(), key.Default());
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

TSettingValue::TSettingValue(TIntSetting key, std::int32_t value)
    : m_key(key), m_text(std::to_string(value))
{
}

TSettingValue::TSettingValue(TStringSetting key, std::string_view value) : m_key(key), m_text(value)
{
}

std::string ReadSysString(TStringSetting key)
{
    return readString(TIniFile(ConfigFilePath()), key);
}

void WriteSysString(TStringSetting key, std::string_view value)
{
    WriteSysValues({{key, value}});
}

std::int32_t ReadSysInteger(TIntSetting key)
{
    return readInteger(TIniFile(ConfigFilePath()), key);
}

void WriteSysInteger(TIntSetting key, std::int32_t value)
{
    WriteSysValues({{key, value}});
}

void WriteSysValues(std::initializer_list<TSettingValue> values)
{
    TIniFile ini(ConfigFilePath());
    for (const TSettingValue &value : values)
        ini.WriteString(kSystemSection, value.Key().Name(), value.Text());
    ini.Save();
}

std::string ReadDefaultUI()
{
    return ReadSysString(Setting::DefaultUI);
}

void WriteDefaultUI(std::string_view name)
{
    WriteSysString(Setting::DefaultUI, name);
}

TSpeechSet ReadSpeechSet()
{
    const TIniFile ini(ConfigFilePath());
    TSpeechSet set;
    set.EngineName = readString(ini, Setting::EngineName);
    set.SpeakName = readString(ini, Setting::SpeakName);
    set.SpeakSex = readInteger(ini, Setting::SpeakSex);
    set.Rate = readInteger(ini, Setting::Rate);
    set.Volume = readInteger(ini, Setting::Volume);
    return set;
}

void WriteSpeechSet(const TSpeechSet &set)
{
    WriteSysValues({{Setting::EngineName, set.EngineName},
                    {Setting::SpeakName, set.SpeakName},
                    {Setting::SpeakSex, set.SpeakSex},
                    {Setting::Rate, set.Rate},
                    {Setting::Volume, set.Volume}});
}

std::string GetDatabaseFileName()
{
    try {
        return ReadSysString(Setting::Data) + ".mdb";
    } catch (...) {
        qCDebug(lcCommon).noquote() << "reading the database name failed:" << CurrentExceptionText();
        return {};
    }
}

bool IsScrambleOn()
{
    try {
        return ReadSysInteger(Setting::Encrypt) == 1;
    } catch (...) {
        qCDebug(lcCommon).noquote() << "reading the encrypt key failed:" << CurrentExceptionText();
        return false;
    }
}

void LoadGamePara(TGamePara &para)
{
    const TIniFile ini(ConfigFilePath());
    para.StoreTableName = readString(ini, Setting::StoreTableName);
    para.WordCount = readInteger(ini, Setting::WordCount);
    para.BookName = readString(ini, Setting::BookName);
    para.TollGateIndex = readInteger(ini, Setting::TollGateIndex);
    para.Level = readInteger(ini, Setting::Level);
    para.BookType = readInteger(ini, Setting::BookType);
}

void SaveGamePara(const TGamePara &para)
{
    WriteSysValues({{Setting::StoreTableName, para.StoreTableName},
                    {Setting::WordCount, para.WordCount},
                    {Setting::BookName, para.BookName},
                    {Setting::TollGateIndex, para.TollGateIndex},
                    {Setting::Level, para.Level},
                    {Setting::BookType, para.BookType}});
}
