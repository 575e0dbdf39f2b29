// 备份学习记录… and 恢复学习记录…: the file is chosen first, and only once
// its dialog is closed is the database read or written, each in one short
// step of the store (LearningBackup.h).
#include <QDate>
#include <QDir>
#include <QFileDialog>

#include "Clock.h"
#include "LearningBackup.h"
#include "MessageBoxes.h"
#include "ModalRunner.h"
#include "UFrmType.h"

namespace {

const QString kBackupFilter = QStringLiteral("学习记录备份 (*.mdb)");

// The chosen file, empty when the learner cancelled. A dialog of Qt's own,
// so that it is shown through RunModal like every other.
QString chooseFile(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title,
                   const QString &suggested)
{
    QFileDialog dialog(parent, title, QDir::homePath(), kBackupFilter);
    dialog.setObjectName(mode == QFileDialog::AcceptSave ? QStringLiteral("dlgBackupFile")
                                                         : QStringLiteral("dlgRestoreFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void TFrmType::nBackupClick()
{
    const QDate today = QDateTime::fromMSecsSinceEpoch(ProgramClock().NowMs()).date();
    const QString file = chooseFile(
        this, QFileDialog::AcceptSave, QStringLiteral("备份学习记录"),
        QStringLiteral("学习记录备份-%1.mdb").arg(today.toString(QStringLiteral("yyyyMMdd"))));
    if (file.isEmpty()) {
        FocusGame();
        return;
    }
    BackupLearningRecords(file.toStdString());
    ShowMessage(this, QStringLiteral("学习记录已备份到：%1").arg(QDir::toNativeSeparators(file)));
    FocusGame();
}

void TFrmType::nRestoreClick()
{
    const QString file =
        chooseFile(this, QFileDialog::AcceptOpen, QStringLiteral("恢复学习记录"), QString());
    if (file.isEmpty()) {
        FocusGame();
        return;
    }
    const TMergeResult result = RestoreLearningRecords(file.toStdString());
    ShowDueCount();
    ShowMessage(this, result.Added == 0
                          ? QStringLiteral("这个备份中的学习记录本机都已有，没有改变什么。")
                          : QStringLiteral("已从备份中恢复%1条学习记录。").arg(result.Added));
    FocusGame();
}
