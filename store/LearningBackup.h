#pragma once
// Backing up the learning records to a file of the learner's choosing and
// restoring them from it. The file is a copy of the whole word database
// (books, memory, logs, scores, recent list), made by the engine's online
// backup and keyed like the database. Restoring never overwrites: it merges
// the file's logs into the database (LogMerge.h), so restoring twice changes
// nothing, and it copies the database as it stands beside it first.

#include <string>

#include <QString>

#include "ExplainedError.h"
#include "LogMerge.h"

// A backup or restore that failed, with its cause for the learner.
class ELearningBackupError : public EExplainedError {
public:
    ELearningBackupError(const std::string &message, QString reason)
        : EExplainedError(message), m_reason(std::move(reason))
    {
    }
    QString Reason() const override { return m_reason; }

private:
    QString m_reason;
};

// Copies the installed database into utf8Target, written beside it and
// renamed over it at the end, so a failure leaves an older file there as it
// was. Throws ELearningBackupError.
void BackupLearningRecords(const std::string &utf8Target);

// Where a restore copies the database before merging: its path + ".before-restore".
std::string BeforeRestorePath(const std::string &utf8DatabasePath);

// Reads the backup at utf8Source (a copy of it, brought up to this schema
// when older; the file itself is only read), copies the database to
// BeforeRestorePath, then merges the backup's logs. Throws
// ELearningBackupError; the database is as it was then.
TMergeResult RestoreLearningRecords(const std::string &utf8Source);
