// 文件 → 备份学习记录… and 恢复学习记录…: the file chosen in a dialog, the
// work done once it is closed, the outcome told in Chinese.
#include <filesystem>

#include <QAction>
#include <QFileDialog>

#include "Clock.h"
#include "GameWindowFixture.h"
#include "LearningBackup.h"
#include "UFrmType.h"
#include "UTypeGameType.h"
#include "WordMemory.h"

namespace {

class AppBackup : public GameWindowTest {
protected:
    // The next file dialog chooses path and is accepted.
    void Choose(const QString &path, QFileDialog::AcceptMode mode)
    {
        ScriptDialog([path, mode](QDialog &dialog) {
            auto *chooser = qobject_cast<QFileDialog *>(&dialog);
            ASSERT_NE(chooser, nullptr);
            EXPECT_EQ(chooser->acceptMode(), mode);
            chooser->selectFile(path);
            dialog.accept();  // the file dialog's own accept, which checks the file
        });
    }
    QString LastMessage() const { return m_boxes.Texts().value(m_boxes.Texts().size() - 1); }
};

TEST_F(AppBackup, TheFileMenuBacksUpAndRestoresWithoutChangingWhatIsThere)
{
    UseBook(ImportBook("课本", 10));
    Start();
    std::vector<TWordMeeting> meetings(1);
    meetings[0].Word = *Board().WordAt(0);
    meetings[0].Missed = 1;
    meetings[0].Rating = TRating::Again;
    ASSERT_TRUE(RecordTollGate(TTollGatePlay{ProgramClock().NowMs(), 0, 1, 1, 0, 1, false},
                               meetings, ReviewCard));

    // The dialog suggests a name; cancelling it does nothing.
    QString suggested;
    ScriptDialog([&suggested](QDialog &dialog) {
        if (auto *chooser = qobject_cast<QFileDialog *>(&dialog))
            suggested = chooser->selectedFiles().value(0);
        dialog.reject();
    });
    Control<QAction>(Window(), "nBackup")->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral(".mdb"))) << suggested.toStdString();
    EXPECT_TRUE(m_boxes.Texts().isEmpty());

    const QString file = QString::fromStdString(m_dir.Path("学习记录.mdb"));
    Choose(file, QFileDialog::AcceptSave);
    Control<QAction>(Window(), "nBackup")->trigger();
    EXPECT_EQ(LastMessage(), QStringLiteral("学习记录已备份到：") + file);
    {
        TSqlConnection backup(file.toStdString(), DatabasePassword(),
                              TSqlConnection::OpenMode::ReadOnly);
        TSqlQuery reviews = backup.Query("SELECT count(*) FROM reviewlog");
        ASSERT_TRUE(reviews.Next());
        EXPECT_EQ(reviews.Integer(0), 1);
    }

    Choose(file, QFileDialog::AcceptOpen);
    Control<QAction>(Window(), "nRestore")->trigger();
    EXPECT_EQ(LastMessage(), QStringLiteral("这个备份中的学习记录本机都已有，没有改变什么。"));
    EXPECT_TRUE(std::filesystem::exists(BeforeRestorePath(m_db->FilePath())));

    m_dir.WriteFile("nonsense.mdb", std::string(2048, 'x'));
    Choose(QString::fromStdString(m_dir.Path("nonsense.mdb")), QFileDialog::AcceptOpen);
    Control<QAction>(Window(), "nRestore")->trigger();
    EXPECT_TRUE(LastMessage().endsWith(
        QStringLiteral("未能完成：这个文件不是学习记录的备份，或者已经损坏。")))
        << LastMessage().toStdString();
}

}  // namespace
