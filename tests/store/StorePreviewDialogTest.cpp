// The import dialog's preview, encodings, layouts, paste and drop, and the
// book buttons of the selection dialog.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "BookManage.h"
#include "Random.h"
#include "StoreDialogSupport.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UFrmImportLib.h"
#include "UFrmInputBox.h"
#include "UFrmSelectBook.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

class StorePreviewDialog : public StoreFixture {
protected:
    std::unique_ptr<TFrmImportLib> Open()
    {
        auto d = std::make_unique<TFrmImportLib>();
        d->show();
        return d;
    }
    QTableWidget *Table(QWidget *d) { return child<QTableWidget>(d, "tvPreview"); }
    // The preview's cells of one row, joined with "|".
    QString RowText(QWidget *d, int row)
    {
        QStringList cells;
        for (int c = 0; c < Table(d)->columnCount(); ++c)
            cells << Table(d)->item(row, c)->text();
        return cells.join(QLatin1Char('|'));
    }
    QStringList Rows(QWidget *d)
    {
        QStringList rows;
        for (int r = 0; r < Table(d)->rowCount(); ++r)
            rows << RowText(d, r);
        return rows;
    }
    QString Info(QWidget *d) { return child<QLabel>(d, "labPreview")->text(); }
    void Choose(QWidget *d, const char *combo, const QString &text)
    {
        auto *box = child<QComboBox>(d, combo);
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }
    // The rows of a stored book as "spelling|pronunciation|meaning".
    QStringList StoredRows(const std::string &name)
    {
        QStringList rows;
        for (const TWordInfo &w : TableRows(GetBookTableName(GetBookId(name, 0))))
            rows << QStringList{GbkToQString(w.Spelling), GbkToQString(w.Pronunciation),
                                GbkToQString(w.Meaning)}
                        .join(QLatin1Char('|'));
        return rows;
    }
};

TEST_F(StorePreviewDialog, ChoosingAFileShowsItsRowsErrorLinesCountsAndEncoding)
{
    auto d = Open();
    const std::string utf8 = "abandon[5'bAnd5n]v.放弃\r\n\r\ngo[gEu]去\r\nx\r\n";
    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("list.txt", utf8));
    EXPECT_EQ(child<QComboBox>(d.get(), "cboEncoding")->currentText(), QStringLiteral("UTF-8"));
    EXPECT_EQ(child<QComboBox>(d.get(), "cboLayout")->currentText(),
              QStringLiteral("单词[音标]解释"));
    EXPECT_EQ(
        Rows(d.get()),
        (QStringList{QStringLiteral("1|abandon|8'bAnd8n|v.放弃|"), QStringLiteral("2||||没有单词"),
                     QStringLiteral("3|go|gEu|去|"), QStringLiteral("4|x|||没有单词")}));
    EXPECT_EQ(Info(d.get()), QStringLiteral("共4行，其中错误行2行；识别出的编码：UTF-8"));
    // Error lines stand out.
    EXPECT_NE(Table(d.get())->item(1, 0)->background(), Table(d.get())->item(0, 0)->background());

    // A missing file empties the preview, and the choices have nothing to show.
    child<QLineEdit>(d.get(), "sFileName")->setText(QStringLiteral("/nowhere/list.txt"));
    EXPECT_EQ(Table(d.get())->rowCount(), 0);
    Choose(d.get(), "cboLayout", QStringLiteral("单词<Tab>解释"));
    EXPECT_EQ(Table(d.get())->rowCount(), 0);
    EXPECT_EQ(Info(d.get()), QString());
}

TEST_F(StorePreviewDialog, OnlyTheFirstTwoHundredLinesAreShownButAllAreCounted)
{
    std::string bytes;
    for (int k = 1; k <= 450; ++k)
        bytes += "w" + std::to_string(k) + "\t" + Gbk("词") + "\r\n";
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("big.txt", bytes));
    EXPECT_EQ(Table(d.get())->rowCount(), 200);
    EXPECT_EQ(RowText(d.get(), 199), QStringLiteral("200|w200||词|"));
    EXPECT_EQ(Info(d.get()),
              QStringLiteral("共450行，其中错误行0行（预览前200行）；识别出的编码：GBK/GB18030"));
    EXPECT_EQ(d->PreviewList().Lines.size(), 450u);
}

TEST_F(StorePreviewDialog, AnotherEncodingOrLayoutIsFollowedAtOnce)
{
    auto d = Open();
    // Big5 "蘋果" read as GBK gives other characters.
    child<QLineEdit>(d.get(), "sFileName")
        ->setText(WriteWordFile("big5.txt", "apple\t\xC4\xAB\xAA\x47\r\n"));
    EXPECT_EQ(child<QComboBox>(d.get(), "cboLayout")->currentText(),
              QStringLiteral("单词<Tab>解释"));
    const QString asGbk = RowText(d.get(), 0);
    Choose(d.get(), "cboEncoding", QStringLiteral("Big5"));
    EXPECT_EQ(RowText(d.get(), 0), QStringLiteral("1|apple||蘋果|"));
    EXPECT_NE(asGbk, RowText(d.get(), 0));
    Choose(d.get(), "cboEncoding", QStringLiteral("UTF-8"));
    EXPECT_EQ(RowText(d.get(), 0), QStringLiteral("1||||无法识别的字符"));
    Choose(d.get(), "cboEncoding", QStringLiteral("Big5"));
    Choose(d.get(), "cboLayout", QStringLiteral("CSV：单词,解释"));
    EXPECT_EQ(RowText(d.get(), 0), QStringLiteral("1|apple\t蘋果|||没有单词"));

    // The import stores what the preview shows, in the layout and encoding chosen.
    Choose(d.get(), "cboLayout", QStringLiteral("单词<Tab>解释"));
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("恭喜您,导入词库成功了！")});
    EXPECT_EQ(StoredRows("big5"), QStringList{QStringLiteral("apple||蘋果")});
}

TEST_F(StorePreviewDialog, AHugeLineIsATooLongErrorLineAndItsCellIsCut)
{
    // Four megabytes on one line, then a word.
    const std::string huge = "abandon[5'bAnd5n]" + std::string(size_t{4} << 20, 'x');
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")
        ->setText(WriteWordFile("huge.txt", huge + "\r\ngo[gEu]" + Gbk("去") + "\r\n"));
    ASSERT_EQ(Table(d.get())->rowCount(), 2);
    EXPECT_EQ(Table(d.get())->item(0, 4)->text(), QStringLiteral("超出长度"));
    EXPECT_EQ(RowText(d.get(), 1), QStringLiteral("2|go|gEu|去|"));
    // The cell holds the start of the line and says it is cut.
    const QString cell = Table(d.get())->item(0, 1)->text();
    EXPECT_TRUE(cell.startsWith(QStringLiteral("abandon[5'bAnd5n]xxx")))
        << cell.left(40).toStdString();
    EXPECT_TRUE(cell.endsWith(QChar(0x2026)));
    EXPECT_LE(cell.size(), 1000);
    EXPECT_EQ(Table(d.get())->textElideMode(), Qt::ElideRight);
    EXPECT_EQ(Info(d.get()), QStringLiteral("共2行，其中错误行1行；识别出的编码：GBK/GB18030"));

    child<QCheckBox>(d.get(), "cbSkipErrorLines")->setChecked(true);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("恭喜您,导入词库成功了！")});
    EXPECT_EQ(StoredRows("huge"), QStringList{QStringLiteral("go|gEu|去")});
}

TEST_F(StorePreviewDialog, ACutOffUtf8CharacterIsAnErrorLineInThePreviewAndTheImport)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")
        ->setText(WriteWordFile("cut.txt", "\xEF\xBB\xBF"
                                           "able[x]能够\r\ncut[k]n. 切\xE6"));
    EXPECT_EQ(Rows(d.get()), (QStringList{QStringLiteral("1|able|x|能够|"),
                                          QStringLiteral("2||||无法识别的字符")}));
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(),
              (QStringList{ErrorLineQuestion(2), QStringLiteral("恭喜您,导入词库成功了！")}));
    EXPECT_EQ(StoredRows("cut"), QStringList{QStringLiteral("able|x|能够")});
}

TEST_F(StorePreviewDialog, TheSkipBoxAnswersYesToEveryErrorLine)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")
        ->setText(WriteWordFile("errs.txt", "a[b]c\r\n\r\nd\r\ne[f]g\r\n"));
    auto *skip = child<QCheckBox>(d.get(), "cbSkipErrorLines");
    EXPECT_EQ(skip->text(), QStringLiteral("略过所有错误行"));
    EXPECT_FALSE(skip->isChecked());
    skip->setChecked(true);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("恭喜您,导入词库成功了！")});
    EXPECT_EQ(StoredRows("errs"), (QStringList{QStringLiteral("a|b|c"), QStringLiteral("e|f|g")}));

    // Unticked, the questions come back.
    ScriptedMessageBoxes::Global().Clear();
    skip->setChecked(false);
    child<QLineEdit>(d.get(), "ediLibName")->setText(QStringLiteral("again"));
    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), (QStringList{ErrorLineQuestion(2), QStringLiteral("导入词库失败了！")}));
}

TEST_F(StorePreviewDialog, APastedListIsPreviewedAndImportedUnderTheNameAskedFor)
{
    auto d = Open();
    auto *file = child<QLineEdit>(d.get(), "sFileName");
    auto *name = child<QLineEdit>(d.get(), "ediLibName");
    QGuiApplication::clipboard()->setText(QStringLiteral("  \n"));
    child<QPushButton>(d.get(), "btnPaste")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("剪贴板中没有文字！")});
    EXPECT_EQ(file->text(), QString());

    ScriptedMessageBoxes::Global().Clear();
    // As copied from a web page: no-break spaces, CR LF, a character GBK lacks.
    QGuiApplication::clipboard()->setText(QStringLiteral(
        "apple\u00A0\u00A0苹果\r\nice cream   冰淇淋\r\ncafé\u00A0\u00A0☃ 雪人\r\n"));
    EXPECT_EQ(child<QPushButton>(d.get(), "btnPaste")->text(), QStringLiteral("从剪贴板粘贴"));
    child<QPushButton>(d.get(), "btnPaste")->click();
    EXPECT_EQ(file->text(), QStringLiteral("（剪贴板）"));
    EXPECT_EQ(name->text(), QString());
    EXPECT_FALSE(child<QComboBox>(d.get(), "cboEncoding")->isEnabled());
    EXPECT_EQ(child<QComboBox>(d.get(), "cboLayout")->currentText(),
              QStringLiteral("单词  解释（两个以上空格）"));
    EXPECT_EQ(Rows(d.get()),
              (QStringList{QStringLiteral("1|apple||苹果|"), QStringLiteral("2|ice cream||冰淇淋|"),
                           QStringLiteral("3||||无法识别的字符")}));
    EXPECT_EQ(Info(d.get()), QStringLiteral("共3行，其中错误行1行；来自剪贴板"));

    // The name is asked for as usual; the file field is not checked.
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("请设置导入后的词库文件名称！")});
    name->setText(QStringLiteral("网页单词"));
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts().mid(1),
              (QStringList{ErrorLineQuestion(3), QStringLiteral("恭喜您,导入词库成功了！")}));
    EXPECT_EQ(StoredRows(Gbk("网页单词")),
              (QStringList{QStringLiteral("apple||苹果"), QStringLiteral("ice cream||冰淇淋")}));

    // Typing a file name goes back to files.
    file->setText(WriteWordFile("f.txt", "x[y]z\r\n"));
    EXPECT_TRUE(child<QComboBox>(d.get(), "cboEncoding")->isEnabled());
    EXPECT_EQ(Rows(d.get()), QStringList{QStringLiteral("1|x|y|z|")});
}

TEST_F(StorePreviewDialog, ATxtOrCsvFileDroppedOnTheDialogIsChosen)
{
    auto d = Open();
    const QString csv = WriteWordFile("drop.CSV", "apple,苹果\r\n");
    const QString other = WriteWordFile("drop.doc", "x");
    const auto drag = [&](const QList<QUrl> &urls) {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(d.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(d.get(), &drop);
        return drop.isAccepted();
    };
    EXPECT_FALSE(drag({QUrl::fromLocalFile(other)}));
    EXPECT_FALSE(drag({QUrl::fromLocalFile(csv), QUrl::fromLocalFile(csv)}));
    EXPECT_FALSE(drag({QUrl(QStringLiteral("http://example.invalid/a.txt"))}));
    EXPECT_EQ(child<QLineEdit>(d.get(), "sFileName")->text(), QString());
    EXPECT_TRUE(drag({QUrl::fromLocalFile(csv)}));
    EXPECT_EQ(child<QLineEdit>(d.get(), "sFileName")->text(), csv);
    EXPECT_EQ(child<QLineEdit>(d.get(), "ediLibName")->text(), QStringLiteral("drop"));
    EXPECT_EQ(Rows(d.get()), QStringList{QStringLiteral("1|apple||苹果|")});
}

// ------------------------------------------------------- managing the books

class StoreManageBooks : public StoreFixture {
protected:
    std::unique_ptr<TFrmSelectBook> Open(const std::string &table = "before",
                                         const std::string &name = "")
    {
        TGamePara para;
        para.StoreTableName = table;
        para.BookName = name;
        para.TollGateIndex = 7;
        para.WordsPerGate = 20;
        auto dialog = std::make_unique<TFrmSelectBook>(para);
        dialog->show();
        return dialog;
    }
    QTreeWidget *Tree(QWidget *d) { return child<QTreeWidget>(d, "tvLibList"); }
    void Select(QWidget *d, const QString &text)
    {
        const auto found = Tree(d)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        Tree(d)->setCurrentItem(found.front());
    }
    QStringList Books(QWidget *d)
    {
        QStringList names;
        for (QTreeWidgetItemIterator it(Tree(d)); *it; ++it) {
            if ((*it)->parent())
                names << (*it)->text(0);
        }
        return names;
    }
};

TEST_F(StoreManageBooks, DeletingAsksByNameAndTheCurrentBookGivesWayToTheFirst)
{
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("《最新TOEFL词汇》"), "lib109", 45, 109, 0, 6, 1));
    const int id = ImportNumberedBook("mine", 30, 7);
    auto d = Open(LibraryTableName(id), "mine");
    auto *del = child<QPushButton>(d.get(), "btnDelete");
    EXPECT_EQ(del->text(), QStringLiteral("删除课本"));
    Select(d.get(), QStringLiteral("《最新TOEFL词汇》"));
    EXPECT_FALSE(del->isEnabled());  // shipped

    Select(d.get(), QStringLiteral("mine"));
    ASSERT_TRUE(del->isEnabled());
    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    del->click();
    EXPECT_EQ(Texts(),
              QStringList{QStringLiteral("确定要删除课本“mine”吗？删除后它的单词将无法恢复。")});
    EXPECT_TRUE(BookNameExists("mine"));
    EXPECT_FALSE(d->CurrentBookDeleted());

    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    del->click();
    EXPECT_FALSE(BookNameExists("mine"));
    EXPECT_FALSE(TableExists(LibraryTableName(id)));
    EXPECT_EQ(Books(d.get()), QStringList{QStringLiteral("《最新TOEFL词汇》")});
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->CurrentBookDeleted());
    const TGamePara &p = d->GamePara();
    EXPECT_EQ(p.StoreTableName, "lib109");
    EXPECT_EQ(p.BookName, Gbk("《最新TOEFL词汇》"));
    EXPECT_EQ(p.TollGateIndex, 1);
    EXPECT_EQ(p.WordCount, 45);
    EXPECT_EQ(p.TollGateCount, 3);
    EXPECT_EQ(p.BookType, 0);
}

TEST_F(StoreManageBooks, DeletingAnotherBookLeavesTheGameAlone)
{
    SeedProgramRandom(8);
    const int played = ImportNumberedBook("played", 3);
    ImportNumberedBook("other", 3);
    auto d = Open(ShuffledTableName(played), "played");
    Select(d.get(), QStringLiteral("other"));
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    child<QPushButton>(d.get(), "btnDelete")->click();
    EXPECT_FALSE(d->CurrentBookDeleted());
    EXPECT_EQ(d->GamePara().StoreTableName, ShuffledTableName(played));
    EXPECT_EQ(d->GamePara().TollGateIndex, 7);
}

TEST_F(StoreManageBooks, RenamingChecksTheNameLikeTheImport)
{
    const int id = ImportNumberedBook("old", 3);
    ImportNumberedBook("taken", 3);
    auto d = Open("lib1", "old");
    Select(d.get(), QStringLiteral("old"));
    const auto renameTo = [&](const QString &text) {
        QTimer::singleShot(0, [text] {
            auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->Edit()->text(), QStringLiteral("old"));
            box->Edit()->setText(text);
            child<QPushButton>(box, "btnOk")->click();
            // A name GBK cannot hold keeps the box open, as for a player's name.
            if (box->isVisible())
                box->reject();
        });
        child<QPushButton>(d.get(), "btnRename")->click();
    };
    renameTo(QStringLiteral("taken"));
    renameTo(QStringLiteral("snow☃"));
    renameTo(QStringLiteral("a#@#b"));
    const QString unsavable = QStringLiteral("词库名称中含有无法保存的字符，请重新设置！");
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("您设置的词库已经存在，请重新设置！"), unsavable,
                                    unsavable}));
    EXPECT_EQ(GetBookName(id), "old");
    renameTo(QStringLiteral("新名字"));
    EXPECT_EQ(GetBookName(id), Gbk("新名字"));
    EXPECT_EQ(Tree(d.get())->currentItem()->text(0), QStringLiteral("新名字"));
    EXPECT_EQ(d->GamePara().BookName, Gbk("新名字"));
}

TEST_F(StoreManageBooks, AShippedBookIsHiddenAndShownAgain)
{
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("《GRE词汇》"), "lib107", 45, 107, 0, 6, 1));
    ImportNumberedBook("mine", 3);
    auto d = Open();
    auto *hide = child<QPushButton>(d.get(), "btnHide");
    auto *showHidden = child<QCheckBox>(d.get(), "cbShowHidden");
    Select(d.get(), QStringLiteral("《GRE词汇》"));
    EXPECT_FALSE(child<QPushButton>(d.get(), "btnRename")->isEnabled());
    EXPECT_EQ(hide->text(), QStringLiteral("隐藏课本"));
    hide->click();
    EXPECT_TRUE(IsBookHidden(107));
    EXPECT_EQ(Books(d.get()), QStringList{QStringLiteral("mine")});

    showHidden->click();
    EXPECT_EQ(Books(d.get()),
              (QStringList{QStringLiteral("mine"), QStringLiteral("《GRE词汇》（已隐藏）")}));
    Select(d.get(), QStringLiteral("《GRE词汇》（已隐藏）"));
    EXPECT_EQ(hide->text(), QStringLiteral("显示课本"));
    EXPECT_FALSE(child<QPushButton>(d.get(), "btnDelete")->isEnabled());
    hide->click();
    EXPECT_FALSE(IsBookHidden(107));
    showHidden->click();
    EXPECT_EQ(Books(d.get()), (QStringList{QStringLiteral("mine"), QStringLiteral("《GRE词汇》")}));
    EXPECT_TRUE(BookNameExists(Gbk("《GRE词汇》")));
    EXPECT_TRUE(Texts().isEmpty());
}

}  // namespace
