// Which folders the program uses, filling the player's folder at the first
// start, and the keys read from the installed settings.
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ProgramDirs.h"
#include "Settings.h"
#include "TempInstalledProgram.h"

namespace {

namespace fs = std::filesystem;

TEST(CommonProgramDirs, AFolderWithAWritableDataFolderIsPortable)
{
    TempProgramDir exe{TempProgramDir::Contents::DataDirOnly};
    const TProgramDirs dirs = ResolveProgramDirs(exe.Dir(), "/home/p/.local/share/");
    EXPECT_TRUE(dirs.Portable());
    EXPECT_EQ(dirs.Player, exe.Dir());
}

TEST(CommonProgramDirs, WithoutDataTheInstalledFilesAreBesideTheExecutable)
{
    TempProgramDir root{TempProgramDir::Contents::Empty};
    fs::create_directories(root.Path("usr/bin"));
    // A file named data is no data folder.
    root.WriteFile("usr/bin/data", "");
    const TProgramDirs dirs = ResolveProgramDirs(root.Path("usr/bin/"), "/home/p/.local/share/");
    EXPECT_FALSE(dirs.Portable());
    EXPECT_EQ(dirs.Player, "/home/p/.local/share/kivrotype/");
    EXPECT_EQ(dirs.Installed, root.Path("usr/share/kivrotype/"));
}

TEST(CommonProgramDirs, AReadOnlyDataFolderIsAnInstallation)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "every folder is writable for root";
    TempProgramDir exe{TempProgramDir::Contents::DataDirOnly};
    fs::permissions(exe.Path("data"), fs::perms::owner_write, fs::perm_options::remove);
    const TProgramDirs dirs = ResolveProgramDirs(exe.Dir(), "/home/p/.local/share/");
    fs::permissions(exe.Path("data"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FALSE(dirs.Portable());
}

TEST(CommonProgramDirs, FoldersThatCannotBeWrittenAreNamedForThePlayer)
{
    TempProgramDir root{TempProgramDir::Contents::Empty};
    fs::create_directories(root.Path("home/kept/kivrotype/data"));
    fs::create_directories(root.Path("usr/bin"));
    fs::create_directories(root.Path("usr/share/kivrotype/data"));
    fs::create_directories(root.Path("portable/data"));
    const std::string home = root.Path("home/");
    const std::string bin = root.Path("usr/bin/");
    // In a child with the folders read-only, as a locked-down account has them.
    const TChildOutcome outcome = RunInChild([&] {
        MountReadOnlyBind(root.Path("home"));
        MountReadOnlyBind(root.Path("portable/data"));
        const std::string portable = root.Path("portable/");
        return QString(PreparePlayerDir(ResolveProgramDirs(bin, home), bin) + u'\n'
                       + PreparePlayerDir(ResolveProgramDirs(bin, home + "kept/"), bin)
                       + u'\n'
                       // Read-only, the portable folder resolves as an installation
                       // without its files; set as the program folder, it is one.
                       + PreparePlayerDir(ResolveProgramDirs(portable, home), portable) + u'\n'
                       + PreparePlayerDir({portable, portable}, portable) + u'\n')
            .toStdString();
    });
    KIVRO_SKIP_IF_CHILD_SKIPPED(outcome);
    EXPECT_EQ(outcome.output, "无法创建玩家文件夹：" + home + "kivrotype\n" + "玩家文件夹不可写："
                                  + home + "kept/kivrotype\n" + "玩家文件夹不可写："
                                  + root.Path("portable/data") + "\n" + "玩家文件夹不可写："
                                  + root.Path("portable/data") + "\n");
    // Writable folders are made and pass; nothing was made where it could not be.
    EXPECT_FALSE(fs::exists(root.Path("home/kivrotype")));
    const TProgramDirs fine = ResolveProgramDirs(bin, root.Path("elsewhere/"));
    EXPECT_EQ(PreparePlayerDir(fine, bin), QString());
    EXPECT_TRUE(fs::is_directory(root.Path("elsewhere/kivrotype/data")));
}

TEST(CommonProgramDirs, SettingTheFoldersAddsTheirSlashesAndAnEmptyOneGoesBack)
{
    const TProgramDirs original = GetProgramDirs();
    SetProgramDirs({"/a/player", "/b/installed/"});
    EXPECT_EQ(GetProgramDir(), "/a/player/");
    EXPECT_EQ(GetInstalledDir(), "/b/installed/");
    EXPECT_EQ(InstalledPath("source\\mp3\\"), "/b/installed/source/mp3/");
    SetProgramDir("/c");
    EXPECT_EQ(GetProgramDir(), "/c/");
    EXPECT_EQ(GetInstalledDir(), "/c/");
    SetProgramDir({});
    EXPECT_EQ(GetProgramDirs(), original);
}

class CommonSeed : public ::testing::Test {
protected:
    TempInstalledProgram program;
    const TempProgramDir &player = program.Player();
    const TempProgramDir &installed = program.Installed();
};

TEST_F(CommonSeed, TheFirstStartCopiesTheDataAndMakesTheMusicFolder)
{
    installed.WriteFile("data/typeconfig.ini", "[system]\r\ndata=kivrotype\r\n");
    installed.WriteFile("data/kivrotype.mdb", "books");
    installed.WriteFile("data/more/nested.txt", "n");
    installed.WriteFile("kivrotype.html", "help");
    // Installed files are read-only; the player's copies must not be.
    fs::permissions(installed.Path("data/kivrotype.mdb"),
                    fs::perms::owner_read | fs::perms::group_read);

    EXPECT_TRUE(SeedPlayerDir(GetProgramDirs()));

    EXPECT_EQ(player.ReadFile("data/typeconfig.ini"), "[system]\r\ndata=kivrotype\r\n");
    EXPECT_EQ(player.ReadFile("data/kivrotype.mdb"), "books");
    EXPECT_EQ(player.ReadFile("data/more/nested.txt"), "n");
    EXPECT_TRUE(fs::is_directory(player.Path("source/mp3")));
    // Help stays with the installation.
    EXPECT_FALSE(fs::exists(player.Path("kivrotype.html")));
    const fs::perms copied = fs::status(player.Path("data/kivrotype.mdb")).permissions();
    EXPECT_NE(copied & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(fs::exists(player.Path("data/kivrotype.mdb.partial")));
}

TEST_F(CommonSeed, ThePlayersFilesAreNeverReplaced)
{
    installed.WriteFile("data/typeconfig.ini", "installed");
    installed.WriteFile("data/kivrotype.mdb", "shipped books");
    player.WriteFile("data/typeconfig.ini", "mine");

    EXPECT_TRUE(SeedPlayerDir(GetProgramDirs()));
    EXPECT_EQ(player.ReadFile("data/typeconfig.ini"), "mine");
    EXPECT_EQ(player.ReadFile("data/kivrotype.mdb"), "shipped books");

    // A later start with a changed installation copies nothing over.
    installed.WriteFile("data/kivrotype.mdb", "newer books");
    EXPECT_TRUE(SeedPlayerDir(GetProgramDirs()));
    EXPECT_EQ(player.ReadFile("data/kivrotype.mdb"), "shipped books");
}

TEST_F(CommonSeed, APortableFolderIsLeftAlone)
{
    TempProgramDir portable{TempProgramDir::Contents::DataDirOnly};
    EXPECT_TRUE(SeedPlayerDir(GetProgramDirs()));
    EXPECT_FALSE(fs::exists(portable.Path("source/mp3")));
}

TEST_F(CommonSeed, AMissingInstallationStillGivesThePlayerAFolder)
{
    EXPECT_TRUE(SeedPlayerDir(GetProgramDirs()));
    EXPECT_TRUE(fs::is_directory(player.Path("data")));
}

TEST_F(CommonSeed, KeysTheProgramNeverWritesComeFromTheInstalledSettings)
{
    installed.WriteFile("data/typeconfig.ini",
                        "[system]\r\nversion=2.0\r\nSpeek=new\r\nPlaySound=1\r\nLevel=3\r\n");
    player.WriteFile("data/typeconfig.ini",
                     "[system]\r\nversion=1.0\r\nSpeek=old\r\nPlaySound=0\r\nLevel=2\r\n");
    EXPECT_EQ(ReadSysString(Setting::Version), "2.0");
    EXPECT_EQ(ReadSysString(Setting::Speek), "new");
    EXPECT_EQ(ReadSysInteger(Setting::PlaySound), 1);
    // The player's own keys, and the database's, stay the player's.
    EXPECT_EQ(ReadSysInteger(Setting::Level), 2);
    WriteSysInteger(Setting::Level, 1);
    EXPECT_EQ(installed.StoredSetting(Setting::Level), "3");
    EXPECT_EQ(player.StoredSetting(Setting::Level), "1");
    player.StoreSetting(Setting::Data, "mine");
    installed.StoreSetting(Setting::Data, "shipped");
    EXPECT_EQ(GetDatabaseFileName(), "mine.mdb");
}

}  // namespace
