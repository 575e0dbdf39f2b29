#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "SkinManager.h"
#include "SkinTable.h"
#include "TempProgramDir.h"
#include "dialogs/ColorSelector.h"
#include "dialogs/NumberEdit.h"
#include "dialogs/UFrmAbout.h"
#include "dialogs/UFrmColor.h"
#include "dialogs/UFrmLevelIntSet.h"
#include "dialogs/UFrmTollGate.h"

namespace {

using Log = std::vector<std::string>;

// Types into a field as the player does: whatever was there is replaced.
void typeInto(TNumberEdit &field, const char *text)
{
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, QString::fromLatin1(text));
}

void leave(QWidget &field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&field, &out);
}

class AppDialogsBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetModalRunner({});
        SetColorPicker({});
        ScriptedMessageBoxes::Global().Clear();
    }
    void TearDown() override
    {
        SetModalRunner({});
        SetColorPicker({});
    }
    TempProgramDir m_dir;
    FakeGameBoard m_board;
    FakeHost m_host{&m_board};
};

// ---- the number field ------------------------------------------------------

TEST(AppDialogsNumberField, TypedValuesBeyondTheRangeGoToTheNearestBoundOnLeaving)
{
    TNumberEdit field;
    field.setRange(1, 174);
    field.setValue(12);

    typeInto(field, "500");
    EXPECT_EQ(field.text(), QStringLiteral("500"));  // accepted while typing
    leave(field);
    EXPECT_EQ(field.value(), 174);
    EXPECT_EQ(field.text(), QStringLiteral("174"));

    typeInto(field, "0");
    leave(field);
    EXPECT_EQ(field.value(), 1);

    typeInto(field, "");  // empty reads as the lowest value
    leave(field);
    EXPECT_EQ(field.value(), 1);
    EXPECT_EQ(field.text(), QStringLiteral("1"));

    typeInto(field, "99999999999999");  // more digits than fit
    EXPECT_EQ(field.Value(), 174);
}

TEST(AppDialogsNumberField, OnlyDigitsCanBeTyped)
{
    TNumberEdit field;
    field.setRange(10, 2000);
    field.setValue(50);
    typeInto(field, "-7a3 b.5");
    EXPECT_EQ(field.text(), QStringLiteral("735"));
    EXPECT_EQ(field.Value(), 735);
}

TEST(AppDialogsNumberField, ArrowsStepWithinTheRangeAndValueTakesWhatIsTyped)
{
    TNumberEdit field;
    field.setRange(10, 2000);
    field.setValue(2000);
    field.stepUp();
    EXPECT_EQ(field.value(), 2000);
    field.stepDown();
    EXPECT_EQ(field.value(), 1999);

    typeInto(field, "5");  // below the range, not yet left
    EXPECT_EQ(field.Value(), 10);
    EXPECT_EQ(field.text(), QStringLiteral("10"));

    TNumberEdit single;
    single.setRange(1, 1);
    single.setValue(1);
    typeInto(single, "7");
    EXPECT_EQ(single.Value(), 1);
    single.stepUp();
    EXPECT_EQ(single.value(), 1);
}

// ---- "选择关卡" ------------------------------------------------------------------

class AppDialogsTollGate : public AppDialogsBase {};

TEST_F(AppDialogsTollGate, ChooserFor174AtTwelveTakesTypedValuesBackIntoRange)
{
    m_host.para.TollGateCount = 174;
    m_host.para.TollGateIndex = 12;
    ScriptNextDialog<TFrmTollGate>([](TFrmTollGate &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("选择关卡"));
        EXPECT_EQ(d.labCount()->text(), QStringLiteral("174"));
        EXPECT_EQ(d.speTollGate()->value(), 12);
        EXPECT_EQ(d.speTollGate()->minimum(), 1);
        EXPECT_EQ(d.speTollGate()->maximum(), 174);
        typeInto(*d.speTollGate(), "500");
        leave(*d.speTollGate());
        EXPECT_EQ(d.speTollGate()->text(), QStringLiteral("174"));
        d.btnOk()->click();
    });
    SettingsCommands::N30Click(m_host);
    EXPECT_EQ(m_host.para.TollGateIndex, 174);
    EXPECT_EQ(m_board.log, (Log{"ChooseTollGate 174"}));
    EXPECT_EQ(m_host.focused, 1);
}

TEST_F(AppDialogsTollGate, BookOfOneTollGateOffersOnlyThatOne)
{
    for (int count : {1, 0}) {  // 0: a stored word count of 0 still plays toll gate 1
        m_board.log.clear();
        m_host.para.TollGateCount = count;
        m_host.para.TollGateIndex = 1;
        ScriptNextDialog<TFrmTollGate>([count](TFrmTollGate &d) {
            EXPECT_EQ(d.labCount()->text(), QString::number(count));
            EXPECT_EQ(d.speTollGate()->minimum(), 1);
            EXPECT_EQ(d.speTollGate()->maximum(), 1);
            typeInto(*d.speTollGate(), "5");  // OK straight from the field
            d.btnOk()->click();
        });
        SettingsCommands::N30Click(m_host);
        EXPECT_EQ(m_host.para.TollGateIndex, 1);
        EXPECT_EQ(m_board.log, (Log{"ChooseTollGate 1"}));
    }
}

TEST_F(AppDialogsTollGate, CancelOrClosingTheWindowChangesNothing)
{
    m_host.para.TollGateCount = 174;
    m_host.para.TollGateIndex = 12;
    ScriptNextDialog<TFrmTollGate>([](TFrmTollGate &d) {
        typeInto(*d.speTollGate(), "100");
        d.btnCancel()->click();
    });
    SettingsCommands::N30Click(m_host);
    ScriptNextDialog<TFrmTollGate>([](TFrmTollGate &d) {
        typeInto(*d.speTollGate(), "100");
        d.close();  // the window frame's close button
    });
    SettingsCommands::N30Click(m_host);
    EXPECT_EQ(m_host.para.TollGateIndex, 12);
    EXPECT_TRUE(m_board.log.empty());
}

// ---- "难度设置" ------------------------------------------------------------------

class AppDialogsLevelInterval : public AppDialogsBase {};

TEST_F(AppDialogsLevelInterval, OkWithoutChangesStillRestartsTheTollGateAndSaves)
{
    m_host.para.TollGateIndex = 7;
    ScriptNextDialog<TFrmLevelIntSet>([](TFrmLevelIntSet &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("难度时间设置"));
        EXPECT_EQ(d.speLevelInterval1()->value(), 50);
        EXPECT_EQ(d.speLevelInterval2()->value(), 30);
        EXPECT_EQ(d.speLevelInterval3()->value(), 30);
        d.btnOk()->click();
    });
    SettingsCommands::N31Click(m_host);
    EXPECT_EQ(m_board.log, (Log{"SetLevelInterval1 50", "SetLevelInterval2 30",
                                "SetLevelInterval3 30", "ChooseTollGate 7"}));
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval1), 50);
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval2), 30);
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval3), 30);
}

TEST_F(AppDialogsLevelInterval, ValuesOutsideTheRangeShowAndSaveAsTheNearestBound)
{
    m_board.interval[0] = 0;  // a missing settings key reads as 0
    m_board.interval[1] = 120;
    m_board.interval[2] = 9000;
    ScriptNextDialog<TFrmLevelIntSet>([](TFrmLevelIntSet &d) {
        EXPECT_EQ(d.speLevelInterval1()->value(), 10);
        EXPECT_EQ(d.speLevelInterval2()->value(), 120);
        EXPECT_EQ(d.speLevelInterval3()->value(), 2000);
        typeInto(*d.speLevelInterval2(), "3000");
        d.btnOk()->click();
    });
    SettingsCommands::N31Click(m_host);
    EXPECT_EQ(m_board.interval[0], 10);
    EXPECT_EQ(m_board.interval[1], 2000);
    EXPECT_EQ(m_board.interval[2], 2000);
    EXPECT_EQ(ReadSysInteger(Setting::LevelInterval2), 2000);
}

TEST_F(AppDialogsLevelInterval, CancelLeavesBoardAndFileAlone)
{
    ScriptNextDialog<TFrmLevelIntSet>([](TFrmLevelIntSet &d) {
        typeInto(*d.speLevelInterval1(), "700");
        d.btnCancel()->click();
    });
    SettingsCommands::N31Click(m_host);
    EXPECT_TRUE(m_board.log.empty());
    EXPECT_EQ(m_dir.StoredSetting(Setting::LevelInterval1), "<missing>");
}

// ---- "背景色及字体颜色设置" ------------------------------------------------------------

class AppDialogsColor : public AppDialogsBase {};

QColor swatchColour(const TColorSelector &selector)
{
    const QImage swatch = selector.icon().pixmap(selector.iconSize()).toImage();
    return swatch.pixelColor(swatch.width() / 2, swatch.height() / 2);
}

TEST(AppDialogsColorValue, ColourValuesKeepRedInTheLowByte)
{
    EXPECT_EQ(ColorRefToQColor(11561288), QColor(72, 105, 176));
    EXPECT_EQ(ColorRefToQColor(65280), QColor(0, 255, 0));
    EXPECT_EQ(QColorToColorRef(QColor(72, 105, 176)), 11561288u);
    EXPECT_EQ(QColorToColorRef(QColor(255, 0, 0)), 255u);
}

TEST_F(AppDialogsColor, RestoreDefaultsThenCancelChangesNothing)
{
    m_board.back = 0x000080;
    m_board.normal = 0x00FFFF;
    m_board.type = 0xFF0000;
    m_dir.WriteFile("data/typeconfig.ini", "[system]\r\nBackGroundColor=128\r\n");
    const std::string before = m_dir.ReadFile("data/typeconfig.ini");
    ScriptNextDialog<TFrmColor>([](TFrmColor &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("背景色及字体颜色设置"));
        EXPECT_EQ(d.csBack()->ColorValue(), 0x000080u);
        EXPECT_EQ(swatchColour(*d.csBack()), QColor(128, 0, 0));
        int closed = 0;
        QObject::connect(&d, &QDialog::finished, &d, [&closed] { ++closed; });
        d.sBitBtn1()->click();
        EXPECT_EQ(closed, 0);  // the dialog stays open
        EXPECT_EQ(d.csBack()->ColorValue(), kDefaultBackGroundColor);
        EXPECT_EQ(d.csNormalColor()->ColorValue(), kDefaultNormalColor);
        EXPECT_EQ(d.csTypeColor()->ColorValue(), kDefaultTypeColor);
        EXPECT_EQ(swatchColour(*d.csBack()), QColor(72, 105, 176));
        d.btnCancel()->click();
    });
    SettingsCommands::N34Click(m_host);
    EXPECT_EQ(m_board.back, 0x000080u);
    EXPECT_EQ(m_board.normal, 0x00FFFFu);
    EXPECT_EQ(m_board.type, 0xFF0000u);
    EXPECT_TRUE(m_board.log.empty());
    EXPECT_EQ(m_dir.ReadFile("data/typeconfig.ini"), before);
}

TEST_F(AppDialogsColor, PickedColoursApplyAtOnceWithoutRestarting)
{
    SetColorPicker([](QWidget *, const QColor &initial) -> std::optional<QColor> {
        EXPECT_EQ(initial, QColor(72, 105, 176));
        return QColor(10, 20, 30);
    });
    ScriptNextDialog<TFrmColor>([](TFrmColor &d) {
        d.csBack()->click();  // opens the picker
        EXPECT_EQ(swatchColour(*d.csBack()), QColor(10, 20, 30));
        d.btnOk()->click();
    });
    SettingsCommands::N34Click(m_host);
    const std::uint32_t picked = 10u | (20u << 8) | (30u << 16);
    EXPECT_EQ(m_board.back, picked);
    EXPECT_EQ(m_board.log,
              (Log{"SetBackGroundColor", "SetNormalColor", "SetTypeColor", "RedrawWords"}));
    EXPECT_EQ(ReadSysInteger(Setting::BackGroundColor), static_cast<int>(picked));
    EXPECT_EQ(ReadSysInteger(Setting::NormalColor), 16777215);
    EXPECT_EQ(ReadSysInteger(Setting::TypeColor), 65280);
}

TEST_F(AppDialogsColor, CancelledPickerKeepsTheColour)
{
    TColorSelector selector;
    selector.SetColorValue(0x123456);
    SetColorPicker([](QWidget *, const QColor &) { return std::optional<QColor>(); });
    selector.click();
    EXPECT_EQ(selector.ColorValue(), 0x123456u);
}

// ---- "单词" / "词意" / "读音" ------------------------------------------------------------

class AppDialogsWordDisplay : public AppDialogsBase {
protected:
    QCheckBox cbSpell{QStringLiteral("单词")};
    QCheckBox cbMean{QStringLiteral("词意")};
    QCheckBox cbSpeech{QStringLiteral("读音")};

    void SetUp() override
    {
        AppDialogsBase::SetUp();
        for (QCheckBox *box : {&cbSpell, &cbMean, &cbSpeech}) {
            box->setChecked(true);
            QObject::connect(box, &QCheckBox::clicked, box, [this, box] {
                SettingsCommands::cbSpellClick(m_host, box, cbSpell, cbMean, cbSpeech);
            });
        }
    }
};

TEST_F(AppDialogsWordDisplay, TheLastTickedOfSpellingAndMeaningCannotBeUnticked)
{
    cbSpell.click();
    EXPECT_FALSE(cbSpell.isChecked());
    EXPECT_EQ(m_board.display, TWordDisplay::Mean);

    cbMean.click();  // would leave nothing: spelling takes its place
    EXPECT_TRUE(cbSpell.isChecked());
    EXPECT_FALSE(cbMean.isChecked());
    EXPECT_EQ(m_board.display, TWordDisplay::Spell);

    cbSpell.click();  // would leave nothing: meaning takes its place
    EXPECT_FALSE(cbSpell.isChecked());
    EXPECT_TRUE(cbMean.isChecked());
    EXPECT_EQ(m_board.display, TWordDisplay::Mean);

    cbSpell.click();
    EXPECT_EQ(m_board.display, TWordDisplay::MeanSpell);
    EXPECT_EQ(m_host.focused, 4);
}

TEST_F(AppDialogsWordDisplay, SpeechFollowsItsBoxAndNoBoardIsHarmless)
{
    cbSpeech.click();
    EXPECT_FALSE(m_board.speech);
    cbSpeech.click();
    EXPECT_TRUE(m_board.speech);

    FakeHost noBoard(nullptr);
    cbSpell.setChecked(false);
    cbMean.setChecked(false);
    SettingsCommands::cbSpellClick(noBoard, &cbMean, cbSpell, cbMean, cbSpeech);
    EXPECT_TRUE(cbSpell.isChecked());
}

// ---- every dialog keeps its size in every skin ----------------------------------------

TEST_F(AppDialogsBase, DialogsKeepTheirSizeInEverySkin)
{
    TFrmTollGate tollGate;
    TFrmLevelIntSet levels;
    TFrmColor colours;
    TFrmAbout about;
    QList<QWidget *> dialogs{&tollGate, &levels, &colours, &about};
    QList<QSize> first;
    for (const std::string &skin : CarriedSkinNames()) {
        ApplySkin(skin);
        QList<QSize> sizes;
        for (QWidget *d : dialogs) {
            d->adjustSize();
            sizes << d->size();
        }
        if (first.isEmpty())
            first = sizes;
        EXPECT_EQ(sizes, first) << skin;
    }
    qApp->setStyleSheet(QString());
}

}  // namespace
