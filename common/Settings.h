#pragma once
// Where the program's files are, and the accessors of the settings file
// (section "system" of data/typeconfig.ini). Every accessor opens the file,
// reads or writes, and closes it: nothing is cached.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "ProgramDirs.h"
#include "Records.h"
#include "SettingsKeys.h"

// The player's program directory with a trailing '/', UTF-8 as on disk: the
// executable's directory when it holds a writable data/, otherwise
// "kivrotype/" in the desktop's data folder (ProgramDirs.h).
std::string GetProgramDir();
// The files installed with the program; GetProgramDir() in a portable folder.
std::string GetInstalledDir();
TProgramDirs GetProgramDirs();
// Points both folders at one portable folder (tests use a copied program
// folder); an empty string goes back to the executable's folders.
void SetProgramDir(std::string dir);
// Points the two folders elsewhere (tests of an installed program).
void SetProgramDirs(TProgramDirs dirs);

// A file under the program directory. The relative part is GBK and may use
// '\' or '/' as separators; the result is a UTF-8 path with '/'.
std::string ProgramPath(std::string_view gbkRelative);
// The same under the installed folder.
std::string InstalledPath(std::string_view gbkRelative);
// '\' → '/'.
std::string ToSlashes(std::string_view path);

// Relative to the program directory; set at start before any window exists.
extern std::string ConfigFileName;
// Full path of the settings file.
std::string ConfigFilePath();

// Keys the program never writes (Setting::IsInstalled) are read from the
// installed settings file, so that an update of the program reaches them.
// Reads give the key's default of the table when the key is missing (an
// integer key also when its text is not a number). Writes reach the disk
// before they return and throw ESettingsWriteError when the system refuses.
std::string ReadSysString(TStringSetting key);
void WriteSysString(TStringSetting key, std::string_view value);
std::int32_t ReadSysInteger(TIntSetting key);
void WriteSysInteger(TIntSetting key, std::int32_t value);

// One key and the text to store under it, for WriteSysValues.
class TSettingValue {
public:
    TSettingValue(TIntSetting key, std::int32_t value);
    TSettingValue(TStringSetting key, std::string_view value);

    TSettingKey Key() const { return m_key; }
    const std::string &Text() const { return m_text; }

private:
    TSettingKey m_key;
    std::string m_text;
};

// Several keys in one read-modify-save, in the order given: every value
// reaches the disk, or, when the write is refused, none does.
void WriteSysValues(std::initializer_list<TSettingValue> values);

std::string ReadDefaultUI();  // "WLM" when missing
void WriteDefaultUI(std::string_view name);

TSpeechSet ReadSpeechSet();
void WriteSpeechSet(const TSpeechSet &set);

// Key "data" + ".mdb"; empty when anything fails.
std::string GetDatabaseFileName();
// True exactly when key "encrypt" reads as 1; false when anything fails.
bool IsScrambleOn();

// The six game keys, one file open each way; missing keys read as the
// table's first-run game.
void LoadGamePara(TGamePara &para);
void SaveGamePara(const TGamePara &para);
