// Offscreen pictures of the store's dialogs with typical content. The
// pictures are checked for size and for drawn content; with
// KIVRO_SHOTS_DIR set they are also written there as dialog-*.png.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>

#include "StoreFixture.h"
#include "UBookType.h"
#include "UFrmGameRecord.h"
#include "UFrmImportLib.h"
#include "UFrmInputBox.h"
#include "UFrmSelectBook.h"
#include "UImpExpLib.h"

namespace {

class StoreDialogShots : public StoreFixture {
protected:
    void Check(QWidget &dialog, const char *name)
    {
        QApplication::processEvents();
        const QImage image = dialog.grab().toImage();
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_GE(image.width(), 200) << name;
        EXPECT_GE(image.height(), 60) << name;
        // More than a blank window: text and frames make many colours.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 8) << name;
        const QByteArray dir = qgetenv("KIVRO_SHOTS_DIR");
        if (!dir.isEmpty()) {
            EXPECT_TRUE(image.save(QString::fromLocal8Bit(dir) + QStringLiteral("/dialog-")
                                   + QLatin1String(name) + QStringLiteral(".png")));
        }
    }
};

TEST_F(StoreDialogShots, AllFourDialogs)
{
    AddLibraryBookInfo(Gbk("《中学核心词汇》"), "lib1", 1600, 1, 0, 2, 1);
    AddLibraryBookInfo(Gbk("《大学英语四级词汇》"), "lib2", 4200, 2, 0, 3, 1);
    AddLibraryBookInfo(Gbk("《大学英语六级词汇》"), "lib3", 2300, 3, 0, 3, 1);
    AddLibraryBookInfo(Gbk("《考研英语词汇》"), "lib4", 5500, 4, 0, 4, 1);
    AddLibraryBookInfo(Gbk("《最新TOEFL词汇》"), "lib109", 3480, 109, 0, 6, 1);
    TGamePara para;
    para.BookName = Gbk("《最新TOEFL词汇》");
    TFrmSelectBook select(para);
    select.show();
    Check(select, "select-book");

    TFrmImportLib import;
    import.show();
    import.findChild<QLineEdit *>(QStringLiteral("sFileName"))
        ->setText(QStringLiteral("/home/player/词库/gre.txt"));
    import.findChild<QProgressBar *>(QStringLiteral("pbImport"))->setValue(40);
    Check(import, "import-library");

    TFrmInputBox input;
    input.setWindowTitle(QStringLiteral("用户名"));
    input.SetTitle(QStringLiteral("请输入您的名字："));
    input.Edit()->setText(QStringLiteral("小明"));
    input.show();
    Check(input, "input-name");

    const char *names[] = {"小明", "Lily", "王芳", "Tom", "张伟", "O'Neil", "李娜", "Jack"};
    int score = 8600;
    for (const char *n : names) {
        AddGameRecord(Gbk(n), score);
        score -= 700;
    }
    TFrmGameRecord board;
    board.show();
    Check(board, "game-record");
}

TEST_F(StoreDialogShots, ImportWithAPreview)
{
    const QString file =
        WriteWordFile("toefl-extra.txt",
                      "abandon[5'bAnd5n]v.放弃，遗弃\r\nability[5'biliti]n.能力，才能\r\n\r\n"
                      "able['eibl]a.能够的，有能力的\r\naboard[5'bC:d]ad.在船上；上船\r\n"
                      "abolish[5'bClij]vt.废除，取消\r\nabout 关于\r\nabove[5'bQv]prep.在…上面\r\n"
                      "abroad[5'brC:d]ad.到国外\r\nabsence['Absens]n.缺席，不在\r\n"
                      "absolute['Abs5lu:t]a.绝对的\r\nabsorb[5b'sC:b]vt.吸收；吸引\r\n");
    TFrmImportLib import;
    import.show();
    import.findChild<QLineEdit *>(QStringLiteral("sFileName"))->setText(file);
    Check(import, "import-preview");
}

}  // namespace
