// Draws the small dialogs and a sample main window in each of the six skins
// into PNG files, without a display (run with QT_QPA_PLATFORM=offscreen).
//   skinshots [--gallery] <folder> [notices file]
// --gallery also draws the remaining kinds of control in each skin.
#include <cstdio>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/ColorSelector.h"
#include "dialogs/HelpCommands.h"
#include "KivroApplication.h"
#include "dialogs/NumberEdit.h"
#include "Settings.h"
#include "SkinManager.h"
#include "SkinMenu.h"
#include "SkinTable.h"
#include "dialogs/UFrmAbout.h"
#include "dialogs/UFrmColor.h"
#include "dialogs/UFrmLevelIntSet.h"
#include "dialogs/UFrmTollGate.h"

namespace {

QLabel *label(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

// The main window's frame as the player sees it, with an empty game panel.
struct SampleWindow {
    QMainWindow window;
    QMenu *settingsMenu = nullptr;
    QMenu *skinMenu = nullptr;

    SampleWindow()
    {
        window.setWindowTitle(QStringLiteral("Kivro单词速打"));
        window.resize(823, 611);
        auto *file = window.menuBar()->addMenu(QStringLiteral("  文件(&F)"));
        file->addAction(QStringLiteral("选择课本"));
        settingsMenu = window.menuBar()->addMenu(QStringLiteral("  设置(&S)"));
        window.menuBar()->addMenu(QStringLiteral("  帮助(&H)"));
        auto *levels = settingsMenu->addMenu(QStringLiteral("难度"));
        levels->addAction(QStringLiteral("容易"));
        settingsMenu->addSeparator();
        settingsMenu->addAction(QStringLiteral("选择关卡"));
        settingsMenu->addAction(QStringLiteral("难度设置"));
        settingsMenu->addSeparator();
        settingsMenu->addAction(QStringLiteral("语音设置"));
        settingsMenu->addAction(QStringLiteral("背景色及字体颜色设置"));
        settingsMenu->addAction(QStringLiteral("背景音乐设置"));
        settingsMenu->addSeparator();
        skinMenu = settingsMenu->addMenu(QStringLiteral("界面风格"));
        BuildSkinMenu(*skinMenu);

        auto *bar = window.addToolBar(QStringLiteral("tbar"));
        bar->setMovable(false);
        for (const char *text : {"开始游戏", "重新游戏", "继续", "暂停"}) {
            auto *b = new QToolButton(bar);
            b->setText(QString::fromUtf8(text));
            b->setEnabled(QString::fromUtf8(text) != QStringLiteral("继续"));
            bar->addWidget(b);
        }
        auto *level = new QToolButton(bar);
        level->setText(QStringLiteral("容易"));
        level->setPopupMode(QToolButton::InstantPopup);
        level->setMenu(new QMenu(level));
        bar->addWidget(level);
        bar->addSeparator();
        for (const char *text : {"单词", "词意", "读音", "背景音乐"}) {
            auto *c = new QCheckBox(QString::fromUtf8(text), bar);
            c->setChecked(true);
            bar->addWidget(c);
        }
        bar->addSeparator();
        auto *record = new QToolButton(bar);
        record->setText(QStringLiteral("记录当前成绩"));
        bar->addWidget(record);

        auto *central = new QWidget(&window);
        auto *column = new QVBoxLayout(central);
        column->setContentsMargins(4, 4, 4, 0);
        auto *lookup = new QGroupBox(central);
        auto *lookupRow = new QHBoxLayout(lookup);
        lookupRow->addStretch(1);
        lookupRow->addWidget(label(QStringLiteral("Kivro在线字典"), lookup));
        auto *edit = new QLineEdit(QStringLiteral("apple"), lookup);
        edit->setFixedWidth(220);
        lookupRow->addWidget(edit);
        lookupRow->addWidget(new QPushButton(QStringLiteral("查词"), lookup));
        lookupRow->addStretch(1);
        column->addWidget(lookup);
        auto *title = new QGroupBox(central);
        auto *titleRow = new QHBoxLayout(title);
        titleRow->addStretch(1);
        for (const char *text : {"《最新TOEFL词汇》-顺序", "关卡：第12关（共174关）", "得分：",
                                 "300", "正确：", "3", "错误：", "1"})
            titleRow->addWidget(label(QString::fromUtf8(text), title));
        titleRow->addStretch(1);
        column->addWidget(title);
        auto *panGame = new QWidget(central);
        panGame->setObjectName(QStringLiteral("panGame"));
        panGame->setAutoFillBackground(true);
        QPalette pal = panGame->palette();
        pal.setColor(QPalette::Window, ColorRefToQColor(kDefaultBackGroundColor));
        panGame->setPalette(pal);
        column->addWidget(panGame, 1);
        window.setCentralWidget(central);
        window.statusBar()->addWidget(label(QStringLiteral("欢迎使用Kivro单词速打"), &window));
    }
};

// One of every other control the program's dialogs use, for checking a skin by eye.
QImage galleryShot()
{
    QDialog gallery;
    auto *grid = new QGridLayout(&gallery);
    auto *radio = new QRadioButton(QStringLiteral("女声"), &gallery);
    radio->setChecked(true);
    grid->addWidget(radio, 0, 0);
    grid->addWidget(new QRadioButton(QStringLiteral("男声"), &gallery), 0, 1);
    auto *combo = new QComboBox(&gallery);
    combo->addItem(QStringLiteral("微软引擎"));
    grid->addWidget(combo, 0, 2);
    auto *progress = new QProgressBar(&gallery);
    progress->setValue(64);
    grid->addWidget(progress, 1, 0, 1, 2);
    auto *slider = new QSlider(Qt::Horizontal, &gallery);
    slider->setValue(40);
    grid->addWidget(slider, 1, 2);
    auto *list = new QListWidget(&gallery);
    list->addItems({QStringLiteral("默认背景音乐.mp3"), QStringLiteral("轻音乐.mp3"),
                    QStringLiteral("钢琴.mp3")});
    list->setCurrentRow(1);
    grid->addWidget(list, 2, 0);
    auto *tree = new QTreeWidget(&gallery);
    tree->setHeaderLabels({QStringLiteral("课本"), QStringLiteral("单词数")});
    auto *node = new QTreeWidgetItem(tree, {QStringLiteral("大学英语")});
    new QTreeWidgetItem(node, {QStringLiteral("《大学英语四级》"), QStringLiteral("4200")});
    new QTreeWidgetItem(node, {QStringLiteral("《大学英语六级》"), QStringLiteral("2300")});
    tree->expandAll();
    grid->addWidget(tree, 2, 1, 1, 2);
    auto *spin = new TNumberEdit(&gallery);
    spin->setRange(1, 100);
    grid->addWidget(spin, 3, 0);
    auto *disabled = new QPushButton(QStringLiteral("继续"), &gallery);
    disabled->setEnabled(false);
    grid->addWidget(disabled, 3, 1);
    grid->addWidget(new QPushButton(QStringLiteral("关闭"), &gallery), 3, 2);
    gallery.resize(560, 320);
    gallery.show();
    QApplication::processEvents();
    return gallery.grab().toImage();
}

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "skinshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QImage sampleShot(SampleWindow &sample, QDialog &dialog)
{
    sample.window.show();
    QApplication::processEvents();
    PrepareSkinMenu(*sample.skinMenu);
    QImage image = sample.window.grab().toImage();
    QPainter painter(&image);
    // The "设置" menu opened on "界面风格", and a dialog over the game panel.
    const QRect settingsItem =
        sample.window.menuBar()->actionGeometry(sample.settingsMenu->menuAction());
    sample.settingsMenu->setActiveAction(sample.skinMenu->menuAction());
    sample.settingsMenu->adjustSize();
    const QPoint menuAt = sample.window.menuBar()->mapTo(&sample.window, settingsItem.bottomLeft());
    painter.drawImage(menuAt, sample.settingsMenu->grab().toImage());
    const QRect skinItem = sample.settingsMenu->actionGeometry(sample.skinMenu->menuAction());
    sample.skinMenu->adjustSize();
    painter.drawImage(menuAt + QPoint(sample.settingsMenu->width() - 3, skinItem.top()),
                      sample.skinMenu->grab().toImage());
    dialog.adjustSize();
    const QImage dialogImage = dialog.grab().toImage();
    painter.drawImage(QPoint(image.width() - dialogImage.width() - 60,
                             image.height() - dialogImage.height() - 80),
                      dialogImage);
    painter.setPen(QColor(40, 40, 40));
    painter.drawRect(QRect(QPoint(image.width() - dialogImage.width() - 61,
                                  image.height() - dialogImage.height() - 81),
                           dialogImage.size() + QSize(1, 1)));
    return image;
}

}  // namespace

int main(int argc, char **argv)
{
    TKivroApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool gallery = args.removeAll(QStringLiteral("--gallery")) > 0;
    const QString out = !args.isEmpty() ? args[0] : QStringLiteral("docs");
    QDir().mkpath(out);
    QTemporaryDir programDir;
    SetProgramDir(programDir.path().toStdString());
    QDir(programDir.path()).mkpath(QStringLiteral("data"));
    WriteSysString(Setting::Version, "1.0.0");
    if (args.size() > 1)  // a notices file for the About box
        QFile::copy(args[1], QString::fromStdString(TFrmAbout::NoticesPath()));

    bool ok = true;
    ApplySkin("WLM");
    {
        TFrmTollGate d;
        d.labCount()->setText(QStringLiteral("174"));
        d.speTollGate()->setRange(1, 174);
        d.speTollGate()->setValue(12);
        ok &= save(d.grab().toImage(), out + QStringLiteral("/dialog-tollgate.png"));
    }
    {
        TFrmLevelIntSet d;
        d.speLevelInterval1()->setValue(50);
        d.speLevelInterval2()->setValue(30);
        d.speLevelInterval3()->setValue(30);
        ok &= save(d.grab().toImage(), out + QStringLiteral("/dialog-levelintset.png"));
    }
    {
        TFrmColor d;
        d.sBitBtn1Click();
        ok &= save(d.grab().toImage(), out + QStringLiteral("/dialog-color.png"));
    }
    {
        TFrmAbout d;
        ok &= save(d.grab().toImage(), out + QStringLiteral("/dialog-about.png"));
    }

    for (const std::string &skin : CarriedSkinNames()) {
        ApplySkin(skin);
        WriteDefaultUI(skin);
        SampleWindow sample;
        TFrmColor dialog;
        dialog.sBitBtn1Click();
        ok &= save(sampleShot(sample, dialog),
                   out + QStringLiteral("/skin-%1.png").arg(QString::fromStdString(skin)));
        if (gallery)
            ok &= save(galleryShot(),
                       out + QStringLiteral("/gallery-%1.png").arg(QString::fromStdString(skin)));
    }
    SetProgramDir({});
    return ok ? 0 : 1;
}
