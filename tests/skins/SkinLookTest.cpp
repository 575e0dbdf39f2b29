// How the skins look: every widget kind the program uses changes with the
// skin, nothing moves or changes size between skins, and the game panel
// keeps the player's colour.
#include <map>
#include <regex>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "SkinManager.h"
#include "SkinTable.h"
#include "TempProgramDir.h"

namespace {

const QColor kPanelColour(72, 105, 176);  // 11561288, the board's default background

// A main window holding one of every widget kind the program shows, each
// named so its geometry and look can be compared from skin to skin.
class WidgetZoo {
public:
    WidgetZoo()
    {
        m_window.setObjectName(QStringLiteral("FrmType"));
        auto *menu = m_window.menuBar()->addMenu(QStringLiteral("  设置(&S)"));
        menu->addAction(QStringLiteral("选择关卡"));
        m_window.menuBar()->setObjectName(QStringLiteral("MainMenu1"));

        auto *bar = m_window.addToolBar(QStringLiteral("tbar"));
        bar->setObjectName(QStringLiteral("tbar"));
        bar->setMovable(false);
        add(bar, new QToolButton, "sbStart");
        static_cast<QToolButton *>(m_widgets["sbStart"])->setText(QStringLiteral("开始游戏"));
        auto *level = new QToolButton;
        level->setText(QStringLiteral("容易"));
        level->setPopupMode(QToolButton::InstantPopup);
        level->setMenu(new QMenu(level));
        add(bar, level, "sbLevel");
        auto *spell = new QCheckBox(QStringLiteral("单词"));
        spell->setChecked(true);
        add(bar, spell, "cbSpell");

        auto *central = new QWidget;
        central->setObjectName(QStringLiteral("central"));
        auto *column = new QVBoxLayout(central);
        auto *row = new QHBoxLayout;
        column->addLayout(row);
        addTo(row, new QLabel(QStringLiteral("得分：")), "labScore");
        addTo(row, new QPushButton(QStringLiteral("确定")), "btnOk");
        auto *box = new QCheckBox(QStringLiteral("背景音乐"));
        addTo(row, box, "cbBackGround");
        auto *radio = new QRadioButton(QStringLiteral("女声"));
        radio->setChecked(true);
        addTo(row, radio, "rbFemale");
        addTo(row, new QLineEdit(QStringLiteral("apple")), "ediQueryWord");
        auto *spin = new QSpinBox;
        spin->setRange(1, 174);
        addTo(row, spin, "speTollGate");
        auto *combo = new QComboBox;
        combo->addItems({QStringLiteral("微软引擎"), QStringLiteral("其它")});
        addTo(row, combo, "cbEngine");

        auto *group = new QGroupBox(QStringLiteral("设置要玩的开始关卡"));
        group->setObjectName(QStringLiteral("gbGroup"));
        auto *groupRow = new QHBoxLayout(group);
        auto *progress = new QProgressBar;
        progress->setValue(40);
        addTo(groupRow, progress, "pbImport");
        auto *slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setValue(30);
        addTo(groupRow, slider, "tbVolume");
        column->addWidget(group);
        m_widgets["gbGroup"] = group;

        auto *lists = new QHBoxLayout;
        column->addLayout(lists);
        auto *list = new QListWidget;
        list->addItems({QStringLiteral("默认背景音乐.mp3"), QStringLiteral("b.mp3")});
        list->setCurrentRow(0);
        addTo(lists, list, "lbMp3");
        auto *tree = new QTreeWidget;
        tree->setHeaderLabels({QStringLiteral("名字"), QStringLiteral("成绩")});
        auto *node = new QTreeWidgetItem(tree, {QStringLiteral("小学英语")});
        new QTreeWidgetItem(node, {QStringLiteral("《小学英语》"), QStringLiteral("100")});
        tree->expandAll();
        addTo(lists, tree, "tvBooks");
        m_widgets["header"] = tree->header();
        addTo(lists, new QTextBrowser, "wbAd");

        m_panGame = new QWidget;
        m_panGame->setObjectName(QStringLiteral("panGame"));
        m_panGame->setAutoFillBackground(true);
        QPalette pal = m_panGame->palette();
        pal.setColor(QPalette::Window, kPanelColour);
        m_panGame->setPalette(pal);
        m_panGame->setMinimumHeight(80);
        column->addWidget(m_panGame, 1);

        m_window.setCentralWidget(central);
        m_window.statusBar()->setObjectName(QStringLiteral("sStatusBar1"));
        auto *ad = new QLabel(QStringLiteral("广告"));
        m_window.statusBar()->addWidget(ad);
        m_widgets["labAd"] = ad;
        m_widgets["tbar"] = bar;
        m_widgets["MainMenu1"] = m_window.menuBar();
        m_widgets["sStatusBar1"] = m_window.statusBar();

        m_menu.addAction(QStringLiteral("默认风格"))->setCheckable(true);
        m_menu.addSeparator();
        auto *tickedItem = m_menu.addAction(QStringLiteral("风格2"));
        tickedItem->setCheckable(true);
        tickedItem->setChecked(true);
        m_widgets["miUI"] = &m_menu;

        m_dialog.setObjectName(QStringLiteral("dialog"));
        m_dialog.setFixedSize(160, 60);
        m_widgets["dialog"] = &m_dialog;

        m_window.resize(900, 500);
        m_window.show();
    }

    QMainWindow &Window() { return m_window; }
    QWidget *PanGame() { return m_panGame; }
    const std::map<std::string, QWidget *> &Widgets() const { return m_widgets; }

private:
    void add(QToolBar *bar, QWidget *w, const char *name)
    {
        w->setObjectName(QLatin1String(name));
        bar->addWidget(w);
        m_widgets[name] = w;
    }
    void addTo(QBoxLayout *layout, QWidget *w, const char *name)
    {
        w->setObjectName(QLatin1String(name));
        layout->addWidget(w);
        m_widgets[name] = w;
    }

    QMainWindow m_window;
    QMenu m_menu;
    QDialog m_dialog;
    QWidget *m_panGame = nullptr;
    std::map<std::string, QWidget *> m_widgets;
};

void settle(QMainWindow &window)
{
    QApplication::processEvents();
    window.layout()->activate();
    QApplication::processEvents();
}

class SkinsLook : public ::testing::Test {
protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }
    TempProgramDir m_dir;
};

TEST_F(SkinsLook, NoSkinMovesOrResizesAnything)
{
    WidgetZoo zoo;
    std::map<std::string, QRect> first;
    std::map<std::string, QSize> firstHints;
    std::string firstSkin;
    for (const std::string &skin : CarriedSkinNames()) {
        ApplySkin(skin);
        settle(zoo.Window());
        std::map<std::string, QRect> geometry;
        std::map<std::string, QSize> hints;
        for (const auto &[name, w] : zoo.Widgets()) {
            geometry[name] = w->geometry();
            hints[name] = w->sizeHint();
        }
        geometry["panGame"] = zoo.PanGame()->geometry();
        if (firstSkin.empty()) {
            first = geometry;
            firstHints = hints;
            firstSkin = skin;
            continue;
        }
        for (const auto &[name, rect] : geometry) {
            EXPECT_EQ(rect, first[name]) << name << " in " << skin << " vs " << firstSkin;
            EXPECT_EQ(hints[name], firstHints[name])
                << name << " in " << skin << " vs " << firstSkin;
        }
    }
}

TEST_F(SkinsLook, EveryWidgetKindChangesWithTheSkin)
{
    WidgetZoo zoo;
    settle(zoo.Window());
    std::map<std::string, QImage> builtIn;
    for (const auto &[name, w] : zoo.Widgets())
        builtIn[name] = w->grab().toImage();

    std::map<std::string, std::map<std::string, QImage>> looks;  // widget → skin → image
    for (const std::string &skin : CarriedSkinNames()) {
        ApplySkin(skin);
        settle(zoo.Window());
        for (const auto &[name, w] : zoo.Widgets()) {
            const QImage image = w->grab().toImage();
            EXPECT_NE(image, builtIn[name]) << name << " is not covered by " << skin;
            for (const auto &[otherSkin, other] : looks[name])
                EXPECT_NE(image, other)
                    << name << " looks the same in " << skin << " and " << otherSkin;
            looks[name][skin] = image;
        }
    }
}

TEST_F(SkinsLook, GamePanelKeepsThePlayersColour)
{
    WidgetZoo zoo;
    for (const std::string &skin : CarriedSkinNames()) {
        ApplySkin(skin);
        settle(zoo.Window());
        const QImage panel = zoo.PanGame()->grab().toImage();
        ASSERT_FALSE(panel.isNull());
        EXPECT_EQ(panel.pixelColor(panel.width() / 2, panel.height() / 2), kPanelColour) << skin;
        EXPECT_EQ(panel.pixelColor(1, 1), kPanelColour) << skin;
    }
}

TEST_F(SkinsLook, SheetsNeverReachTheGamePanelOrPlainWidgets)
{
    // Rules for QWidget or QFrame as such would paint the game panel and the board.
    const std::regex generic(R"((^|[\s,}])(QWidget|QFrame|\*)\s*[{,:])");
    // Every carried skin is looked at, and each has rules to look at: no
    // skins, or a sheet that lost its rules, would pass the checks below.
    size_t sheets = 0;
    for (const std::string &skin : CarriedSkinNames()) {
        const std::string sheet = CarriedSkinSheet(skin);
        ASSERT_NE(sheet.find('{'), std::string::npos) << "no rules in skin '" << skin << "'";
        ++sheets;
        EXPECT_EQ(sheet.find("panGame"), std::string::npos) << skin;
        EXPECT_FALSE(std::regex_search(sheet, generic)) << skin;
    }
    EXPECT_EQ(sheets, 6u);
}

}  // namespace
