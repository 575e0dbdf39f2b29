#include "UDataInterface.h"

#include <filesystem>
#include <vector>

#include "Settings.h"

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

} // namespace

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
    return ConnectDatabaseFile(DatabaseFilePath());
}

bool TDataInterface::ConnectDatabaseFile(const std::string &utf8Path)
{
    CloseDatabase();
    try {
        m_connection = std::make_unique<TSqlConnection>(utf8Path, DatabasePassword(),
                                                        TSqlConnection::OpenMode::ExistingOnly);
        return true;
    } catch (...) {
        m_connection.reset();
        return false;
    }
}

void TDataInterface::CloseDatabase()
{
    m_rowCounts.clear();
    m_connection.reset();
}

bool TDataInterface::ExecuteSQL(std::string_view sql, TSqlParams params) noexcept
{
    try {
        Connection().Execute(sql, toVector(params));
        return true;
    } catch (...) {
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
    connection.Execute(
        "CREATE TABLE gamerecord("
        "name TEXT NOT NULL DEFAULT '' CHECK(length(name) <= 50),"
        "score INTEGER NOT NULL DEFAULT 0,"
        "recoretime DATE)");
    transaction.Commit();
}
