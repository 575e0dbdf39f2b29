#pragma once
// A program folder of the test's own in a fresh temporary directory.
// GetProgramDir points at it for the object's lifetime.

#include <string>

#include <QTemporaryDir>

#include "SettingsKeys.h"

class TempProgramDir {
public:
    enum class Contents { Empty, DataDirOnly, CopyOfBuilt };
    explicit TempProgramDir(Contents contents = Contents::DataDirOnly);
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir &) = delete;
    TempProgramDir &operator=(const TempProgramDir &) = delete;

    // With a trailing '/'.
    std::string Dir() const;
    std::string Path(const std::string &relative) const;

    // Whole-file helpers for the tests' own checks.
    void WriteFile(const std::string &relative, const std::string &bytes) const;
    std::string ReadFile(const std::string &relative) const;

    // The text under a key of data/typeconfig.ini as it stands in the file,
    // "<missing>" when the key is not there.
    std::string StoredSetting(TSettingKey key) const;
    // Stores the text as it is, a number or not, as an installed file may hold it.
    void StoreSetting(TSettingKey key, const std::string &text) const;

private:
    QTemporaryDir m_dir;
};
