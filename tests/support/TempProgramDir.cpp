#include "TempProgramDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "IniFile.h"
#include "Settings.h"

TempProgramDir::TempProgramDir(Contents contents)
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
    namespace fs = std::filesystem;
    const fs::path root = m_dir.path().toStdString();
    switch (contents) {
    case Contents::Empty:
        break;
    case Contents::DataDirOnly:
        fs::create_directories(root / "data");
        break;
    case Contents::CopyOfBuilt:
        fs::copy(KIVRO_TEST_PROGRAM_DIR, root, fs::copy_options::recursive);
        break;
    }
    SetProgramDir(Dir());
}

TempProgramDir::~TempProgramDir()
{
    SetProgramDir({});
}

std::string TempProgramDir::Dir() const
{
    return m_dir.path().toStdString() + "/";
}

std::string TempProgramDir::Path(const std::string &relative) const
{
    return Dir() + relative;
}

void TempProgramDir::WriteFile(const std::string &relative, const std::string &bytes) const
{
    const std::filesystem::path p = Path(relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
}

std::string TempProgramDir::ReadFile(const std::string &relative) const
{
    std::ifstream in(Path(relative), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempProgramDir::StoredSetting(TSettingKey key) const
{
    return TIniFile(Path("data/typeconfig.ini"))
        .ReadValue(kSystemSection, key.Name())
        .value_or("<missing>");
}

void TempProgramDir::StoreSetting(TSettingKey key, const std::string &text) const
{
    TIniFile file(Path("data/typeconfig.ini"));
    file.WriteString(kSystemSection, key.Name(), text);
    file.Save();
}
