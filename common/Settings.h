#pragma once
// Where the program's files are, and the accessors of the settings file
// (section "system" of data/typeconfig.ini). Every accessor opens the file,
// reads or writes, and closes it: nothing is cached.

#include <cstdint>
#include <string>
#include <string_view>

#include "Records.h"

// Directory of the executable with a trailing '/', UTF-8 as on disk.
std::string GetProgramDir();
// Points GetProgramDir elsewhere (tests use a copied program folder); an empty
// string goes back to the executable's directory.
void SetProgramDir(std::string dir);

// A file under the program directory. The relative part is GBK and may use
// '\' or '/' as separators; the result is a UTF-8 path with '/'.
std::string ProgramPath(std::string_view gbkRelative);
// '\' → '/'.
std::string ToSlashes(std::string_view path);

// Relative to the program directory; set at start before any window exists.
extern std::string ConfigFileName;
// Full path of the settings file.
std::string ConfigFilePath();

inline constexpr std::string_view kSystemSection = "system";

std::string ReadSysString(std::string_view key);
void WriteSysString(std::string_view key, std::string_view value);
// 0 (or the given default) when the key is missing or not a number.
std::int32_t ReadSysInteger(std::string_view key, std::int32_t defaultValue = 0);
void WriteSysInteger(std::string_view key, std::int32_t value);

std::string ReadDefaultUI();                 // "WLM" when missing
void WriteDefaultUI(std::string_view name);

TSpeechSet ReadSpeechSet();
void WriteSpeechSet(const TSpeechSet &set);

// Key "data" + ".mdb"; empty when anything fails.
std::string GetDatabaseFileName();
// True exactly when key "encrypt" reads as 1; false when anything fails.
bool IsScrambleOn();

// The six game keys, one file open each way. Defaults are those of a first
// run: lib109, 3480 words, 《最新TOEFL词汇》, toll gate 1, level 1, book type 1.
void LoadGamePara(TGamePara &para);
void SaveGamePara(const TGamePara &para);
