#include "Settings.h"

#include <climits>
#include <optional>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>

#include "CommonLog.h"
#include "GbkText.h"
#include "IniFile.h"

std::string ConfigFileName = "data/typeconfig.ini";

namespace {

std::optional<TProgramDirs> &programDirsOverride()
{
    static std::optional<TProgramDirs> dirs;
    return dirs;
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

std::string withSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir.push_back('/');
    return dir;
}

TProgramDirs executableDirs()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return ResolveProgramDirs(executableDir(),
                              withSlash(QFile::encodeName(dataHome).toStdString()));
}

std::string readString(const TIniFile &ini, TStringSetting key)
{
    return ini.ReadString(kSystemSection, key.Name(), key.Default());
}

std::int32_t readInteger(const TIniFile &ini, TIntSetting key)
{
    return ini.ReadInteger(kSystemSection, key.Name(), key.Default());
}

// The file a key is read from.
std::string settingsFileOf(TSettingKey key)
{
    return Setting::IsInstalled(key) ? InstalledPath(ConfigFileName) : ConfigFilePath();
}

}  // namespace

TProgramDirs GetProgramDirs()
{
    if (const auto &dirs = programDirsOverride())
        return *dirs;
    static const TProgramDirs dirs = executableDirs();
    return dirs;
}

std::string GetProgramDir()
{
    return GetProgramDirs().Player;
}

std::string GetInstalledDir()
{
    return GetProgramDirs().Installed;
}

void SetProgramDir(std::string dir)
{
    if (dir.empty()) {
        programDirsOverride().reset();
        return;
    }
    dir = withSlash(std::move(dir));
    programDirsOverride() = TProgramDirs{dir, dir};
}

void SetProgramDirs(TProgramDirs dirs)
{
    programDirsOverride() =
        TProgramDirs{withSlash(std::move(dirs.Player)), withSlash(std::move(dirs.Installed))};
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

std::string InstalledPath(std::string_view gbkRelative)
{
    return GetInstalledDir() + ToSlashes(GbkToUtf8(gbkRelative));
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
    return readString(TIniFile(settingsFileOf(key)), key);
}

void WriteSysString(TStringSetting key, std::string_view value)
{
    WriteSysValues({{key, value}});
}

std::int32_t ReadSysInteger(TIntSetting key)
{
    return readInteger(TIniFile(settingsFileOf(key)), key);
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
    } catch (const std::exception &e) {
        // A read never fails on the file; a value the GBK conversion refuses
        // or memory can.
        qCWarning(lcCommon) << "reading the database name failed:" << e.what();
        return {};
    }
}

bool IsScrambleOn()
{
    try {
        return ReadSysInteger(Setting::Encrypt) == 1;
    } catch (const std::exception &e) {
        qCWarning(lcCommon) << "reading the encrypt key failed:" << e.what();
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
