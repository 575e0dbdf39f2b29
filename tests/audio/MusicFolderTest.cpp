// Listing the music folder and adding files to it.
#include <filesystem>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "MusicFolder.h"
#include "TempInstalledProgram.h"
#include "TempProgramDir.h"

namespace {

namespace fs = std::filesystem;

TEST(AudioMusicFolder, ListsTheDefaultFirstAndTheOthersByName)
{
    TempProgramDir dir;
    dir.WriteFile("source/mp3/b.mp3", "b");
    dir.WriteFile("source/mp3/默认背景音乐.mp3", "d");
    dir.WriteFile("source/mp3/a.mp3", "a");
    dir.WriteFile("source/mp3/C.mp3", "c");
    EXPECT_EQ(ListMusicNames(), (QStringList{QStringLiteral("默认背景音乐"), QStringLiteral("a"),
                                             QStringLiteral("b"), QStringLiteral("C")}));
}

TEST(AudioMusicFolder, OnlyNamesContainingLowerCaseMp3AreListedWithoutTheirLastExtension)
{
    TempProgramDir dir;
    dir.WriteFile("source/mp3/Song.MP3", "upper case ending");
    dir.WriteFile("source/mp3/x.mp3.bak", "backup");
    dir.WriteFile("source/mp3/notes.txt", "text");
    dir.WriteFile("source/mp3/.mp3", "no name");
    fs::create_directories(dir.Path("source/mp3/folder.mp3"));
    EXPECT_EQ(ListMusicNames(), QStringList{QStringLiteral("x.mp3")});
}

TEST(AudioMusicFolder, AMissingFolderListsNothing)
{
    TempProgramDir dir;
    EXPECT_TRUE(ListMusicNames().isEmpty());
    EXPECT_EQ(ResolveMusicFile("anything"), "");
}

TEST(AudioMusicFolder, ANameGbkCannotHoldIsNotOffered)
{
    TempProgramDir dir;
    dir.WriteFile("source/mp3/ok.mp3", "a");
    dir.WriteFile("source/mp3/\xF0\x9F\x8E\xB5.mp3", "emoji");
    EXPECT_EQ(ListMusicNames(), QStringList{QStringLiteral("ok")});
}

class AudioMusicAdd : public ::testing::Test {
protected:
    std::string source(const std::string &name, const std::string &bytes)
    {
        std::string path = m_outside.path().toStdString() + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::FILE *f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path;
    }
    TempProgramDir m_dir;
    QTemporaryDir m_outside;
};

TEST_F(AudioMusicAdd, CopiesUnderTheLowerCaseNameAndGivesTheNameAsWritten)
{
    const std::string from = source("music/My Song.mp3", "tune");
    QString name;
    ASSERT_EQ(AddMusicFile(QString::fromStdString(from), name), TMusicAddResult::Added);
    EXPECT_EQ(name, QStringLiteral("My Song"));
    EXPECT_EQ(m_dir.ReadFile("source/mp3/my song.mp3"), "tune");
    EXPECT_FALSE(fs::exists(m_dir.Path("source/mp3/My Song.mp3")));
    EXPECT_TRUE(fs::exists(from));
    EXPECT_EQ(ResolveMusicFile("My Song"), m_dir.Path("source/mp3/my song.mp3"));
}

TEST_F(AudioMusicAdd, ReplacesAnEarlierCopyOfTheSameName)
{
    m_dir.WriteFile("source/mp3/tune.mp3", "old");
    QString name;
    ASSERT_EQ(AddMusicFile(QString::fromStdString(source("Tune.mp3", "new")), name),
              TMusicAddResult::Added);
    EXPECT_EQ(m_dir.ReadFile("source/mp3/tune.mp3"), "new");
}

TEST_F(AudioMusicAdd, AddingTheFolderCopyItselfKeepsIt)
{
    m_dir.WriteFile("source/mp3/tune.mp3", "precious");
    QString name;
    ASSERT_EQ(AddMusicFile(QString::fromStdString(m_dir.Path("source/mp3/tune.mp3")), name),
              TMusicAddResult::Added);
    EXPECT_EQ(name, QStringLiteral("tune"));
    EXPECT_EQ(m_dir.ReadFile("source/mp3/tune.mp3"), "precious");
    // Reached through another spelling of the same path.
    ASSERT_EQ(
        AddMusicFile(QString::fromStdString(m_dir.Path("source/../source/mp3/tune.mp3")), name),
        TMusicAddResult::Added);
    EXPECT_EQ(m_dir.ReadFile("source/mp3/tune.mp3"), "precious");
}

TEST_F(AudioMusicAdd, AMissingFileAddsNothing)
{
    QString name = QStringLiteral("unchanged");
    EXPECT_EQ(
        AddMusicFile(QString::fromStdString(m_outside.path().toStdString() + "/none.mp3"), name),
        TMusicAddResult::NotFound);
    EXPECT_EQ(AddMusicFile(QString(), name), TMusicAddResult::NotFound);
    EXPECT_EQ(name, QStringLiteral("unchanged"));
}

TEST_F(AudioMusicAdd, AFailedCopyReportsFailureAndLeavesTheFolderAlone)
{
    // A file where the folder should be: nothing can be copied into it.
    m_dir.WriteFile("source/mp3", "not a folder");
    QString name;
    EXPECT_EQ(AddMusicFile(QString::fromStdString(source("a.mp3", "x")), name),
              TMusicAddResult::Failed);
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(m_dir.ReadFile("source/mp3"), "not a folder");
}

TEST_F(AudioMusicAdd, CreatesAMissingMusicFolder)
{
    QString name;
    ASSERT_EQ(AddMusicFile(QString::fromStdString(source("a.mp3", "x")), name),
              TMusicAddResult::Added);
    EXPECT_EQ(ListMusicNames(), QStringList{QStringLiteral("a")});
}

TEST(AudioMusicFolders, AnInstalledProgramListsTheShippedAndThePlayersMusicOnce)
{
    TempInstalledProgram program;
    program.Installed().WriteFile("source/mp3/默认背景音乐.mp3", "shipped");
    program.Installed().WriteFile("source/mp3/b.mp3", "shipped b");
    program.Player().WriteFile("source/mp3/a.mp3", "added a");
    program.Player().WriteFile("source/mp3/b.mp3", "added b");
    EXPECT_EQ(ListMusicNames(), (QStringList{QStringLiteral("默认背景音乐"), QStringLiteral("a"),
                                             QStringLiteral("b")}));
    // The player's piece of a name plays; a shipped one is found where it is.
    EXPECT_EQ(ResolveMusicFile("b"), program.Player().Path("source/mp3/b.mp3"));
    EXPECT_EQ(ResolveMusicFile(Gbk("默认背景音乐")),
              program.Installed().Path("source/mp3/默认背景音乐.mp3"));
    EXPECT_EQ(ResolveMusicFile("B"), program.Player().Path("source/mp3/b.mp3"));
}

TEST(AudioMusicFolders, AddedMusicGoesToThePlayersFolderOnly)
{
    TempInstalledProgram program;
    QTemporaryDir outside;
    const QString from = outside.path() + QStringLiteral("/New.mp3");
    QFile file(from);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("tune");
    file.close();
    QString name;
    ASSERT_EQ(AddMusicFile(from, name), TMusicAddResult::Added);
    EXPECT_EQ(program.Player().ReadFile("source/mp3/new.mp3"), "tune");
    EXPECT_FALSE(fs::exists(program.Installed().Path("source/mp3")));
    EXPECT_EQ(ListMusicNames(), QStringList{QStringLiteral("new")});
}

}  // namespace
