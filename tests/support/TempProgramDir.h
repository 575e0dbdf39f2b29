#pragma once
// A program folder of the test's own in a fresh temporary directory.
// GetProgramDir points at it for the object's lifetime.

#include <string>

#include <QTemporaryDir>

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

private:
    QTemporaryDir m_dir;
};
