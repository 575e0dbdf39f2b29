#include "LearningBackup.h"

#include <filesystem>
#include <system_error>

#include <QFile>
#include <QTemporaryDir>

#include "SchemaVersion.h"
#include "StoreLog.h"
#include "UDataInterface.h"

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace {

const QString kNotABackup = QStringLiteral("这个文件不是学习记录的备份，或者已经损坏。");

// The database copied to utf8Target through a file beside it, renamed at the end.
void backupTo(const std::string &utf8Target)
{
    const std::string part = utf8Target + ".part";
    std::error_code ec;
    std::filesystem::remove(part, ec);
    try {
        {
            TSqlConnection destination(part, DatabasePassword(),
                                       TSqlConnection::OpenMode::CreateIfMissing);
            DataInterface().Connection().BackupTo(destination);
        }
        std::filesystem::rename(part, utf8Target);
    } catch (...) {
        // Cleans up the half-written copy and passes on whatever came.
        std::filesystem::remove(part, ec);
        throw;
    }
}

QString writeFailure(const std::exception &e)
{
    if (const auto *database = dynamic_cast<const EDatabaseError *>(&e);
        database && database->Code() == SQLITE_FULL)
        return QStringLiteral("磁盘空间不足。");
    return QStringLiteral("无法写入这个文件。");
}

}  // namespace

std::string BeforeRestorePath(const std::string &utf8DatabasePath)
{
    return utf8DatabasePath + ".before-restore";
}

void BackupLearningRecords(const std::string &utf8Target)
{
    try {
        backupTo(utf8Target);
    } catch (const std::exception &e) {
        // The engine's or the file system's failure: either is a file not written.
        qCWarning(lcStore) << "the backup to" << QString::fromStdString(utf8Target)
                           << "failed:" << e.what();
        throw ELearningBackupError(e.what(), QStringLiteral("备份没有写成：") + writeFailure(e));
    }
}

TMergeResult RestoreLearningRecords(const std::string &utf8Source)
{
    // A copy, so that an older backup is brought up to date without being touched.
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("backup.mdb"));
    if (!work.isValid() || !QFile::copy(QString::fromStdString(utf8Source), copy))
        throw ELearningBackupError("cannot copy " + utf8Source,
                                   QStringLiteral("无法读取这个文件。"));
    TLogBatch batch;
    try {
        TSqlConnection backup(copy.toStdString(), DatabasePassword(),
                              TSqlConnection::OpenMode::ExistingOnly);
        TSqlQuery tables = backup.Query("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                        "AND lower(name) IN ('bookinfo', 'gamerecord')");
        if (!tables.Next() || tables.Integer(0) != 2)
            throw ELearningBackupError(utf8Source + " holds no word database", kNotABackup);
        if (MigrateDatabase(backup, copy.toStdString()) == TMigrationResult::TooNew)
            throw ELearningBackupError(utf8Source + " is of a newer schema",
                                       QStringLiteral("这个备份来自更新版本的程序，无法恢复。"));
        batch = ReadLogBatch(backup);
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "reading the backup failed:" << e.what();
        throw ELearningBackupError(e.what(), kNotABackup);
    }

    const std::string current = DataInterface().FilePath();
    try {
        backupTo(BeforeRestorePath(current));
    } catch (const std::exception &e) {
        // Without the copy nothing is merged.
        qCWarning(lcStore) << "copying the database before a restore failed:" << e.what();
        throw ELearningBackupError(e.what(), QStringLiteral("恢复前无法先备份现在的学习记录：")
                                                 + writeFailure(e));
    }
    try {
        return MergeLogs(batch);
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "merging the backup failed:" << e.what();
        throw ELearningBackupError(e.what(), QStringLiteral("学习记录没有恢复：") + e.Reason());
    }
}
