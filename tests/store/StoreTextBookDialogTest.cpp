// The dialog that makes a book from a text: the preview of a chosen file and
// of pasted text, its two orders and check boxes, the left-out words, the
// name checks and the book it makes.
#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "BookExamples.h"
#include "StoreDialogSupport.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "UFrmTextBook.h"

namespace {

class StoreTextBookDialog : public StoreFixture {
protected:
    StoreTextBookDialog()
    {
        std::filesystem::copy_file(KIVRO_TEST_PROGRAM_DIR "/reference.db",
                                   dir.Path("reference.db"));
        ScriptedMessageBoxes::Global().Clear();
        m_dialog.show();
    }
    QTableWidget *Table() { return child<QTableWidget>(&m_dialog, "tvWords"); }
    QStringList Column(int column)
    {
        QStringList texts;
        for (int r = 0; r < Table()->rowCount(); ++r)
            texts << Table()->item(r, column)->text();
        return texts;
    }
    void Click(const char *button) { child<QPushButton>(&m_dialog, button)->click(); }

    TFrmTextBook m_dialog;
};

const char kSubtitles[] = "1\r\n00:00:01,000 --> 00:00:02,000\r\nThe children ran.\r\n\r\n"
                          "2\r\n00:00:03,000 --> 00:00:04,000\r\n<i>A dog ran, and the dogs "
                          "barked at Tom.</i>\r\n";

TEST_F(StoreTextBookDialog, AChosenFileIsPreviewedInEitherOrderWithItsLeftOutWords)
{
    ASSERT_TRUE(m_dialog.LoadFile(WriteWordFile("film.srt", kSubtitles)));
    EXPECT_EQ(Column(0),
              (QStringList{QStringLiteral("the"), QStringLiteral("child"), QStringLiteral("run"),
                           QStringLiteral("a"), QStringLiteral("dog"), QStringLiteral("and"),
                           QStringLiteral("bark"), QStringLiteral("at")}));
    EXPECT_EQ(Column(1), (QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("2"),
                                      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"),
                                      QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_FALSE(Table()->item(1, 3)->text().isEmpty()) << "the meaning is shown";
    EXPECT_EQ(child<QLineEdit>(&m_dialog, "ediLibName")->text(), QStringLiteral("film"));
    EXPECT_TRUE(child<QPlainTextEdit>(&m_dialog, "edtLeftOut")
                    ->toPlainText()
                    .contains(QStringLiteral("Tom")));
    EXPECT_TRUE(child<QLabel>(&m_dialog, "labWords")->text().contains(QStringLiteral("已选8个")));

    // Unticked words stay unticked in the other order.
    Table()->item(0, 0)->setCheckState(Qt::Unchecked);
    child<QComboBox>(&m_dialog, "cboOrder")->setCurrentIndex(1);
    EXPECT_EQ(Column(0),
              (QStringList{QStringLiteral("the"), QStringLiteral("run"), QStringLiteral("dog"),
                           QStringLiteral("child"), QStringLiteral("a"), QStringLiteral("and"),
                           QStringLiteral("bark"), QStringLiteral("at")}));
    EXPECT_EQ(Table()->item(0, 0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(child<QLabel>(&m_dialog, "labWords")->text().contains(QStringLiteral("已选7个")));
    std::vector<std::string> chosen;
    for (const TTextWord &word : m_dialog.CheckedWords())
        chosen.push_back(word.Spelling);
    EXPECT_EQ(chosen, (std::vector<std::string>{"run", "dog", "child", "a", "and", "bark", "at"}));

    Click("btnCheckNone");
    EXPECT_TRUE(m_dialog.CheckedWords().empty());
    Click("btnImport");
    EXPECT_EQ(Texts().back(), QStringLiteral("请至少选择一个单词！"));
    Click("btnCheckAll");
    EXPECT_EQ(m_dialog.CheckedWords().size(), 8U);
}

TEST_F(StoreTextBookDialog, PastedTextMakesABookWithTheSentencesAsExamples)
{
    Click("btnReadText");
    EXPECT_EQ(Texts().back(), QStringLiteral("请先粘贴英文文章！"));
    child<QPlainTextEdit>(&m_dialog, "edtText")
        ->setPlainText(QStringLiteral("The children abandoned their boat. It sank."));
    Click("btnReadText");
    EXPECT_EQ(Column(0).size(), 7);
    Click("btnImport");
    EXPECT_EQ(Texts().back(), QStringLiteral("请设置导入后的词库文件名称！"));

    ImportBook("taken", {"w[p]m"});
    child<QLineEdit>(&m_dialog, "ediLibName")->setText(QStringLiteral("taken"));
    Click("btnImport");
    EXPECT_EQ(Texts().back(), QStringLiteral("您设置的词库已经存在，请重新设置！"));

    child<QLineEdit>(&m_dialog, "ediLibName")->setText(QStringLiteral("boat story"));
    Click("btnImport");
    EXPECT_EQ(Texts().back(), QStringLiteral("恭喜您,导入词库成功了！"));
    const int id = GetBookId("boat story", 0);
    ASSERT_GT(id, 0);
    EXPECT_EQ(GetBookClass(id), 4);
    EXPECT_EQ(GetBookWordNumber(id), 7);
    const std::vector<TExample> examples = WordExamples(GetBookTableName(id), "sink");
    ASSERT_FALSE(examples.empty());
    EXPECT_EQ(examples[0], (TExample{"sank", "It sank."}));
}

TEST_F(StoreTextBookDialog, AnUnreadableFileEmptiesThePreviewAndSaysWhy)
{
    ASSERT_TRUE(m_dialog.LoadFile(WriteWordFile("film.srt", kSubtitles)));
    EXPECT_FALSE(m_dialog.LoadFile(QString::fromStdString(dir.Path("missing.srt"))));
    EXPECT_EQ(Table()->rowCount(), 0);
    EXPECT_FALSE(child<QLabel>(&m_dialog, "labWords")->text().isEmpty());
}

}  // namespace
