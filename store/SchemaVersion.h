#pragma once
// The word database's schema version, kept in PRAGMA user_version, and the
// steps that bring an older file up to it when it is opened.
//
// Version 0 is every file made before the version was stamped; version 1 is
// the same schema, stamped; version 2 adds the learning memory (MemoryTables.h);
// version 3 its typing times and the scheduler's parameters; version 4 the
// global ids of the rows that travel between computers; version 5 the
// segments of those rows exchanged through a sync server; version 6 the
// example sentences of books made from a text (BookExamples.h). A change to the
// schema appends a step to the table in SchemaVersion.cpp and so takes the
// next number.

#include <functional>
#include <string>
#include <vector>

#include "SqlDatabase.h"

// The version this program reads and writes.
int CurrentSchemaVersion();

int ReadSchemaVersion(TSqlConnection &connection);

// Step i of a table brings a file from version i to version i + 1. It runs
// inside the migration's one transaction and throws EDatabaseError to fail it.
using TMigrationStep = std::function<void(TSqlTransaction &)>;
const std::vector<TMigrationStep> &SchemaMigrations();

// The copy made before a migration: the database file's path + ".bak".
std::string SchemaBackupPath(const std::string &utf8DatabasePath);

enum class TMigrationResult {
    UpToDate,  // nothing was done
    Migrated,  // the file was copied to its backup, then brought up to date
    TooNew,    // written by a newer program: left untouched
};

// Brings the open file at utf8Path up to the table's last version. Before any
// step changes it the file is copied to SchemaBackupPath; every step and the
// new version stamp run in one transaction, so a failure (of the copy, of a
// step or of the commit) throws EDatabaseError and leaves the file as it was.
TMigrationResult MigrateDatabase(TSqlConnection &connection, const std::string &utf8Path,
                                 const std::vector<TMigrationStep> &steps = SchemaMigrations());

// Sets user_version inside an open transaction (a new file is stamped with it).
void StampSchemaVersion(TSqlTransaction &transaction, int version);
