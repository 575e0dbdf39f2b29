#include "UDataInterface.h"

#include <filesystem>
#include <vector>

#include "IniFile.h"
#include "SchemaVersion.h"
#include "Settings.h"
#include "StoreLog.h"

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace {

TDataInterface *&installed()
{
    static TDataInterface *instance = nullptr;
    return instance;
}

std::vector<TSqlValue> toVector(TSqlParams params)
{
    return std::vector<TSqlValue>(params.begin(), params.end());
}

}  // namespace

std::string_view DatabasePassword()
{
    return "QZWK@3817#tlmv";
}

std::string DatabaseFilePath()
{
    return ProgramPath("data/" + GetDatabaseFileName());
}

TDataInterface::TDataInterface() = default;

TDataInterface::~TDataInterface()
{
    if (installed() == this)
        installed() = nullptr;
    CloseDatabase();
}

bool TDataInterface::ConnectDatabase()
{
    CloseDatabase();
    // Unreadable settings would name the database ".mdb": say what is wrong.
    if (TIniFile(ConfigFilePath()).ReadFailed()) {
        m_connectFailure = TConnectFailure::SettingsUnreadable;
        m_failedPath = ConfigFilePath();
        return false;
    }
    return ConnectDatabaseFile(DatabaseFilePath());
}

bool TDataInterface::ConnectDatabaseReadOnly()
{
    CloseDatabase();
    if (TIniFile(ConfigFilePath()).ReadFailed()) {
        m_connectFailure = TConnectFailure::SettingsUnreadable;
        m_failedPath = ConfigFilePath();
        return false;
    }
    return connectFile(DatabaseFilePath(), true);
}

bool TDataInterface::ConnectDatabaseFile(const std::string &utf8Path)
{
    return connectFile(utf8Path, false);
}

bool TDataInterface::connectFile(const std::string &utf8Path, bool readOnly)
{
    CloseDatabase();
    m_connectFailure = TConnectFailure::DatabaseUnusable;
    m_failedPath = utf8Path;
    try {
        auto connection = std::make_unique<TSqlConnection>(
            utf8Path, DatabasePassword(),
            readOnly ? TSqlConnection::OpenMode::ReadOnly : TSqlConnection::OpenMode::ExistingOnly);
        // A file of a newer program may hold what this one would damage.
        if (const int version = ReadSchemaVersion(*connection); version > CurrentSchemaVersion()) {
            qCWarning(lcStore) << "refused: schema version" << version << "is newer than"
                               << CurrentSchemaVersion();
            return false;
        }
        // An empty file opens as an empty database: without its tables it is none.
        TSqlQuery tables =
            connection->Query("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                              "AND lower(name) IN ('bookinfo', 'gamerecord')");
        if (!tables.Next() || tables.Integer(0) != 2)
            return false;
        if (readOnly) {
            if (const int version = ReadSchemaVersion(*connection);
                version != CurrentSchemaVersion()) {
                qCDebug(lcStore) << "not read: schema version" << version << "is not"
                                 << CurrentSchemaVersion();
                return false;
            }
        } else if (MigrateDatabase(*connection, utf8Path) == TMigrationResult::TooNew) {
            return false;
        }
        m_connection = std::move(connection);
        m_path = utf8Path;
        m_connectFailure = TConnectFailure::None;
        m_failedPath.clear();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore).noquote()
            << "opening" << QString::fromStdString(utf8Path) << "failed:" << e.what();
        if (e.Code() == SQLITE_BUSY || e.Code() == SQLITE_LOCKED)
            m_connectFailure = TConnectFailure::DatabaseLocked;
        return false;
    } catch (const std::exception &e) {
        // The copy before a migration (the file system) or memory; start-up
        // turns any failure into its message.
        qCWarning(lcStore) << "opening the database failed:" << e.what();
        return false;
    }
}

QString TDataInterface::ConnectFailureMessage() const
{
    const QString path = QString::fromStdString(m_failedPath);
    switch (m_connectFailure) {
    case TConnectFailure::None:
        return {};
    case TConnectFailure::SettingsUnreadable:
        return QStringLiteral("无法读取设置文件：") + path;
    case TConnectFailure::DatabaseLocked:
        return QStringLiteral("单词数据库正被其他程序使用：") + path;
    case TConnectFailure::DatabaseUnusable:
        break;
    }
    return QStringLiteral("无法打开单词数据库：") + path;
}

QString DatabaseFailureReason(const EDatabaseError &error)
{
    switch (error.Code()) {
    case SQLITE_FULL:
        return QStringLiteral("磁盘空间不足。");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("单词数据库正被其他程序使用。");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("单词数据库不允许写入。");
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return QStringLiteral("读写单词数据库的文件时出错。");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("单词数据库已损坏。");
    case SQLITE_CONSTRAINT:
    case SQLITE_TOOBIG:
        return QStringLiteral("内容超出了单词数据库允许的长度。");
    default:
        return QStringLiteral("单词数据库出错。");
    }
}

QString EDatabaseError::Reason() const
{
    return DatabaseFailureReason(*this);
}

void TDataInterface::CloseDatabase()
{
    m_rowCounts.clear();
    m_connection.reset();
    m_path.clear();
}

bool TDataInterface::ExecuteSQL(std::string_view sql, TSqlParams params) noexcept
{
    try {
        Connection().Execute(sql, toVector(params));
        return true;
    } catch (const std::exception &e) {
        // The engine's refusal (EDatabaseError) or memory: never thrown on.
        qCWarning(lcStore).noquote()
            << "statement failed:" << e.what() << "in"
            << QString::fromUtf8(sql.data(), static_cast<qsizetype>(sql.size()));
        return false;
    }
}

TSqlQuery TDataInterface::Query(std::string_view sql, TSqlParams params)
{
    return Connection().Query(sql, toVector(params));
}

TSqlConnection &TDataInterface::Connection()
{
    if (!m_connection)
        throw EDatabaseError("数据库没有打开");
    return *m_connection;
}

std::int64_t TDataInterface::CountRows(const std::string &utf8Table)
{
    TSqlConnection &connection = Connection();
    const TSqlConnection::TChangeStamp stamp = connection.ChangeStamp();
    if (auto it = m_rowCounts.find(utf8Table); it != m_rowCounts.end() && it->second.stamp == stamp)
        return it->second.rows;
    TSqlQuery query = connection.Query("SELECT count(*) FROM " + QuoteIdentifier(utf8Table));
    const std::int64_t rows = query.Next() ? query.Integer(0) : 0;
    m_rowCounts[utf8Table] = CachedCount{stamp, rows};
    return rows;
}

TDataInterface &DataInterface()
{
    if (!installed())
        throw EDatabaseError("数据库没有打开");
    return *installed();
}

void SetDataInterface(TDataInterface *instance)
{
    installed() = instance;
}

void ReleaseDatabaseMemory() noexcept
{
    if (installed() != nullptr && installed()->Connected())
        installed()->Connection().ReleaseMemory();
}

void CreateStoreDatabase(const std::string &utf8Path)
{
    std::error_code ec;
    if (std::filesystem::exists(utf8Path, ec))
        throw EDatabaseError("the database file exists already: " + utf8Path);
    TSqlConnection connection(utf8Path, DatabasePassword(),
                              TSqlConnection::OpenMode::CreateIfMissing);
    TSqlTransaction transaction(connection);
    // Book ids are assigned by the program (largest id plus 1), never by the engine.
    connection.Execute(
        "CREATE TABLE bookinfo("
        "id INTEGER NOT NULL PRIMARY KEY,"
        "bookname TEXT NOT NULL DEFAULT '' CHECK(length(bookname) <= 255),"
        "wordnumber INTEGER NOT NULL DEFAULT 0,"
        "storetablename TEXT NOT NULL DEFAULT '' CHECK(length(storetablename) <= 255),"
        "booktype INTEGER NOT NULL DEFAULT 0,"
        "bookclass INTEGER NOT NULL DEFAULT 0,"
        "isdefault INTEGER NOT NULL DEFAULT 0,"
        // A name is looked up per word order: one book and one shuffled copy.
        "UNIQUE(bookname, booktype))");
    connection.Execute("CREATE TABLE gamerecord("
                       "name TEXT NOT NULL DEFAULT '' CHECK(length(name) <= 50),"
                       "score INTEGER NOT NULL DEFAULT 0,"
                       "recoretime DATE)");
    // A new file has today's schema and needs no migration: the steps after
    // the first shipped one add what it lacks.
    for (const TMigrationStep &step : SchemaMigrations())
        step(transaction);
    StampSchemaVersion(transaction, CurrentSchemaVersion());
    transaction.Commit();
}
