#pragma once
// A thin RAII layer over SQLCipher's C API. Nothing else in the program
// touches sqlite3 handles. All text crossing this layer is UTF-8; callers
// convert from and to the core's GBK.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ExplainedError.h"

struct sqlite3;
struct sqlite3_stmt;

// Any failure of the engine, with its message and, where the engine gave one,
// its result code (SQLITE_FULL, SQLITE_BUSY …; 0 for failures of this layer).
class EDatabaseError : public EExplainedError {
public:
    explicit EDatabaseError(const std::string &message, int code = 0)
        : EExplainedError(message), m_code(code)
    {
    }
    // The primary result code (the low byte of the extended one).
    int Code() const { return m_code & 0xFF; }
    int ExtendedCode() const { return m_code; }
    // DatabaseFailureReason (UDataInterface.h).
    QString Reason() const override;

private:
    int m_code;
};

// A value bound to a statement parameter ("?"), in order.
struct TSqlNull {};
using TSqlValue = std::variant<TSqlNull, std::int64_t, std::string, double>;
using TSqlParams = std::initializer_list<TSqlValue>;

// "name" with every inner quote doubled, so any text is one identifier.
// Throws EDatabaseError for a name holding a NUL byte, which SQL cannot quote.
std::string QuoteIdentifier(std::string_view utf8Name);

class TSqlConnection;

// One prepared statement. Statements of the connection's cache are reset and
// unbound when the object goes away; others are finalized.
class TSqlStatement {
public:
    TSqlStatement() = default;
    TSqlStatement(TSqlConnection &connection, sqlite3_stmt *stmt, bool cached);
    ~TSqlStatement();
    TSqlStatement(TSqlStatement &&other) noexcept;
    TSqlStatement &operator=(TSqlStatement &&other) noexcept;
    TSqlStatement(const TSqlStatement &) = delete;
    TSqlStatement &operator=(const TSqlStatement &) = delete;

    void Bind(const std::vector<TSqlValue> &params);
    // Runs one step: true while a row is ready, false when done. Throws on error.
    bool Step();

    int ColumnCount() const;
    std::string ColumnName(int index) const;
    bool IsNull(int index) const;
    std::string Text(int index) const;
    // NULL reads as 0.
    std::int64_t Integer(int index) const;
    double Real(int index) const;
    // The value as stored, of whatever type (a BLOB reads as text).
    TSqlValue Value(int index) const;

private:
    void release() noexcept;

    TSqlConnection *m_connection = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_cached = false;
};

// A query walked row by row, fields read by column name.
class TSqlQuery {
public:
    explicit TSqlQuery(TSqlStatement statement);

    // Moves to the next row; false when the rows are used up.
    bool Next();
    bool HasColumn(std::string_view name) const;
    std::string Text(std::string_view column) const;
    std::int64_t Integer(std::string_view column) const;
    bool IsNull(std::string_view column) const;
    std::string Text(int index) const { return m_statement.Text(index); }
    std::int64_t Integer(int index) const { return m_statement.Integer(index); }
    double Real(int index) const { return m_statement.Real(index); }
    TSqlValue Value(int index) const { return m_statement.Value(index); }

private:
    int index(std::string_view column) const;

    TSqlStatement m_statement;
    std::map<std::string, int, std::less<>> m_columns;  // lower-case names
};

// One open database file.
class TSqlConnection {
public:
    // ReadOnly: an existing file that is never written (the shipped
    // reference data, which may sit in a read-only folder).
    enum class OpenMode { ExistingOnly, CreateIfMissing, ReadOnly };

    // Opens and keys the file, then reads the schema once, which is where a
    // wrong key shows. An empty passphrase opens a plain, unencrypted file.
    // Throws EDatabaseError on any failure.
    TSqlConnection(const std::string &utf8Path, std::string_view passphrase, OpenMode mode);
    ~TSqlConnection();
    TSqlConnection(const TSqlConnection &) = delete;
    TSqlConnection &operator=(const TSqlConnection &) = delete;

    // Exactly one statement; trailing text other than blanks and a ';' is refused.
    // Statements are kept prepared for reuse, as the long operations repeat the
    // same insert thousands of times.
    TSqlStatement Prepare(std::string_view sql, const std::vector<TSqlValue> &params = {});
    // Prepares, binds and runs a statement that returns no rows.
    void Execute(std::string_view sql, const std::vector<TSqlValue> &params = {});
    TSqlQuery Query(std::string_view sql, const std::vector<TSqlValue> &params = {});

    bool InTransaction() const;

    // Equal stamps mean nothing was written to the file in between, by this
    // connection (rows or schema) or by another process.
    struct TChangeStamp {
        std::int64_t ownChanges = -1;
        std::int64_t dataVersion = -1;
        std::int64_t schemaVersion = -1;
        bool operator==(const TChangeStamp &) const = default;
    };
    TChangeStamp ChangeStamp();

    sqlite3 *Handle() const { return m_db; }
    std::string LastError() const;
    // The extended result code of the last failed call.
    int LastErrorCode() const;
    // How long a statement waits for another process's lock (5 s at first).
    void SetBusyTimeout(int milliseconds);
    // Gives back the page cache's pages that no statement holds; they are
    // read again when needed. For idle moments: the cache otherwise fills
    // to its limit as the logs grow.
    void ReleaseMemory() noexcept;

    // Copies the whole database, page by page through the engine's online
    // backup, into destination (opened empty, keyed as it is to be kept):
    // one pass under a read lock, so the copy is the database as it stood at
    // one moment, while this connection may go on reading and writing
    // afterwards. Waits for another process's write lock as a statement
    // does; throws EDatabaseError.
    void BackupTo(TSqlConnection &destination);

private:
    friend class TSqlStatement;
    void giveBack(sqlite3_stmt *stmt) noexcept;

    sqlite3 *m_db = nullptr;
    std::map<std::string, sqlite3_stmt *, std::less<>> m_idle;  // prepared, not in use
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless committed.
//
// The engine may end a transaction by itself (a full disk, an I/O error);
// the statements after that would each commit on their own. Statements of a
// transaction therefore go through Execute(), which stops at the first
// failure and refuses to run once the transaction has ended, and Commit()
// refuses a transaction the engine has already ended.
class TSqlTransaction {
public:
    explicit TSqlTransaction(TSqlConnection &connection);
    ~TSqlTransaction();
    TSqlTransaction(const TSqlTransaction &) = delete;
    TSqlTransaction &operator=(const TSqlTransaction &) = delete;

    // True while the transaction is open on the connection.
    bool Active() const;
    // Runs one statement inside the transaction. Throws EDatabaseError when
    // it fails or when the transaction is no longer open.
    void Execute(std::string_view sql, const std::vector<TSqlValue> &params = {});
    // A read inside the transaction; throws EDatabaseError once it has ended.
    TSqlQuery Query(std::string_view sql, const std::vector<TSqlValue> &params = {});
    void Commit();
    void Rollback() noexcept;

private:
    TSqlConnection &m_connection;
    bool m_open = true;
};
