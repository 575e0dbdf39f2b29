#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <type_traits>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "IniFile.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "TextUtils.h"

namespace {

// Keys come from the table only, and each accessor takes keys of its own type.
static_assert(!std::is_constructible_v<TIntSetting, std::string_view, std::int32_t>);
static_assert(!std::is_constructible_v<TStringSetting, std::string_view, std::string_view>);
static_assert(!std::is_convertible_v<const char *, TStringSetting>);
static_assert(!std::is_invocable_v<decltype(&ReadSysString), TIntSetting>);
static_assert(!std::is_invocable_v<decltype(&ReadSysInteger), TStringSetting>);
static_assert(!std::is_constructible_v<TSettingValue, TIntSetting, const char *>);
static_assert(!std::is_constructible_v<TSettingValue, TStringSetting, int>);

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
    EXPECT_EQ(ReadSysString(Setting::Mp3), "");
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval1), 0);
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

TEST_F(CommonSettings, EveryAccessorReadsTheDefaultsOfTheKeyTable)
{
    writeConfig("[system]\r\nWordCount=many\r\nLevelInterval1=x\r\nBookName=\r\n");
    EXPECT_EQ(ReadSysInteger(Setting::WordCount), 3480);  // not a number
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval1), 0);
    EXPECT_EQ(ReadSysInteger(Setting::BookType), 1);  // missing
    EXPECT_EQ(ReadSysString(Setting::StoreTableName), "lib109");
    EXPECT_EQ(ReadSysString(Setting::BookName), "");  // present, though empty
    TGamePara para;
    LoadGamePara(para);
    EXPECT_EQ(para.WordCount, 3480);
    EXPECT_EQ(para.BookName, "");
    EXPECT_EQ(para.BookType, 1);
}

TEST_F(CommonSettings, AGroupOfKeysIsWrittenInItsOrderWithEveryOtherLineKept)
{
    writeConfig("[system]\n; kept\nRate=1\n[tail]\nx=1\n");
    WriteSysValues(
        {{Setting::SpeakName, "Mary"}, {Setting::Rate, -2}, {Setting::Mp3, Gbk("默认背景音乐")}});
    EXPECT_EQ(config(), "[system]\n; kept\nRate=-2\nSpeakName=Mary\r\nMp3=" + Gbk("默认背景音乐")
                            + "\r\n[tail]\nx=1\n");
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
    WriteSysInteger(Setting::PlayMp3, 1);
    EXPECT_EQ(config(), "[system]\r\nPlayMp3=1\r\n");
    EXPECT_EQ(TIniFile(dir.Path("data/typeconfig.ini")).ReadInteger(kSystemSection, "playmp3", 0),
              1);
}

TEST_F(CommonSettings, RefusedWriteRaisesWithTheFullPath)
{
    std::filesystem::remove_all(dir.Path("data"));
    const std::string expected = "Unable to write to " + dir.Path("data/typeconfig.ini");
    try {
        WriteSysInteger(Setting::PlayMp3, 1);
        FAIL() << "no error without a data directory";
    } catch (const ESettingsWriteError &e) {
        EXPECT_EQ(std::string(e.what()), expected);
        // The player is told in Chinese, through the commands' boundary too.
        const EExplainedError &explained = e;
        EXPECT_EQ(explained.Reason(),
                  QStringLiteral("无法写入设置文件：")
                      + QString::fromStdString(dir.Path("data/typeconfig.ini")));
    }
    // A "data" that is a regular file is refused the same way.
    dir.WriteFile("data", "not a directory");
    EXPECT_THROW(WriteSysString(Setting::Mp3, "x"), ESettingsWriteError);
    EXPECT_THROW(SaveGamePara(TGamePara{}), ESettingsWriteError);
    EXPECT_EQ(dir.ReadFile("data"), "not a directory");
}

TEST_F(CommonSettings, SaveRefusesWhatIsNotARegularFile)
{
    std::filesystem::create_directory(dir.Path("data/typeconfig.ini"));
    EXPECT_THROW(WriteSysString(Setting::Mp3, "new"), ESettingsWriteError);
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
    EXPECT_EQ(ReadSysString(Setting::Mp3), "old value");
    WriteSysString(Setting::Mp3, Gbk("默认背景音乐"));
    const std::string after = "; settings of the game\n"
                              "[other]\n"
                              "Mp3=elsewhere\n"
                              "\n"
                              "[System]\r\n"
                              "Mp3="
                              + Gbk("默认背景音乐")
                              + "\r\n"
                                "; a comment=with equals\n"
                                "Level=2\n"
                                "mp3=second occurrence\n"
                                "[tail]\n"
                                "x=1";
    EXPECT_EQ(config(), after);
    // A new key goes at the end of its section, not after the next one.
    WriteSysInteger(Setting::Rate, -5);
    EXPECT_EQ(ReadSysInteger(Setting::Rate), -5);
    EXPECT_NE(config().find("mp3=second occurrence\nRate=-5\r\n[tail]\n"), std::string::npos);
    EXPECT_EQ(TIniFile(dir.Path("data/typeconfig.ini")).ReadString("tail", "X", ""), "1");
}

TEST_F(CommonSettings, ReadsCommentsLineEndsCaseAndLongValues)
{
    const std::string longValue(3000, 'v');
    writeConfig("[system]\r\n;Mp3=commented\r\nMP3=first\r\nmp3=second\r\n\tVersion\t=\t1.0.0 \n"
                "long="
                + longValue + "\n");
    EXPECT_EQ(ReadSysString(Setting::Mp3), "first");
    EXPECT_EQ(ReadSysString(Setting::Version), "1.0.0");
    const TIniFile ini(dir.Path("data/typeconfig.ini"));
    EXPECT_EQ(ini.ReadString(kSystemSection, "long", ""), std::string(2047, 'v'));
    EXPECT_FALSE(ini.ReadValue(kSystemSection, ";Mp3"));
}

TEST_F(CommonSettings, WriteAppendsTheSectionAndKeepsPermissions)
{
    writeConfig("[other]\nx=1");
    ::chmod(dir.Path("data/typeconfig.ini").c_str(), 0640);
    WriteSysInteger(Setting::Level, 3);
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
    EXPECT_NE(config().find("EngineName=" + Gbk("微软引擎")
                            + "\r\nSpeakName=Microsoft Mary\r\n"
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
    for (const TSettingKey key : Setting::All) {
        EXPECT_TRUE(ini.ReadValue(kSystemSection, key.Name()).has_value()) << key.Name();
        // Names compare without regard to case: two such names would be one key.
        const auto sameName = [key](TSettingKey other) {
            return SameTextAscii(other.Name(), key.Name());
        };
        EXPECT_EQ(std::count_if(Setting::All.begin(), Setting::All.end(), sameName), 1)
            << key.Name();
    }
    const auto value = [&ini](TSettingKey key) {
        return ini.ReadValue(kSystemSection, key.Name());
    };
    EXPECT_EQ(value(Setting::BookName), Gbk("《最新TOEFL词汇》"));
    EXPECT_EQ(value(Setting::Mp3), Gbk("默认背景音乐"));
    EXPECT_EQ(value(Setting::BookType), "0");
    EXPECT_EQ(value(Setting::LevelInterval1), "50");
    EXPECT_EQ(value(Setting::BackGroundColor), "11561288");
    EXPECT_EQ(value(Setting::Data), "kivrotype");
}

}  // namespace
