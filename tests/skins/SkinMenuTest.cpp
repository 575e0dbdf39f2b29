#include <QAction>
#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include "Settings.h"
#include "SkinManager.h"
#include "SkinMenu.h"
#include "TempProgramDir.h"

namespace {

class SkinsMenu : public ::testing::Test {
protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    // A fresh menu as the main window builds it when it is first shown.
    static std::unique_ptr<QMenu> preparedMenu()
    {
        auto menu = std::make_unique<QMenu>(QStringLiteral("界面风格"));
        menu->setObjectName(QStringLiteral("miUI"));
        BuildSkinMenu(*menu);
        PrepareSkinMenu(*menu);
        ConnectSkinMenu(*menu);
        return menu;
    }

    static QAction *item(QMenu &menu, const char *name)
    {
        for (QAction *a : menu.actions()) {
            if (a->objectName() == QLatin1String(name))
                return a;
        }
        return nullptr;
    }

    static QStringList ticked(QMenu &menu)
    {
        QStringList names;
        for (QAction *a : menu.actions()) {
            if (a->isChecked())
                names << a->objectName();
        }
        return names;
    }

    // The menu as the player sees it: visible items, separators as "-".
    static QStringList shown(QMenu &menu)
    {
        QStringList texts;
        for (QAction *a : menu.actions()) {
            if (a->isVisible())
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return texts;
    }
};

TEST_F(SkinsMenu, ItemsComeInTheirDesignedOrderWithTheirTags)
{
    QMenu menu;
    BuildSkinMenu(menu);
    QStringList names;
    QList<int> tags;
    for (QAction *a : menu.actions()) {
        names << a->objectName();
        tags << SkinTag(*a);
    }
    EXPECT_EQ(names.size(), 21);
    EXPECT_EQ(names.mid(0, 5), (QStringList{QStringLiteral("beijing11"), QStringLiteral("N22"),
                                            QStringLiteral("beijing1"), QStringLiteral("beijing18"),
                                            QStringLiteral("beijing2")}));
    EXPECT_EQ(names.last(), QStringLiteral("beijing20"));
    EXPECT_EQ(tags, (QList<int>{11, -1, 1,  18, 2,  3,  4,  5,  6,  7, 8,
                                9,  10, 12, 13, 14, 15, 16, 17, 19, 20}));
    EXPECT_TRUE(menu.actions()[1]->isSeparator());
}

TEST_F(SkinsMenu, ShowsTheSixCarriedSkinsAndTicksDefaultUI)
{
    TempProgramDir dir;  // DefaultUI missing: WLM
    auto menu = preparedMenu();
    EXPECT_EQ(shown(*menu),
              (QStringList{QStringLiteral("默认风格"), QStringLiteral("-"), QStringLiteral("风格1"),
                           QStringLiteral("风格2"), QStringLiteral("风格3"),
                           QStringLiteral("风格4"), QStringLiteral("风格5")}));
    EXPECT_EQ(ticked(*menu), QStringList{QStringLiteral("beijing18")});

    WriteDefaultUI("wlm");  // names compare with case
    PrepareSkinMenu(*menu);
    EXPECT_TRUE(ticked(*menu).isEmpty());
}

TEST_F(SkinsMenu, Style4WritesOpusTicksItAloneAndTheNextStartTicksItAgain)
{
    TempProgramDir dir;
    {
        auto menu = preparedMenu();
        item(*menu, "beijing12")->trigger();  // "风格4", as a click does
        EXPECT_EQ(ReadDefaultUI(), "Opus");
        EXPECT_EQ(ticked(*menu), QStringList{QStringLiteral("beijing12")});
        EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(CarriedSkinSheet("Opus")));
        EXPECT_EQ(dir.ReadFile("data/Opus.asz"), CarriedSkinSheet("Opus"));

        // Choosing the ticked item again keeps it ticked.
        item(*menu, "beijing12")->trigger();
        EXPECT_EQ(ticked(*menu), QStringList{QStringLiteral("beijing12")});
    }
    qApp->setStyleSheet(QString());
    EXPECT_TRUE(ApplyDefaultSkin());
    EXPECT_EQ(qApp->styleSheet(), QString::fromStdString(CarriedSkinSheet("Opus")));
    auto next = preparedMenu();
    EXPECT_EQ(ticked(*next), QStringList{QStringLiteral("beijing12")});
}

TEST_F(SkinsMenu, SkinThatCannotBeAppliedLeavesNothingTickedAndDefaultUIUnchanged)
{
    TempProgramDir dir;
    WriteDefaultUI("WLM");
    ApplySkin("WLM");
    const QString before = qApp->styleSheet();
    auto menu = preparedMenu();
    ASSERT_EQ(ticked(*menu), QStringList{QStringLiteral("beijing18")});

    QAction *beijing = item(*menu, "beijing2");  // hidden: not carried
    EXPECT_THROW(beijing18Click(*menu, *beijing), ESkinNotFound);
    EXPECT_TRUE(ticked(*menu).isEmpty());
    EXPECT_EQ(ReadDefaultUI(), "WLM");
    EXPECT_EQ(qApp->styleSheet(), before);
}

}  // namespace
