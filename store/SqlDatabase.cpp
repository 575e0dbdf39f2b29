#include "SqlDatabase.h"
#include "StoreLog.h"
#include "TextUtils.h"

#include <cctype>
#include <new>

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace {

// Idle prepared statements kept per connection; the long operations need a
// handful, the catalogue a few more.
constexpr size_t kMaxIdleStatements = 64;

// How long a statement waits for another process's lock before failing.
constexpr int kBusyTimeoutMs = 5000;

bool onlyBlanksAndSemicolons(std::string_view tail)
{
    for (char c : tail) {
        if (c != ';' && !std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

}  // namespace

std::string QuoteIdentifier(std::string_view utf8Name)
{
    std::string out;
    out.reserve(utf8Name.size() + 2);
    out.push_back('"');
    for (char c : utf8Name) {
        if (c == '\0')
            throw EDatabaseError("a name may not contain a NUL character");
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// ---------------------------------------------------------------- statement

TSqlStatement::TSqlStatement(TSqlConnection &connection, sqlite3_stmt *stmt, bool cached)
    : m_connection(&connection), m_stmt(stmt), m_cached(cached)
{
}

TSqlStatement::~TSqlStatement()
{
    release();
}

TSqlStatement::TSqlStatement(TSqlStatement &&other) noexcept
    : m_connection(other.m_connection), m_stmt(other.m_stmt), m_cached(other.m_cached)
{
    other.m_stmt = nullptr;
    other.m_connection = nullptr;
}

TSqlStatement &TSqlStatement::operator=(TSqlStatement &&other) noexcept
{
    if (this != &other) {
        release();
        m_connection = other.m_connection;
        m_stmt = other.m_stmt;
        m_cached = other.m_cached;
        other.m_stmt = nullptr;
        other.m_connection = nullptr;
    }
    return *this;
}

void TSqlStatement::release() noexcept
{
    if (!m_stmt)
        return;
    if (m_cached && m_connection)
        m_connection->giveBack(m_stmt);
    else
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void TSqlStatement::Bind(const std::vector<TSqlValue> &params)
{
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(m_stmt))
        throw EDatabaseError("wrong number of statement parameters");
    int i = 1;
    for (const TSqlValue &value : params) {
        int rc = SQLITE_OK;
        if (const auto *n = std::get_if<std::int64_t>(&value)) {
            rc = sqlite3_bind_int64(m_stmt, i, *n);
        } else if (const auto *s = std::get_if<std::string>(&value)) {
            rc =
                sqlite3_bind_text64(m_stmt, i, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        } else if (const auto *r = std::get_if<double>(&value)) {
            rc = sqlite3_bind_double(m_stmt, i, *r);
        } else {
            rc = sqlite3_bind_null(m_stmt, i);
        }
        if (rc != SQLITE_OK)
            throw EDatabaseError(m_connection->LastError(), m_connection->LastErrorCode());
        ++i;
    }
}

bool TSqlStatement::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    std::string message = m_connection->LastError();
    const int code = m_connection->LastErrorCode();
    // Leave the statement clean for its next use from the cache.
    sqlite3_reset(m_stmt);
    throw EDatabaseError(message, code);
}

int TSqlStatement::ColumnCount() const
{
    return sqlite3_column_count(m_stmt);
}

std::string TSqlStatement::ColumnName(int index) const
{
    const char *name = sqlite3_column_name(m_stmt, index);
    return name ? name : "";
}

bool TSqlStatement::IsNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

std::string TSqlStatement::Text(int index) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index));
    if (!text)
        return {};
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, index)));
}

std::int64_t TSqlStatement::Integer(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

double TSqlStatement::Real(int index) const
{
    return sqlite3_column_double(m_stmt, index);
}

TSqlValue TSqlStatement::Value(int index) const
{
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_NULL:
        return TSqlNull{};
    case SQLITE_INTEGER:
        return Integer(index);
    case SQLITE_FLOAT:
        return Real(index);
    default:
        return Text(index);
    }
}

// -------------------------------------------------------------------- query

TSqlQuery::TSqlQuery(TSqlStatement statement) : m_statement(std::move(statement))
{
    const int n = m_statement.ColumnCount();
    for (int i = 0; i < n; ++i)
        m_columns.emplace(LowerAscii(m_statement.ColumnName(i)), i);  // first one wins
}

bool TSqlQuery::Next()
{
    return m_statement.Step();
}

bool TSqlQuery::HasColumn(std::string_view name) const
{
    return m_columns.find(LowerAscii(name)) != m_columns.end();
}

int TSqlQuery::index(std::string_view column) const
{
    const auto it = m_columns.find(LowerAscii(column));
    if (it == m_columns.end())
        throw EDatabaseError("no column named " + std::string(column));
    return it->second;
}

std::string TSqlQuery::Text(std::string_view column) const
{
    return m_statement.Text(index(column));
}

std::int64_t TSqlQuery::Integer(std::string_view column) const
{
    return m_statement.Integer(index(column));
}

bool TSqlQuery::IsNull(std::string_view column) const
{
    return m_statement.IsNull(index(column));
}

// --------------------------------------------------------------- connection

TSqlConnection::TSqlConnection(const std::string &utf8Path, std::string_view passphrase,
                               OpenMode mode)
{
    int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(utf8Path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : "cannot open the database";
        const int code = m_db ? sqlite3_extended_errcode(m_db) : rc;
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw EDatabaseError(message + ": " + utf8Path, code);
    }
    try {
        if (!passphrase.empty()
            && sqlite3_key(m_db, passphrase.data(), static_cast<int>(passphrase.size()))
                   != SQLITE_OK)
            throw EDatabaseError(LastError(), LastErrorCode());
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        sqlite3_extended_result_codes(m_db, 1);
        // The key is only checked when the first page is decrypted.
        Query("SELECT count(*) FROM sqlite_master").Next();
    } catch (...) {
        // Cleans up and passes on whatever came, unchanged.
        for (auto &[sql, stmt] : m_idle)
            sqlite3_finalize(stmt);
        m_idle.clear();
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw;
    }
}

TSqlConnection::~TSqlConnection()
{
    for (auto &[sql, stmt] : m_idle)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(m_db);
}

std::string TSqlConnection::LastError() const
{
    return m_db ? sqlite3_errmsg(m_db) : "no database";
}

int TSqlConnection::LastErrorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : SQLITE_MISUSE;
}

void TSqlConnection::SetBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

void TSqlConnection::ReleaseMemory() noexcept
{
    sqlite3_db_release_memory(m_db);
}

void TSqlConnection::BackupTo(TSqlConnection &destination)
{
    sqlite3_backup *backup = sqlite3_backup_init(destination.m_db, "main", m_db, "main");
    if (!backup)
        throw EDatabaseError(destination.LastError(), destination.LastErrorCode());
    // The backup step takes no busy handler: wait as a statement would.
    constexpr int kPauseMs = 20;
    int waited = 0;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (waited >= kBusyTimeoutMs)
            break;
        sqlite3_sleep(kPauseMs);
        waited += kPauseMs;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw EDatabaseError(std::string("the backup failed: ") + sqlite3_errstr(rc), rc);
    if (finished != SQLITE_OK)
        throw EDatabaseError(destination.LastError(), destination.LastErrorCode());
}

TSqlStatement TSqlConnection::Prepare(std::string_view sql, const std::vector<TSqlValue> &params)
{
    sqlite3_stmt *stmt = nullptr;
    bool cached = false;
    if (auto it = m_idle.find(sql); it != m_idle.end()) {
        stmt = it->second;
        m_idle.erase(it);
        cached = true;
    } else {
        const char *tail = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
        if (rc != SQLITE_OK) {
            const int code = LastErrorCode();
            std::string message = LastError();
            sqlite3_finalize(stmt);
            throw EDatabaseError(message, code);
        }
        if (!stmt)
            throw EDatabaseError("empty statement");
        // The text is prepared up to its first statement; anything after it
        // would silently be ignored, so it is refused instead.
        const std::string_view rest(tail, static_cast<size_t>(sql.data() + sql.size() - tail));
        if (!onlyBlanksAndSemicolons(rest)) {
            sqlite3_finalize(stmt);
            throw EDatabaseError("only one statement may be run at a time");
        }
        cached = true;
    }
    TSqlStatement statement(*this, stmt, cached);
    statement.Bind(params);
    return statement;
}

void TSqlConnection::giveBack(sqlite3_stmt *stmt) noexcept
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    const char *text = sqlite3_sql(stmt);
    if (!text || m_idle.size() >= kMaxIdleStatements || m_idle.count(std::string_view(text))) {
        sqlite3_finalize(stmt);
        return;
    }
    try {
        m_idle.emplace(text, stmt);
    } catch (const std::bad_alloc &e) {
        // Only the reuse is lost.
        qCWarning(lcStore) << "keeping a statement for reuse failed:" << e.what();
        sqlite3_finalize(stmt);
    }
}

void TSqlConnection::Execute(std::string_view sql, const std::vector<TSqlValue> &params)
{
    TSqlStatement statement = Prepare(sql, params);
    while (statement.Step()) {
    }
}

TSqlQuery TSqlConnection::Query(std::string_view sql, const std::vector<TSqlValue> &params)
{
    return TSqlQuery(Prepare(sql, params));
}

bool TSqlConnection::InTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

TSqlConnection::TChangeStamp TSqlConnection::ChangeStamp()
{
    TChangeStamp stamp;
    stamp.ownChanges = sqlite3_total_changes(m_db);
    TSqlQuery data = Query("PRAGMA data_version");
    if (data.Next())
        stamp.dataVersion = data.Integer(0);
    TSqlQuery schema = Query("PRAGMA schema_version");
    if (schema.Next())
        stamp.schemaVersion = schema.Integer(0);
    return stamp;
}

// -------------------------------------------------------------- transaction

TSqlTransaction::TSqlTransaction(TSqlConnection &connection) : m_connection(connection)
{
    m_connection.Execute("BEGIN IMMEDIATE");
}

TSqlTransaction::~TSqlTransaction()
{
    Rollback();
}

bool TSqlTransaction::Active() const
{
    return m_open && m_connection.InTransaction();
}

void TSqlTransaction::Execute(std::string_view sql, const std::vector<TSqlValue> &params)
{
    if (!Active())
        throw EDatabaseError("the transaction has ended", SQLITE_ABORT);
    m_connection.Execute(sql, params);
    // A statement that succeeded cannot end it, but be sure nothing runs
    // in autocommit mode after this one.
    if (!m_connection.InTransaction())
        throw EDatabaseError("the transaction has ended", SQLITE_ABORT);
}

TSqlQuery TSqlTransaction::Query(std::string_view sql, const std::vector<TSqlValue> &params)
{
    if (!Active())
        throw EDatabaseError("the transaction has ended", SQLITE_ABORT);
    return m_connection.Query(sql, params);
}

void TSqlTransaction::Commit()
{
    if (!m_open)
        return;
    if (!m_connection.InTransaction()) {
        m_open = false;
        throw EDatabaseError("the transaction has ended", SQLITE_ABORT);
    }
    m_connection.Execute("COMMIT");
    m_open = false;
}

void TSqlTransaction::Rollback() noexcept
{
    if (!m_open)
        return;
    m_open = false;
    // A failed statement may already have ended the transaction.
    if (!m_connection.InTransaction())
        return;
    try {
        m_connection.Execute("ROLLBACK");
    } catch (const std::exception &e) {
        // The engine's refusal (EDatabaseError) or memory: noexcept either way.
        qCWarning(lcStore) << "ROLLBACK failed:" << e.what();
    }
}
