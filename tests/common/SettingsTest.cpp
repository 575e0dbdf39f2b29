#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "IniFile.h"
#include "Settings.h"
#include "TempProgramDir.h"

namespace {

class CommonSettings : public ::testing::Test {
protected:
    TempProgramDir dir{TempProgramDir::Contents::DataDirOnly};
    void writeConfig(const std::string &bytes) { dir.WriteFile("data/typeconfig.ini", bytes); }
    std::string config() const { return dir.ReadFile("data/typeconfig.ini"); }
};

TEST_F(CommonSettings, IntegersFollowDelphiRules)
{
    EXPECT_EQ(StrToIntDef("0x1A", 1), 26);
    EXPECT_EQ(StrToIntDef("0X1a", 1), 26);
    EXPECT_EQ(StrToIntDef("$1A", 1), 26);
    EXPECT_EQ(StrToIntDef("abc", 1), 1);
    EXPECT_EQ(StrToIntDef("", 1), 1);
    EXPECT_EQ(StrToIntDef("0x", 7), 7);
    EXPECT_EQ(StrToIntDef("-5", 1), -5);
    EXPECT_EQ(StrToIntDef("+12", 1), 12);
    EXPECT_EQ(StrToIntDef("12a", 1), 1);
    EXPECT_EQ(StrToIntDef("2147483647", 1), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 1), INT32_MIN);
    EXPECT_EQ(StrToIntDef("2147483648", 1), 1);
    EXPECT_EQ(StrToIntDef("-2147483649", 1), 1);
    EXPECT_EQ(StrToIntDef("99999999999999999999999", 3), 3);
    EXPECT_EQ(StrToIntDef("$FFFFFFFF", 1), -1);
    EXPECT_EQ(StrToIntDef("$100000000", 1), 1);
    EXPECT_EQ(StrToIntDef("--5", 1), 1);
}

TEST_F(CommonSettings, TollGateIndexValuesReadThroughTheGameParameters)
{
    const std::pair<const char *, int> cases[] = {{"0x1A", 26}, {"$1A", 26}, {"abc", 1}, {"", 1}};
    for (const auto &[text, expected] : cases) {
        writeConfig(std::string("[system]\r\nTollGateIndex=") + text + "\r\n");
        TGamePara para;
        LoadGamePara(para);
        EXPECT_EQ(para.TollGateIndex, expected) << text;
    }
}

TEST_F(CommonSettings, MissingFileAndKeysGiveDefaults)
{
    EXPECT_EQ(ReadSysString("Mp3"), "");
    EXPECT_EQ(ReadSysInteger("LevelInterval1"), 0);
    EXPECT_EQ(ReadDefaultUI(), "WLM");
    EXPECT_EQ(GetDatabaseFileName(), ".mdb");
    EXPECT_FALSE(IsScrambleOn());
    TGamePara para;
    para.TollGateIndex = 99;
    LoadGamePara(para);
    EXPECT_EQ(para.StoreTableName, "lib109");
    EXPECT_EQ(para.WordCount, 3480);
    EXPECT_EQ(para.BookName, Gbk("《最新TOEFL词汇》"));
    EXPECT_EQ(para.TollGateIndex, 1);
    EXPECT_EQ(para.Level, 1);
    EXPECT_EQ(para.BookType, 1);
    const TSpeechSet speech = ReadSpeechSet();
    EXPECT_EQ(speech, TSpeechSet{});
    EXPECT_FALSE(std::filesystem::exists(dir.Path("data/typeconfig.ini")));
}

TEST_F(CommonSettings, DefaultUIAbsentDiffersFromEmpty)
{
    writeConfig("[system]\r\nPlayMp3=1\r\n");
    EXPECT_EQ(ReadDefaultUI(), "WLM");
    writeConfig("[system]\r\nDefaultUI=\r\n");
    EXPECT_EQ(ReadDefaultUI(), "");
    WriteDefaultUI("Opus");
    EXPECT_EQ(ReadDefaultUI(), "Opus");
}

TEST_F(CommonSettings, DatabaseNameAndScrambleFlag)
{
    writeConfig("[system]\ndata=words\nencrypt=1\n");
    EXPECT_EQ(GetDatabaseFileName(), "words.mdb");
    EXPECT_TRUE(IsScrambleOn());
    writeConfig("[system]\ndata=words\nencrypt=2\n");
    EXPECT_FALSE(IsScrambleOn());
}

TEST_F(CommonSettings, WriteCreatesTheFileWhenOnlyTheDataDirectoryExists)
{
    WriteSysInteger("PlayMp3", 1);
    EXPECT_EQ(config(), "[system]\r\nPlayMp3=1\r\n");
    EXPECT_EQ(ReadSysInteger("playmp3"), 1);
}

TEST_F(CommonSettings, RefusedWriteRaisesWithTheFullPath)
{
    std::filesystem::remove_all(dir.Path("data"));
    const std::string expected = "Unable to write to " + dir.Path("data/typeconfig.ini");
    try {
        WriteSysInteger("PlayMp3", 1);
        FAIL() << "no error without a data directory";
    } catch (const ESettingsWriteError &e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    // A "data" that is a regular file is refused the same way.
    dir.WriteFile("data", "not a directory");
    EXPECT_THROW(WriteSysString("Mp3", "x"), ESettingsWriteError);
    EXPECT_THROW(SaveGamePara(TGamePara{}), ESettingsWriteError);
    EXPECT_EQ(dir.ReadFile("data"), "not a directory");
}

TEST_F(CommonSettings, SaveRefusesWhatIsNotARegularFile)
{
    std::filesystem::create_directory(dir.Path("data/typeconfig.ini"));
    EXPECT_THROW(WriteSysString("Mp3", "new"), ESettingsWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("data/typeconfig.ini")));
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir.Path("data")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(CommonSettings, WriteKeepsEveryOtherLineByteForByte)
{
    const std::string before = "; settings of the game\n"
                               "[other]\n"
                               "Mp3=elsewhere\n"
                               "\n"
                               "[System]\r\n"
                               "  mp3 =  old value  \r\n"
                               "; a comment=with equals\n"
                               "Level=2\n"
                               "mp3=second occurrence\n"
                               "[tail]\n"
                               "x=1";
    writeConfig(before);
    EXPECT_EQ(ReadSysString("Mp3"), "old value");
    WriteSysString("Mp3", Gbk("默认背景音乐"));
    const std::string after = "; settings of the game\n"
                              "[other]\n"
                              "Mp3=elsewhere\n"
                              "\n"
                              "[System]\r\n"
                              "Mp3=" + Gbk("默认背景音乐") + "\r\n"
                              "; a comment=with equals\n"
                              "Level=2\n"
                              "mp3=second occurrence\n"
                              "[tail]\n"
                              "x=1";
    EXPECT_EQ(config(), after);
    // A new key goes at the end of its section, not after the next one.
    WriteSysInteger("Rate", -5);
    EXPECT_EQ(ReadSysInteger("Rate"), -5);
    EXPECT_NE(config().find("mp3=second occurrence\nRate=-5\r\n[tail]\n"), std::string::npos);
    EXPECT_EQ(TIniFile(dir.Path("data/typeconfig.ini")).ReadString("tail", "X", ""), "1");
}

TEST_F(CommonSettings, ReadsCommentsLineEndsCaseAndLongValues)
{
    const std::string longValue(3000, 'v');
    writeConfig("[system]\r\n;Mp3=commented\r\nMP3=first\r\nmp3=second\r\n\tVersion\t=\t1.0.0 \n"
                "long=" + longValue + "\n");
    EXPECT_EQ(ReadSysString("mp3"), "first");
    EXPECT_EQ(ReadSysString("version"), "1.0.0");
    EXPECT_EQ(ReadSysString("long"), std::string(2047, 'v'));
    EXPECT_EQ(ReadSysString("commented"), "");
}

TEST_F(CommonSettings, WriteAppendsTheSectionAndKeepsPermissions)
{
    writeConfig("[other]\nx=1");
    ::chmod(dir.Path("data/typeconfig.ini").c_str(), 0640);
    WriteSysInteger("Level", 3);
    EXPECT_EQ(config(), "[other]\nx=1\r\n[system]\r\nLevel=3\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(dir.Path("data/typeconfig.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(CommonSettings, GameAndSpeechGroupsRoundTrip)
{
    TGamePara para;
    para.StoreTableName = "randomlib12";
    para.WordCount = 45;
    para.BookName = Gbk("《大学英语四级词汇》");
    para.TollGateIndex = 3;
    para.Level = 2;
    para.BookType = 2;
    SaveGamePara(para);
    TGamePara read;
    LoadGamePara(read);
    EXPECT_EQ(read.StoreTableName, para.StoreTableName);
    EXPECT_EQ(read.WordCount, 45);
    EXPECT_EQ(read.BookName, para.BookName);
    EXPECT_EQ(read.TollGateIndex, 3);
    EXPECT_EQ(read.Level, 2);
    EXPECT_EQ(read.BookType, 2);

    const TSpeechSet speech{Gbk("微软引擎"), "Microsoft Mary", 0, -3, 85};
    WriteSpeechSet(speech);
    EXPECT_EQ(ReadSpeechSet(), speech);
    EXPECT_NE(config().find("EngineName=" + Gbk("微软引擎") + "\r\nSpeakName=Microsoft Mary\r\n"
                            "SpeakSex=0\r\nRate=-3\r\nVolume=85\r\n"),
              std::string::npos);
}

TEST_F(CommonSettings, PathsAcceptBothSeparators)
{
    EXPECT_EQ(ProgramPath("data\\typeconfig.ini"), dir.Dir() + "data/typeconfig.ini");
    EXPECT_EQ(ProgramPath(Gbk("source\\mp3\\默认背景音乐.mp3")),
              dir.Dir() + "source/mp3/默认背景音乐.mp3");
    EXPECT_EQ(ConfigFilePath(), dir.Dir() + "data/typeconfig.ini");
}

TEST(CommonRecords, CopyGameParaKeepsTheTargetLevel)
{
    TGamePara source{5, 9, 20, "lib101", "b", 170, 3, 2};
    TGamePara target;
    target.Level = 2;
    CopyGamePara(source, target);
    EXPECT_EQ(target.Level, 2);
    target.Level = 3;
    EXPECT_EQ(target, source);
}

// The settings file shipped with the program names the first-run game.
TEST(CommonInstalledSettings, ShippedFileHoldsEveryKey)
{
    const TIniFile ini(std::string(KIVRO_SOURCE_DIR) + "/data/typeconfig.ini");
    const char *keys[] = {"data", "encrypt", "DefaultUI", "StoreTableName", "WordCount",
                          "BookName", "TollGateIndex", "Level", "BookType", "PlayMp3",
                          "PlaySound", "Mp3", "Mp3Voice", "LevelInterval1", "LevelInterval2",
                          "LevelInterval3", "BackGroundColor", "NormalColor", "TypeColor",
                          "EngineName", "SpeakName", "SpeakSex", "Rate", "Volume", "version",
                          "KivroLoadCiKu", "Speek"};
    for (const char *key : keys)
        EXPECT_TRUE(ini.ReadValue("system", key).has_value()) << key;
    EXPECT_EQ(ini.ReadString("system", "BookName", ""), Gbk("《最新TOEFL词汇》"));
    EXPECT_EQ(ini.ReadString("system", "Mp3", ""), Gbk("默认背景音乐"));
    EXPECT_EQ(ini.ReadInteger("system", "BookType", -1), 0);
    EXPECT_EQ(ini.ReadInteger("system", "LevelInterval1", 0), 50);
    EXPECT_EQ(ini.ReadInteger("system", "BackGroundColor", 0), 11561288);
    EXPECT_EQ(ini.ReadString("system", "data", ""), "kivrotype");
}

} // namespace
