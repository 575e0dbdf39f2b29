#include "SchemaVersion.h"

#include "BookExamples.h"
#include "MemoryTables.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace {

// Copies the database file, through a descriptor the caller keeps open, to
// its backup. The backup is written beside it and renamed at the end, so an
// older backup is only replaced by a complete one.
void copyToBackup(QFile &source, const std::string &utf8Path)
{
    if (!source.open(QIODevice::ReadOnly))
        throw EDatabaseError("cannot read " + utf8Path + " to back it up", SQLITE_CANTOPEN);
    const std::string backupPath = SchemaBackupPath(utf8Path);
    QSaveFile backup(QString::fromStdString(backupPath));
    if (!backup.open(QIODevice::WriteOnly))
        throw EDatabaseError("cannot write the backup " + backupPath, SQLITE_CANTOPEN);
    constexpr qint64 kChunk = 1 << 16;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            throw EDatabaseError("cannot read " + utf8Path + " to back it up", SQLITE_IOERR);
        if (backup.write(chunk) != chunk.size())
            throw EDatabaseError("cannot write the backup " + backupPath,
                                 backup.error() == QFileDevice::ResourceError ? SQLITE_FULL
                                                                              : SQLITE_IOERR);
    }
    if (!backup.commit())
        throw EDatabaseError("cannot write the backup " + backupPath, SQLITE_IOERR);
}

}  // namespace

const std::vector<TMigrationStep> &SchemaMigrations()
{
    static const std::vector<TMigrationStep> steps = {
        // 0 -> 1: the schema as it was first shipped; only the stamp is new.
        [](TSqlTransaction &) {},
        // 1 -> 2: the learning memory's tables; books, scores and the rest untouched.
        [](TSqlTransaction &transaction) { CreateMemoryTables(transaction); },
        // 2 -> 3: how each word was typed, and the scheduler's chosen parameters.
        [](TSqlTransaction &transaction) { AddTypingAndParameterTables(transaction); },
        // 3 -> 4: global ids on the rows that travel, the computer that wrote them.
        [](TSqlTransaction &transaction) { AddGlobalIds(transaction); },
        // 4 -> 5: the segments exchanged through a sync server.
        [](TSqlTransaction &transaction) { AddSyncTables(transaction); },
        // 5 -> 6: the example sentences a book made from a text keeps.
        [](TSqlTransaction &transaction) { CreateBookExamplesTable(transaction); },
    };
    return steps;
}

int CurrentSchemaVersion()
{
    return static_cast<int>(SchemaMigrations().size());
}

int ReadSchemaVersion(TSqlConnection &connection)
{
    TSqlQuery query = connection.Query("PRAGMA user_version");
    return query.Next() ? static_cast<int>(query.Integer(0)) : 0;
}

void StampSchemaVersion(TSqlTransaction &transaction, int version)
{
    // A pragma takes no parameter; the value is a number the program chose.
    transaction.Execute("PRAGMA user_version = " + std::to_string(version));
}

std::string SchemaBackupPath(const std::string &utf8DatabasePath)
{
    return utf8DatabasePath + ".bak";
}

TMigrationResult MigrateDatabase(TSqlConnection &connection, const std::string &utf8Path,
                                 const std::vector<TMigrationStep> &steps)
{
    const int target = static_cast<int>(steps.size());
    int version = ReadSchemaVersion(connection);
    if (version > target)
        return TMigrationResult::TooNew;
    if (version == target)
        return TMigrationResult::UpToDate;

    // Declared before the transaction so that it is closed after it: closing
    // any descriptor of the file drops every POSIX lock this process holds on
    // it, the engine's own included.
    QFile source(QString::fromStdString(utf8Path));
    TSqlTransaction transaction(connection);
    // Again under the write lock: another process may have got there first.
    version = ReadSchemaVersion(connection);
    if (version > target)
        return TMigrationResult::TooNew;
    if (version == target)
        return TMigrationResult::UpToDate;
    // Nobody else can write now and nothing of ours is written yet, so the
    // file on disk is the whole database as it stands.
    copyToBackup(source, utf8Path);
    for (int v = version; v < target; ++v)
        steps[static_cast<size_t>(v)](transaction);
    StampSchemaVersion(transaction, target);
    transaction.Commit();
    return TMigrationResult::Migrated;
}
