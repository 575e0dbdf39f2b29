#pragma once
// The data module: the one connection to the word database that every store
// operation uses, from start-up to the end of the program.
//
// The database file is program directory + "data/" + settings key "data" +
// ".mdb", encrypted with SQLCipher's default settings and the program's
// passphrase (SQLCipher's shell opens it with PRAGMA key). The program never
// creates this file at run time: a missing file is a failed connection.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "SqlDatabase.h"

// The passphrase the database file is keyed with.
std::string_view DatabasePassword();

// Full UTF-8 path of the configured database file.
std::string DatabaseFilePath();

class TDataInterface {
public:
    TDataInterface();
    // Closes the connection and, when it is the installed instance, uninstalls it.
    ~TDataInterface();
    TDataInterface(const TDataInterface &) = delete;
    TDataInterface &operator=(const TDataInterface &) = delete;

    // Why the last connect failed.
    enum class TConnectFailure {
        None,
        SettingsUnreadable,  // the settings file exists but cannot be read
        DatabaseUnusable,    // missing, wrong key, not a database, no bookinfo or gamerecord
        DatabaseLocked,      // still locked by another process after the busy timeout
    };

    // Opens DatabaseFilePath(). False on any failure (an unreadable settings
    // file, a missing file, a wrong key, a file that is not a database or
    // lacks the catalogue or leaderboard table, a file locked by another
    // process, a file of a newer schema version); a previous connection is
    // closed first. An older file is copied to its ".bak" and brought up to
    // the current version first (SchemaVersion.h); when that fails, it stays
    // as it was and the connect fails.
    bool ConnectDatabase();
    // The same for an explicit file (the database builder uses it).
    bool ConnectDatabaseFile(const std::string &utf8Path);
    // Opens DatabaseFilePath() for reading only, for a look from outside the
    // game that must change nothing, not even by a migration: a file of any
    // other schema version than the current one is refused.
    bool ConnectDatabaseReadOnly();
    TConnectFailure LastConnectFailure() const { return m_connectFailure; }
    // The start-up message for the last failure: "无法打开单词数据库：" + path and its kin.
    QString ConnectFailureMessage() const;
    void CloseDatabase();
    bool Connected() const { return m_connection != nullptr; }
    // The connected file's UTF-8 path; empty while none is connected.
    const std::string &FilePath() const { return m_path; }

    // Runs one statement that changes data. Never throws: any error, including
    // a missing connection, is the result false.
    bool ExecuteSQL(std::string_view sql, TSqlParams params = {}) noexcept;

    // Queries throw EDatabaseError; their errors reach the caller.
    TSqlQuery Query(std::string_view sql, TSqlParams params = {});
    TSqlConnection &Connection();

    // Rows of a table, remembered until anything is written to the file, so a
    // large book is counted once rather than at every toll gate.
    std::int64_t CountRows(const std::string &utf8Table);

private:
    bool connectFile(const std::string &utf8Path, bool readOnly);

    struct CachedCount {
        TSqlConnection::TChangeStamp stamp;
        std::int64_t rows = 0;
    };

    std::unique_ptr<TSqlConnection> m_connection;
    std::map<std::string, CachedCount, std::less<>> m_rowCounts;
    TConnectFailure m_connectFailure = TConnectFailure::None;
    std::string m_failedPath;
    std::string m_path;
};

// What went wrong, in words for the player ("磁盘空间不足" …).
QString DatabaseFailureReason(const EDatabaseError &error);

// The instance every catalogue, import and leaderboard function uses. Throws
// EDatabaseError when none is installed.
TDataInterface &DataInterface();
// Installs the instance (the caller keeps ownership); nullptr uninstalls.
void SetDataInterface(TDataInterface *instance);
// The installed instance's connection gives back its unused cache pages
// (TSqlConnection::ReleaseMemory); nothing without one.
void ReleaseDatabaseMemory() noexcept;

// Makes a new, empty database file with the catalogue and leaderboard tables,
// keyed like the program's own. Throws EDatabaseError when the file exists
// already or cannot be written. For the database builder and tests.
void CreateStoreDatabase(const std::string &utf8Path);
