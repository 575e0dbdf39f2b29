// The settings file under unusual but real conditions: values with line
// breaks, files that cannot be read, symbolic links, read-only folders, full
// disks, line ends of other systems, several writers at once.
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "IniFile.h"
#include "Settings.h"
#include "TempProgramDir.h"

namespace {

namespace fs = std::filesystem;

class CommonSettingsFile : public ::testing::Test {
protected:
    CommonSettingsFile()
    {
        // Reachable by the unprivileged children.
        fs::permissions(dir.Dir(), fs::perms(0755));
    }
    std::string path() const { return dir.Path("data/typeconfig.ini"); }
    void writeConfig(const std::string &bytes) const
    {
        dir.WriteFile("data/typeconfig.ini", bytes);
    }
    std::string config() const { return dir.ReadFile("data/typeconfig.ini"); }
    // Names in data/ other than the settings file (left-over temporary files).
    std::vector<std::string> strayFiles() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(dir.Path("data"))) {
            if (e.path().filename() != "typeconfig.ini")
                names.push_back(e.path().filename().string());
        }
        return names;
    }

    TempProgramDir dir{TempProgramDir::Contents::DataDirOnly};
};

TEST_F(CommonSettingsFile, LineBreaksInAValueBecomeBlanksAndMakeNoNewKey)
{
    writeConfig("[system]\r\nLevel=2\r\n");
    WriteSysString(Setting::BookName, "x\ny=z");
    EXPECT_EQ(ReadSysString(Setting::BookName), "x y=z");
    EXPECT_FALSE(TIniFile(path()).ReadValue(kSystemSection, "y"));
    WriteSysString(Setting::BookName, "a\r\nb\rc\n\nd");
    EXPECT_EQ(ReadSysString(Setting::BookName), "a b c  d");
    EXPECT_EQ(config(), "[system]\r\nLevel=2\r\nBookName=a b c  d\r\n");
}

TEST_F(CommonSettingsFile, ALastLineEndingInALoneCrKeepsEveryKeyFindable)
{
    writeConfig("[system]\r\nLevel=2\r");
    WriteSysInteger(Setting::Rate, 3);
    EXPECT_EQ(ReadSysInteger(Setting::Rate), 3);
    EXPECT_EQ(ReadSysInteger(Setting::Level), 2);
    EXPECT_EQ(config(), "[system]\r\nLevel=2\r\nRate=3\r\n");
    // The same when the key written is that last line, and for a new section.
    writeConfig("[system]\r\nLevel=2\r");
    WriteSysInteger(Setting::Level, 1);
    WriteSysInteger(Setting::Rate, 4);
    EXPECT_EQ(ReadSysInteger(Setting::Level), 1);
    EXPECT_EQ(ReadSysInteger(Setting::Rate), 4);
    writeConfig("[other]\nx=1\r");
    WriteSysInteger(Setting::Volume, 5);
    EXPECT_EQ(ReadSysInteger(Setting::Volume), 5);
    EXPECT_EQ(TIniFile(path()).ReadString("other", "x", ""), "1");
}

TEST_F(CommonSettingsFile, OnlyADecimalNumberTakesASign)
{
    for (const char *text : {"-$1A", "+$1A", "+0x1A", "-0x1A", "-0X1a", "$-1A", "0x+1A"})
        EXPECT_EQ(StrToIntDef(text, 7), 7) << text;
    EXPECT_EQ(StrToIntDef("-26", 7), -26);
    EXPECT_EQ(StrToIntDef("+26", 7), 26);
    writeConfig("[system]\r\nTollGateIndex=-$1A\r\n");
    TGamePara para;
    LoadGamePara(para);
    EXPECT_EQ(para.TollGateIndex, 1);
}

TEST_F(CommonSettingsFile, AWriteThroughASymbolicLinkReachesItsFileAndKeepsTheLink)
{
    fs::create_directory(dir.Path("real"));
    dir.WriteFile("real/settings.ini", "[system]\r\nLevel=2\r\n; kept\r\n");
    fs::create_symlink("../real/settings.ini", path());
    WriteSysInteger(Setting::Rate, 9);
    EXPECT_TRUE(fs::is_symlink(path()));
    EXPECT_EQ(fs::read_symlink(path()), "../real/settings.ini");
    EXPECT_EQ(dir.ReadFile("real/settings.ini"), "[system]\r\nLevel=2\r\n; kept\r\nRate=9\r\n");
    EXPECT_EQ(ReadSysInteger(Setting::Rate), 9);
    // A link to a link, with an absolute target, and no temporary file anywhere.
    fs::create_symlink(dir.Path("real/settings.ini"), dir.Path("real/middle.ini"));
    fs::remove(path());
    fs::create_symlink(dir.Path("real/middle.ini"), path());
    WriteSysInteger(Setting::Level, 3);
    EXPECT_TRUE(fs::is_symlink(dir.Path("real/middle.ini")));
    EXPECT_EQ(ReadSysInteger(Setting::Level), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("real")), fs::directory_iterator()), 2);
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(CommonSettingsFile, AFileThatCannotBeReadIsNeverRewritten)
{
    const std::string before = "[system]\r\nLevel=2\r\nBookName=mine\r\n";
    writeConfig(before);
    // Writable but not readable by its owner, in a folder the owner may write.
    ASSERT_EQ(::chown(dir.Path("data").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path().c_str(), 0200), 0);
    const TChildOutcome outcome = RunInChild([&] {
        BecomeUnprivilegedUser();
        std::string seen = "read=" + ReadSysString(Setting::BookName) + ";";
        seen += "failed=" + std::to_string(TIniFile(path()).ReadFailed()) + ";";
        try {
            WriteSysInteger(Setting::Level, 3);
            seen += "written";
        } catch (const ESettingsWriteError &e) {
            seen += e.what();
        }
        return seen;
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    // What cannot be read reads as the default of the key table.
    EXPECT_EQ(outcome.output, "read=" + std::string(Setting::BookName.Default())
                                  + ";failed=1;Unable to write to " + path());
    EXPECT_EQ(config(), before);
    EXPECT_TRUE(strayFiles().empty());

    // A directory where the file should be: defaults, and the write refused.
    fs::remove(path());
    fs::create_directory(path());
    EXPECT_TRUE(TIniFile(path()).ReadFailed());
    EXPECT_EQ(ReadDefaultUI(), "WLM");
    EXPECT_THROW(WriteSysInteger(Setting::Level, 3), ESettingsWriteError);
    // A missing file is no read failure.
    EXPECT_FALSE(TIniFile(dir.Path("data/none.ini")).ReadFailed());
    EXPECT_FALSE(TIniFile(dir.Path("nofolder/none.ini")).ReadFailed());
}

TEST_F(CommonSettingsFile, AWritableFileInAReadOnlyFolderIsWrittenInPlace)
{
    writeConfig("[system]\r\nLevel=2\r\nBookName=a long name that gets shorter\r\n");
    ASSERT_EQ(::chown(path().c_str(), 65534, 65534), 0);  // the folder stays root's
    ASSERT_EQ(::chmod(path().c_str(), 0644), 0);
    const TChildOutcome outcome = RunInChild([&] {
        BecomeUnprivilegedUser();
        if (::access(dir.Path("data").c_str(), W_OK) == 0)
            return std::string("the folder is writable");
        WriteSysString(Setting::BookName, "short");
        WriteSysInteger(Setting::Rate, 4);
        return std::string("ok");
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output, "ok");
    EXPECT_EQ(config(), "[system]\r\nLevel=2\r\nBookName=short\r\nRate=4\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(CommonSettingsFile, ARefusedWriteOnAReadOnlyMountChangesNothing)
{
    const std::string before = "[system]\r\nLevel=2\r\n";
    writeConfig(before);
    const TChildOutcome outcome = RunInChild([&] {
        MountReadOnlyBind(dir.Path("data"));
        try {
            WriteSysInteger(Setting::Level, 3);
            return std::string("written");
        } catch (const ESettingsWriteError &e) {
            return std::string(e.what())
                   + ";read=" + std::to_string(ReadSysInteger(Setting::Level));
        }
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output, "Unable to write to " + path() + ";read=2");
    EXPECT_EQ(config(), before);
}

TEST_F(CommonSettingsFile, AFullDiskLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const TChildOutcome outcome = RunInChild([&] {
        MountSmallTmpfs(dir.Path("data"), 400);
        writeConfig("[system]\r\nLevel=2\r\n");
        FillDisk(dir.Path("data/filler"));
        std::string seen;
        try {
            WriteSysString(Setting::BookName, std::string(20000, 'n'));
            seen = "written";
        } catch (const ESettingsWriteError &e) {
            seen = e.what();
        }
        seen += ";file=" + config();
        for (const auto &e : fs::directory_iterator(dir.Path("data")))
            seen += ";" + e.path().filename().string();
        return seen;
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output, "Unable to write to " + path()
                                  + ";file=[system]\r\nLevel=2\r\n;filler;typeconfig.ini")
        << outcome.output;
}

TEST_F(CommonSettingsFile, AGroupTooLargeForTheDiskWritesNoneOfItsKeys)
{
    const TChildOutcome outcome = RunInChild([&] {
        MountSmallTmpfs(dir.Path("data"), 400);
        writeConfig("[system]\r\nLevel=2\r\n");
        FillDisk(dir.Path("data/filler"));
        // Room again for a small file, not for a long value.
        const std::string filler = dir.Path("data/filler");
        fs::resize_file(filler, fs::file_size(filler) - 3 * std::uintmax_t{4096});
        std::string seen;
        try {
            WriteSysValues({{Setting::Level, 3}, {Setting::BookName, std::string(20000, 'n')}});
            seen = "written";
        } catch (const ESettingsWriteError &e) {
            seen = e.what();
        }
        seen += ";file=" + config();
        // The first key alone fits: written key by key, it would have stayed.
        WriteSysInteger(Setting::Level, 3);
        seen += ";alone=" + std::to_string(ReadSysInteger(Setting::Level));
        for (const std::string &name : strayFiles())
            seen += ";" + name;
        return seen;
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output,
              "Unable to write to " + path() + ";file=[system]\r\nLevel=2\r\n;alone=3;filler");
}

TEST_F(CommonSettingsFile, ANewFileGetsTheUmaskAndTheUmaskStaysAsItWas)
{
    const mode_t old = ::umask(027);
    WriteSysInteger(Setting::Level, 1);
    const mode_t after = ::umask(old);
    EXPECT_EQ(after, 027u);
    struct stat st {};
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // An existing file keeps its own mode even against a narrower umask.
    ::chmod(path().c_str(), 0664);
    const mode_t previous = ::umask(077);
    WriteSysInteger(Setting::Level, 2);
    ::umask(previous);
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
}

TEST_F(CommonSettingsFile, TwoProcessesWritingAtOnceNeverShareATemporaryFile)
{
    writeConfig("[system]\r\nLevel=2\r\n");
    const TChildOutcome outcome = RunInChild([&] {
        // Two processes, each writing its own key as fast as it can.
        const pid_t other = ::fork();
        if (other < 0)
            throw std::runtime_error("fork");
        int refused = 0;
        for (int k = 0; k < 150; ++k) {
            try {
                WriteSysInteger(other == 0 ? Setting::Rate : Setting::Volume, k);
            } catch (const ESettingsWriteError &) {
                ++refused;
            }
        }
        if (other == 0)
            ::_exit(refused == 0 ? 0 : 1);
        int status = 0;
        ::waitpid(other, &status, 0);
        return std::to_string(refused) + ";"
               + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    });
    EXPECT_EQ(outcome.output, "0;0");
    // Whatever write came last, the file is whole.
    EXPECT_EQ(ReadSysInteger(Setting::Level), 2);
    EXPECT_TRUE(strayFiles().empty());
}

}  // namespace
