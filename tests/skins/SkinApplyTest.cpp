#include <filesystem>

#include <QApplication>

#include <gtest/gtest.h>

#include "Settings.h"
#include "SkinManager.h"
#include "SkinTable.h"
#include "TempProgramDir.h"

namespace {

namespace fs = std::filesystem;

class SkinsApply : public ::testing::Test {
protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }
};

TEST_F(SkinsApply, WritesTheCarriedSheetToDataAndLooksLikeIt)
{
    TempProgramDir dir;
    ApplySkin("WLM");
    const std::string written = dir.ReadFile("data/WLM.asz");
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(written, CarriedSkinSheet("WLM"));
    EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(written));
}

TEST_F(SkinsApply, AppliedTwiceRewritesItsFileAndStaysActive)
{
    TempProgramDir dir;
    ApplySkin("WLM");
    dir.WriteFile("data/WLM.asz", "damaged");
    ApplySkin("WLM");
    EXPECT_EQ(dir.ReadFile("data/WLM.asz"), CarriedSkinSheet("WLM"));
    EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(CarriedSkinSheet("WLM")));
}

TEST_F(SkinsApply, UnknownNameRaisesAndChangesNothing)
{
    TempProgramDir dir;
    ApplySkin("Blue");
    const QString blue = qApp->styleSheet();
    for (const char *name : {"Beijing", "Office2007 Black", "", "../Blue", "Blue.asz"}) {
        EXPECT_THROW(ApplySkin(name), ESkinNotFound) << name;
        EXPECT_EQ(qApp->styleSheet(), blue) << name;
    }
    EXPECT_FALSE(fs::exists(dir.Path("data/Beijing.asz")));
    EXPECT_FALSE(fs::exists(dir.Path("data/Office2007 Black.asz")));
}

TEST_F(SkinsApply, NameIsMatchedWithoutCaseButTheFileKeepsItAsPassed)
{
    TempProgramDir dir;
    ApplySkin("oPuS");
    EXPECT_EQ(dir.ReadFile("data/oPuS.asz"), CarriedSkinSheet("Opus"));
    EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(CarriedSkinSheet("Opus")));
}

TEST_F(SkinsApply, UnwritableDataFolderRaisesAndKeepsTheLook)
{
    TempProgramDir dir(TempProgramDir::Contents::Empty);  // no data/ folder
    EXPECT_THROW(ApplySkin("Winter"), ESkinFileError);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(SkinsApply, EveryCarriedSkinHasItsOwnSheet)
{
    std::vector<std::string> sheets;
    for (const std::string &name : CarriedSkinNames()) {
        const std::string sheet = CarriedSkinSheet(name);
        ASSERT_FALSE(sheet.empty()) << name;
        EXPECT_NE(sheet.find("\"" + name + "\""), std::string::npos) << name;
        for (const std::string &other : sheets)
            EXPECT_NE(sheet, other) << name;
        sheets.push_back(sheet);
    }
}

TEST_F(SkinsApply, StartUpAppliesDefaultUIOrKeepsTheBuiltInLook)
{
    {
        TempProgramDir dir;  // no settings file: DefaultUI reads as WLM
        EXPECT_TRUE(ApplyDefaultSkin());
        EXPECT_TRUE(fs::exists(dir.Path("data/WLM.asz")));
        EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(CarriedSkinSheet("WLM")));
    }
    qApp->setStyleSheet(QString());
    {
        TempProgramDir dir;
        WriteDefaultUI("Wood");  // in the table, but not carried
        EXPECT_FALSE(ApplyDefaultSkin());
        EXPECT_TRUE(qApp->styleSheet().isEmpty());
        EXPECT_FALSE(fs::exists(dir.Path("data/Wood.asz")));
        EXPECT_EQ(ReadDefaultUI(), "Wood");  // the player's choice is not rewritten
    }
    {
        TempProgramDir dir(TempProgramDir::Contents::Empty);
        EXPECT_FALSE(ApplyDefaultSkin());
        EXPECT_TRUE(qApp->styleSheet().isEmpty());
    }
}

TEST_F(SkinsApply, ExitRemovesTheSkinFilesAndNothingElse)
{
    TempProgramDir dir;
    ApplySkin("Acryl");
    ApplySkin("WLM");
    ApplySkin("macos2");
    dir.WriteFile("data/typeconfig.ini", "[system]\n");
    dir.WriteFile("data/kivrotype.db", "x");
    dir.WriteFile("data/Mine.asz", "a player's own file");
    ASSERT_TRUE(fs::exists(dir.Path("data/Acryl.asz")));

    DeleteSkinFiles();

    EXPECT_FALSE(fs::exists(dir.Path("data/Acryl.asz")));
    EXPECT_FALSE(fs::exists(dir.Path("data/WLM.asz")));
    EXPECT_FALSE(fs::exists(dir.Path("data/macos2.asz")));
    EXPECT_TRUE(fs::exists(dir.Path("data/typeconfig.ini")));
    EXPECT_TRUE(fs::exists(dir.Path("data/kivrotype.db")));
    EXPECT_TRUE(fs::exists(dir.Path("data/Mine.asz")));
    DeleteSkinFiles();  // nothing left to remove: no error
}

TEST(SkinsTable, TwentyNumbersSixShown)
{
    EXPECT_EQ(GetSkinName(1), "Acryl");
    EXPECT_EQ(GetSkinName(10), "Office2007 Black");
    EXPECT_EQ(GetSkinName(11), "Blue");
    EXPECT_EQ(GetSkinName(19), "WMP 2008");
    EXPECT_EQ(GetSkinName(20), "Wood");
    EXPECT_EQ(GetSkinName(0), "");
    EXPECT_EQ(GetSkinName(21), "");
    EXPECT_EQ(GetSkinName(-1), "");

    int shown = 0;
    for (int n = 1; n <= kSkinCount; ++n) {
        const bool hasCaption = !GetSkinCaption(n).empty();
        // A skin is offered exactly when the program carries it.
        EXPECT_EQ(hasCaption, !CarriedSkinSheet(GetSkinName(n)).empty()) << n;
        shown += hasCaption ? 1 : 0;
    }
    EXPECT_EQ(shown, 6);
}

}  // namespace
