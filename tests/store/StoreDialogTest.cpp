#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "ProgressBarProgress.h"
#include "Random.h"
#include "StoreDialogSupport.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UFrmGameRecord.h"
#include "UFrmImportLib.h"
#include "UFrmInputBox.h"
#include "UFrmSelectBook.h"
#include "UImpExpLib.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

void pressKey(QWidget *target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Runs check once, from inside the event processing of a long operation.
void DuringTheOperation(std::function<void()> check)
{
    QTimer::singleShot(0, std::move(check));
}

// ------------------------------------------------------------ book selection

class StoreSelectBook : public StoreFixture {
protected:
    // A dialog opened with the given book, as the main window opens it.
    std::unique_ptr<TFrmSelectBook> Open(const std::string &bookName = "", int bookType = 0)
    {
        TGamePara para;
        para.BookName = bookName;
        para.BookType = bookType;
        para.TollGateIndex = 7;
        para.StoreTableName = "before";
        auto dialog = std::make_unique<TFrmSelectBook>(para);
        dialog->show();
        return dialog;
    }
    QTreeWidget *Tree(QWidget *d) { return child<QTreeWidget>(d, "tvLibList"); }
    QTreeWidgetItem *Node(QWidget *d, const QString &text)
    {
        const QList<QTreeWidgetItem *> found =
            Tree(d)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty())
            throw std::runtime_error("no such node");
        return found.front();
    }
    void Choose(TFrmSelectBook &d, const QString &book, bool shuffled)
    {
        Tree(&d)->setCurrentItem(Node(&d, book));
        child<QRadioButton>(&d, shuffled ? "rbRandom" : "rbLetter")->setChecked(true);
        child<QPushButton>(&d, "btnSelect")->click();
    }
};

// The bar is told a new figure only when events are processed (measuring
// its text for every row of a million-line import cost most of the import),
// yet it never shows a figure other than the operation's at those moments.
TEST(StoreProgressBar, TheBarFollowsWhenEventsAreProcessedAndAtTheEnds)
{
    QProgressBar bar;
    bar.setRange(0, 10);
    bar.setValue(3);
    TProgressBarProgress progress(&bar, nullptr);
    EXPECT_EQ(progress.Position(), 3);
    progress.SetMaximum(2000);
    EXPECT_EQ(bar.maximum(), 2000);
    progress.SetPosition(0);
    EXPECT_EQ(bar.value(), 0);
    for (int k = 0; k < 1500; ++k)
        progress.StepIt();
    EXPECT_EQ(progress.Position(), 1500);
    progress.ProcessPendingEvents();
    EXPECT_EQ(bar.value(), 1500);
    progress.SetPosition(2000);
    EXPECT_EQ(bar.value(), 2000);
    // Out of range as the bar itself would take it.
    progress.SetPosition(5000);
    EXPECT_EQ(progress.Position(), 2000);
    progress.SetPosition(-4);
    EXPECT_EQ(progress.Position(), 0);
    // Yes to all: no question, the bar untouched.
    progress.SetPosition(700);
    progress.AnswerYesToAll(true);
    EXPECT_TRUE(progress.AskYesNo(QStringLiteral("?")));
}

TEST_F(StoreSelectBook, ConfirmingWithoutABookAsksForOneAndStaysOpen)
{
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("考研"), "lib1", 40, 1, 0, 4, 1));
    auto d = Open("not in the tree");
    // No match: the first node, a class node, is selected and the fields stay empty.
    EXPECT_EQ(Tree(d.get())->currentItem()->text(0), QStringLiteral("研究生英语"));
    EXPECT_EQ(child<QLineEdit>(d.get(), "ediBookName")->text(), QString());
    child<QPushButton>(d.get(), "btnSelect")->click();
    Tree(d.get())->setCurrentItem(nullptr);
    d->btnSelectClick();
    EXPECT_EQ(Texts(),
              (QStringList{QStringLiteral("请选择课本！"), QStringLiteral("请选择课本！")}));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->result(), 0);
    EXPECT_EQ(d->GamePara().TollGateIndex, 7);
}

TEST_F(StoreSelectBook, TollGatesAreTheWordCountDividedByTwentyRoundedUp)
{
    ASSERT_TRUE(AddLibraryBookInfo(Gbk("《最新TOEFL词汇》"), "lib109", 3480, 109, 0, 6, 1));
    ASSERT_TRUE(AddLibraryBookInfo("odd", "lib110", 3481, 110, 0, 6, 1));
    for (const auto &[name, words, gates, table] :
         {std::tuple{Gbk("《最新TOEFL词汇》"), 3480, 174, "lib109"},
          std::tuple{std::string("odd"), 3481, 175, "lib110"}}) {
        auto d = Open();
        Choose(*d, GbkToQString(name), false);
        EXPECT_EQ(d->result(), QDialog::Accepted);
        const TGamePara &p = d->GamePara();
        EXPECT_EQ(p.WordCount, words);
        EXPECT_EQ(p.TollGateCount, gates);
        EXPECT_EQ(p.TollGateIndex, 1);
        EXPECT_EQ(p.StoreTableName, table);
        EXPECT_EQ(p.BookName, name);
        EXPECT_EQ(p.BookType, 0);
    }
    EXPECT_TRUE(Texts().isEmpty());
}

TEST_F(StoreSelectBook, TheFirstShuffledChoiceBuildsTheCopyAndTheSecondReusesIt)
{
    SeedProgramRandom(3);
    ImportNumberedBook("b", 30);
    auto &boxes = ScriptedMessageBoxes::Global();

    auto first = Open();
    boxes.Answer(QMessageBox::No);
    Choose(*first, QStringLiteral("b"), true);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("您需要创建打乱词库，是否创建？")});
    EXPECT_FALSE(TableExists("randomlib1"));
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(child<QProgressBar>(first.get(), "sProgressBar")->isVisible());

    boxes.Clear();
    boxes.Answer(QMessageBox::Yes);
    child<QPushButton>(first.get(), "btnSelect")->click();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("您需要创建打乱词库，是否创建？"),
                                    QStringLiteral("创建打乱词库成功。")}));
    EXPECT_EQ(first->result(), QDialog::Accepted);
    EXPECT_EQ(first->GamePara().StoreTableName, "randomlib1");
    EXPECT_EQ(first->GamePara().BookType, 2);
    EXPECT_EQ(first->GamePara().WordCount, 30);
    EXPECT_EQ(first->GamePara().TollGateCount, 2);
    EXPECT_EQ(child<QProgressBar>(first.get(), "sProgressBar")->value(), 60);
    const std::vector<TWordInfo> order = TableRows("randomlib1");

    boxes.Clear();
    auto second = Open("b", 2);
    EXPECT_TRUE(child<QRadioButton>(second.get(), "rbRandom")->isChecked());
    child<QPushButton>(second.get(), "btnSelect")->click();
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_EQ(second->result(), QDialog::Accepted);
    EXPECT_EQ(second->GamePara().StoreTableName, "randomlib1");
    EXPECT_EQ(TableRows("randomlib1"), order);
}

TEST_F(StoreSelectBook, AFailedCopyIsReportedAndChangesNothing)
{
    ImportNumberedBook("b", 5);
    ASSERT_TRUE(CreateShuffledTable("randomlib1"));  // left over, unregistered
    auto d = Open();
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    Choose(*d, QStringLiteral("b"), true);
    EXPECT_EQ(Texts().last(), QStringLiteral("创建打乱词库失败。"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->GamePara().StoreTableName, "before");
    EXPECT_EQ(d->GamePara().TollGateIndex, 7);
    EXPECT_FALSE(child<QProgressBar>(d.get(), "sProgressBar")->isVisible());
    EXPECT_TRUE(child<QPushButton>(d.get(), "btnSelect")->isEnabled());
}

TEST_F(StoreSelectBook, OpeningSelectsTheCurrentBookAndKeysMoveTheFields)
{
    ASSERT_TRUE(AddLibraryBookInfo("alpha", "lib1", 10, 1, 0, 2, 1));
    ASSERT_TRUE(AddLibraryBookInfo("beta", "lib2", 25, 2, 0, 2, 1));
    ASSERT_TRUE(AddLibraryBookInfo("gamma", "lib3", 33, 3, 0, 3, 1));
    auto d = Open("beta", 2);
    QTreeWidget *tree = Tree(d.get());
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("beta"));
    EXPECT_TRUE(child<QRadioButton>(d.get(), "rbRandom")->isChecked());
    auto *name = child<QLineEdit>(d.get(), "ediBookName");
    auto *count = child<QLineEdit>(d.get(), "ediWordCount");
    EXPECT_EQ(name->text(), QStringLiteral("beta"));
    EXPECT_EQ(count->text(), QStringLiteral("25"));
    EXPECT_TRUE(tree->isExpanded(tree->model()->index(1, 0)));

    pressKey(tree, Qt::Key_Up);
    EXPECT_EQ(name->text(), QStringLiteral("alpha"));
    EXPECT_EQ(count->text(), QStringLiteral("10"));
    pressKey(tree, Qt::Key_Up);  // the class node: the fields stay
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("中学英语"));
    EXPECT_EQ(name->text(), QStringLiteral("alpha"));
    pressKey(tree, Qt::Key_End);
    EXPECT_EQ(name->text(), QStringLiteral("gamma"));
    EXPECT_EQ(count->text(), QStringLiteral("33"));
}

TEST_F(StoreSelectBook, ABookWithoutARowInLetterOrderCannotBeChosen)
{
    // Registered only as a shuffled copy, yet listed.
    ASSERT_TRUE(AddLibraryBookInfo("only shuffled", "randomlib9", 12, 1, 2, 5, 1));
    auto d = Open("only shuffled");
    child<QPushButton>(d.get(), "btnSelect")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("请选择课本！")});
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->GamePara().StoreTableName, "before");
}

TEST_F(StoreSelectBook, NamesAreShownAsPlainText)
{
    ASSERT_TRUE(AddLibraryBookInfo("<b>bold</b>", "lib1", 3, 1, 0, 1, 1));
    auto d = Open("<b>bold</b>");
    EXPECT_EQ(Tree(d.get())->currentItem()->text(0), QStringLiteral("<b>bold</b>"));
    EXPECT_EQ(child<QLineEdit>(d.get(), "ediBookName")->text(), QStringLiteral("<b>bold</b>"));
}

TEST_F(StoreSelectBook, ControlsAreLockedWhileTheCopyIsBuilt)
{
    ImportNumberedBook("b", 50);
    auto d = Open("b");
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    bool checked = false;
    DuringTheOperation([&] {
        checked = true;
        EXPECT_TRUE(d->IsBusy());
        EXPECT_FALSE(child<QPushButton>(d.get(), "btnSelect")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d.get(), "btnClose")->isEnabled());
        EXPECT_FALSE(Tree(d.get())->isEnabled());
        EXPECT_TRUE(child<QProgressBar>(d.get(), "sProgressBar")->isVisible());
        EXPECT_GT(child<QProgressBar>(d.get(), "sProgressBar")->value(), 0);
        pressKey(d.get(), Qt::Key_Escape);
        d->close();
        EXPECT_TRUE(d->isVisible());
    });
    child<QRadioButton>(d.get(), "rbRandom")->setChecked(true);
    child<QPushButton>(d.get(), "btnSelect")->click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->GamePara().StoreTableName, "randomlib1");
}

// -------------------------------------------------------------------- import

class StoreImportDialog : public StoreFixture {
protected:
    std::unique_ptr<TFrmImportLib> Open()
    {
        auto d = std::make_unique<TFrmImportLib>();
        d->show();
        return d;
    }
    static std::string Lines(int n)
    {
        std::string bytes;
        for (int k = 1; k <= n; ++k)
            bytes.append("word")
                .append(std::to_string(k))
                .append("[w]")
                .append(Gbk("词"))
                .append("\r\n");
        return bytes;
    }
};

TEST_F(StoreImportDialog, AHundredLinesBecomeABookUnderItsClass)
{
    auto d = Open();
    auto *classes = child<QComboBox>(d.get(), "cboBookClass");
    ASSERT_EQ(classes->count(), 7);
    EXPECT_EQ(classes->currentText(), QStringLiteral("研究生英语"));
    EXPECT_EQ(classes->itemText(6), QStringLiteral("其它英语"));

    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("cet4.txt", Lines(100)));
    EXPECT_EQ(child<QLineEdit>(d.get(), "ediLibName")->text(), QStringLiteral("cet4"));
    classes->setCurrentIndex(1);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("恭喜您,导入词库成功了！")});
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown().back().icon, TMsgIcon::Exclamation);
    EXPECT_TRUE(d->isVisible());
    auto *bar = child<QProgressBar>(d.get(), "pbImport");
    EXPECT_EQ(bar->value(), bar->maximum());

    const int id = GetBookId("cet4", 0);
    EXPECT_EQ(GetBookWordNumber(id), 100);
    EXPECT_EQ(GetBookClass(id), 2);
    TFrmSelectBook select(TGamePara{});
    select.show();
    const auto found =
        child<QTreeWidget>(&select, "tvLibList")
            ->findItems(QStringLiteral("cet4"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0]->parent()->text(0), QStringLiteral("中学英语"));

    // The same name again is refused.
    ScriptedMessageBoxes::Global().Clear();
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("您设置的词库已经存在，请重新设置！")});
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 1);
}

TEST_F(StoreImportDialog, TheNameIsProposedFromTheFileAndRequired)
{
    auto d = Open();
    auto *file = child<QLineEdit>(d.get(), "sFileName");
    auto *name = child<QLineEdit>(d.get(), "ediLibName");
    EXPECT_EQ(file->maxLength(), 255);
    child<QPushButton>(d.get(), "btnImport")->click();
    file->setText(QStringLiteral("C:\\words\\toefl.list.txt"));
    EXPECT_EQ(name->text(), QStringLiteral("toefl"));
    file->setText(QStringLiteral("/home/me/words/readme"));
    EXPECT_EQ(name->text(), QString());
    child<QPushButton>(d.get(), "btnImport")->click();
    name->setText(QStringLiteral("   "));
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("请选择要导入的词库文件！"),
                                    QStringLiteral("请设置导入后的词库文件名称！"),
                                    QStringLiteral("请设置导入后的词库文件名称！")}));
    EXPECT_FALSE(TableExists("lib1"));
}

TEST_F(StoreImportDialog, ANameTheRecentListOrGbkCannotHoldIsRefused)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("ten.txt", Lines(10)));
    auto *name = child<QLineEdit>(d.get(), "ediLibName");
    const QStringList refusedNames{QStringLiteral("a#@#b"), QStringLiteral("#@#"),
                                   QStringLiteral("a\rb"), QStringLiteral("a\nb"),
                                   QStringLiteral("\uFEFFab")};
    for (const QString &refused : refusedNames) {
        name->setText(refused);
        child<QPushButton>(d.get(), "btnImport")->click();
    }
    EXPECT_EQ(Texts(), QStringList(refusedNames.size(),
                                   QStringLiteral("词库名称中含有无法保存的字符，请重新设置！")));
    for (const ShownMessage &shown : ScriptedMessageBoxes::Global().Shown())
        EXPECT_EQ(shown.icon, TMsgIcon::Information);
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookinfo"), 0);
    EXPECT_FALSE(TableExists("lib1"));

    // Near misses are names like any other.
    ScriptedMessageBoxes::Global().Clear();
    name->setText(QStringLiteral("a#@b @#"));
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("恭喜您,导入词库成功了！")});
    EXPECT_TRUE(BookNameExists("a#@b @#"));
}

TEST_F(StoreImportDialog, AStoppedImportReportsFailure)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")
        ->setText(WriteWordFile("bad.txt", "a[b]c\r\n\r\nd[e]f\r\n"));
    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), (QStringList{ErrorLineQuestion(2), QStringLiteral("导入词库失败了！")}));
    EXPECT_FALSE(BookNameExists("bad"));
}

TEST_F(StoreImportDialog, AListWithoutASingleGoodLineIsNoBook)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("empty.txt", "x\r\n\r\ny\r\n"));
    for (int k = 0; k < 3; ++k)
        ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_EQ(Texts(), (QStringList{ErrorLineQuestion(1), ErrorLineQuestion(2),
                                    ErrorLineQuestion(3), QStringLiteral("导入词库失败了！")}));
    EXPECT_FALSE(BookNameExists("empty"));
    EXPECT_FALSE(TableExists("lib1"));
    // Checking and writing: twice the lines.
    EXPECT_EQ(child<QProgressBar>(d.get(), "pbImport")->maximum(), 6);
}

TEST_F(StoreImportDialog, ButtonsAndEscAreLockedDuringAnImport)
{
    auto d = Open();
    child<QLineEdit>(d.get(), "sFileName")->setText(WriteWordFile("big.txt", Lines(300)));
    bool checked = false;
    DuringTheOperation([&] {
        checked = true;
        EXPECT_TRUE(d->IsBusy());
        EXPECT_FALSE(child<QPushButton>(d.get(), "btnImport")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d.get(), "btnClose")->isEnabled());
        EXPECT_FALSE(child<QToolButton>(d.get(), "sFileNameButton")->isEnabled());
        EXPECT_GT(child<QProgressBar>(d.get(), "pbImport")->value(), 0);
        pressKey(d.get(), Qt::Key_Escape);
        d->close();
        EXPECT_TRUE(d->isVisible());
    });
    child<QPushButton>(d.get(), "btnImport")->click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(child<QPushButton>(d.get(), "btnClose")->isEnabled());
    EXPECT_EQ(GetBookWordNumber(GetBookId("big", 0)), 300);
    pressKey(d.get(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(StoreSelectBook, AWordOfABookGoesIntoTheNewWordsBookByHandOrIsKnown)
{
    const int id = ImportNumberedBook(Gbk("《词》"), 5);
    auto d = Open();
    const auto typeWord = [](const QString &spelling) {
        QTimer::singleShot(0, [spelling] {
            auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            child<QLineEdit>(box, "ediText")->setText(spelling);
            child<QPushButton>(box, "btnOk")->click();
        });
    };
    typeWord(QStringLiteral("w9"));
    d->AddWordByHand(id, false);
    typeWord(QStringLiteral(" w2 "));
    d->AddWordByHand(id, false);
    typeWord(QStringLiteral("w3"));
    d->AddWordByHand(id, false);
    typeWord(QStringLiteral("w3"));
    d->AddWordByHand(id, true);
    EXPECT_EQ(
        Texts(),
        (QStringList{QStringLiteral("课本中没有单词“w9”。"), QStringLiteral("“w2”已加入生词本。"),
                     QStringLiteral("“w3”已加入生词本。"), QStringLiteral("“w3”已标为已掌握。")}));
    const TWordInfos words = NewWordsBookWords();
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Meaning, "m2");
    EXPECT_GT(ReadWordMemory("w3")->Card.Due, 0);
    // The new book is in the tree at once, first.
    EXPECT_EQ(Tree(d.get())->topLevelItem(0)->child(0)->text(0), QStringLiteral("《我的生词本》"));
}

// ---------------------------------------------------- name input, leaderboard

class StoreGameRecord : public StoreFixture {};

TEST_F(StoreGameRecord, ABlankNameIsRefusedAndBlanksAroundANameAreKept)
{
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("用户名"));
        EXPECT_EQ(child<QLabel>(box, "labTitle")->text(), QStringLiteral("请输入您的名字："));
        auto *edit = child<QLineEdit>(box, "ediText");
        edit->setText(QStringLiteral(" \t "));
        child<QPushButton>(box, "btnOk")->click();
        EXPECT_TRUE(box->isVisible());
        edit->setText(QStringLiteral(" ab "));
        pressKey(edit, Qt::Key_Return);  // Enter is "确定"
    });
    RecordGameScore(nullptr, 1234);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("是否记录您的游戏成绩？"),
                                    QStringLiteral("请输入用户名")}));
    EXPECT_EQ(LoadGameRecords(), (std::vector<TGameRecordItem>{{1, " ab ", 1234}}));
}

TEST_F(StoreGameRecord, ANameGbkCannotHoldIsRefusedAndTheDialogStaysOpen)
{
    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    QStringList stillOpen;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto *edit = child<QLineEdit>(box, "ediText");
        // An emoji, a letter GBK lacks, an invisible byte order mark, a tag character.
        for (const QString &name :
             {QString::fromUcs4(U"Zo\u00EB\U0001F600"), QStringLiteral("\uFEFFab"),
              QString::fromUcs4(U"ab\U000E0041")}) {
            edit->setText(name);
            pressKey(edit, Qt::Key_Return);
            if (box->isVisible() && box->focusWidget() == edit)
                stillOpen << name;
        }
        edit->setText(QStringLiteral("Zoe张"));
        pressKey(edit, Qt::Key_Return);
    });
    RecordGameScore(nullptr, 300);
    EXPECT_EQ(stillOpen.size(), 3);
    const QString refused = QStringLiteral("名字中含有无法保存的字符，请重新输入！");
    EXPECT_EQ(Texts(),
              (QStringList{QStringLiteral("是否记录您的游戏成绩？"), refused, refused, refused}));
    for (size_t i = 1; i < ScriptedMessageBoxes::Global().Shown().size(); ++i) {
        EXPECT_EQ(ScriptedMessageBoxes::Global().Shown()[i].icon, TMsgIcon::Information);
        EXPECT_EQ(ScriptedMessageBoxes::Global().Shown()[i].caption, QStringLiteral("提示信息"));
    }
    // Only the name that fits was stored, exactly.
    EXPECT_EQ(LoadGameRecords(), (std::vector<TGameRecordItem>{{1, Gbk("Zoe张"), 300}}));
}

TEST_F(StoreGameRecord, NoOrCancelStoresNothing)
{
    bool shown = false;
    const auto closeAnyInput = [&] {
        if (auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget())) {
            shown = true;
            child<QLineEdit>(box, "ediText")->setText(QStringLiteral("name"));
            pressKey(box, Qt::Key_Escape);  // Esc is "取消"
        }
    };
    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    QTimer::singleShot(0, closeAnyInput);
    RecordGameScore(nullptr, 5);
    QApplication::processEvents();
    EXPECT_FALSE(shown);

    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    QTimer::singleShot(0, closeAnyInput);
    RecordGameScore(nullptr, 5);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(LoadGameRecords().empty());
}

TEST_F(StoreGameRecord, AScoreThatCannotBeWrittenIsReportedInWords)
{
    AddGameRecord("kept", 1);
    {
        const auto holder = HoldDatabase("BEGIN IMMEDIATE");
        ASSERT_TRUE(holder->Ready());
        ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<TFrmInputBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            child<QLineEdit>(box, "ediText")->setText(QStringLiteral("name"));
            child<QPushButton>(box, "btnOk")->click();
        });
        RecordGameScore(nullptr, 900);
        EXPECT_EQ(Texts(),
                  (QStringList{QStringLiteral("是否记录您的游戏成绩？"),
                               QStringLiteral("成绩记录失败：单词数据库正被其他程序使用。")}));
        EXPECT_EQ(ScriptedMessageBoxes::Global().Shown().back().icon, TMsgIcon::Exclamation);
        EXPECT_EQ(ScriptedMessageBoxes::Global().Shown().back().caption,
                  QStringLiteral("提示信息"));
    }
    EXPECT_EQ(LoadGameRecords(), (std::vector<TGameRecordItem>{{1, "kept", 1}}));
}

TEST_F(StoreGameRecord, TheBoardListsTheTwentyBestInWholeReadOnlyRows)
{
    for (int k = 1; k <= 25; ++k)
        AddGameRecord(std::string("p").append(std::to_string(k)), k);
    AddGameRecord("<i>markup</i>", 100);
    TFrmGameRecord board;
    board.show();
    EXPECT_EQ(board.windowTitle(), QStringLiteral("排行榜"));
    auto *list = child<QTreeWidget>(&board, "lvBookInfo");
    ASSERT_EQ(list->topLevelItemCount(), 20);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("排名"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("用户"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("得分"));
    EXPECT_EQ(list->columnWidth(1), 180);
    EXPECT_EQ(list->columnWidth(2), 100);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("<i>markup</i>"));
    EXPECT_EQ(list->topLevelItem(19)->text(0), QStringLiteral("20"));
    EXPECT_EQ(list->topLevelItem(19)->text(2), QStringLiteral("7"));
    EXPECT_EQ(list->topLevelItem(3)->textAlignment(1), int(Qt::AlignCenter));
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(child<QPushButton>(&board, "sBitBtn1")->text(), QStringLiteral("关闭(&C)"));
    child<QPushButton>(&board, "sBitBtn1")->click();
    EXPECT_FALSE(board.isVisible());
}

}  // namespace
