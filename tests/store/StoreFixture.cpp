#include "StoreFixture.h"

#include <filesystem>

#include <QTemporaryDir>

#include "StoreProgress.h"
#include "UBookType.h"
#include "UImpExpLib.h"

namespace {

// Keying a new file costs a full key derivation; every test starts from a
// copy of one empty database made once per test program.
const std::string &emptyDatabase()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        std::string p = dir.path().toStdString() + "/empty.mdb";
        CreateStoreDatabase(p);
        return p;
    }();
    return path;
}

}  // namespace

StoreFixture::StoreFixture()
{
    WriteConfig(0);
    std::filesystem::copy_file(emptyDatabase(), DatabasePath());
    db = std::make_unique<TDataInterface>();
    if (!db->ConnectDatabase())
        throw std::runtime_error("the test database does not open");
    SetDataInterface(db.get());
}

StoreFixture::~StoreFixture()
{
    SetDataInterface(nullptr);
}

void StoreFixture::WriteConfig(int encrypt)
{
    dir.WriteFile("data/typeconfig.ini", std::string("[system]\r\ndata=kivrotype\r\nencrypt=")
                                             .append(std::to_string(encrypt))
                                             .append("\r\n"));
}

QString StoreFixture::WriteWordFile(const std::string &name, const std::string &bytes) const
{
    dir.WriteFile("lists/" + name, bytes);
    return QString::fromStdString(dir.Path("lists/" + name));
}

int StoreFixture::ImportBook(const std::string &gbkName, const std::vector<std::string> &lines,
                             int bookClass)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    const int id = NextBookId();
    TQuietProgress progress(false);
    const QString file =
        WriteWordFile(std::string("book").append(std::to_string(id)).append(".txt"), bytes);
    if (!ImportWordLibrary(file, gbkName, progress, bookClass))
        throw std::runtime_error("the test book was not imported");
    return id;
}

std::string NumberedSpelling(int k)
{
    return std::string("w").append(std::to_string(k));
}

int StoreFixture::ImportNumberedBook(const std::string &gbkName, int n, int bookClass)
{
    std::vector<std::string> lines;
    for (int k = 1; k <= n; ++k)
        lines.push_back(NumberedSpelling(k) + "[p" + std::to_string(k) + "]m" + std::to_string(k));
    return ImportBook(gbkName, lines, bookClass);
}

std::vector<TWordInfo> StoreFixture::TableRows(const std::string &gbkTable)
{
    std::vector<TWordInfo> rows;
    TSqlQuery query = db->Query("SELECT spelling, pronunciation, meaning FROM "
                                + QuoteIdentifier(GbkToUtf8(gbkTable)) + " ORDER BY id");
    while (query.Next()) {
        TWordInfo word;
        word.Spelling = Utf8ToGbk(query.Text(0));
        word.Pronunciation = Utf8ToGbk(query.Text(1));
        word.Meaning = Utf8ToGbk(query.Text(2));
        rows.push_back(word);
    }
    return rows;
}

std::int64_t StoreFixture::Scalar(const std::string &sql)
{
    TSqlQuery query = db->Query(sql);
    return query.Next() ? query.Integer(0) : -1;
}

std::unique_ptr<TSqlConnection> StoreFixture::OtherConnection() const
{
    return std::make_unique<TSqlConnection>(DatabasePath(), DatabasePassword(),
                                            TSqlConnection::OpenMode::ExistingOnly);
}

std::unique_ptr<THoldingChild> StoreFixture::HoldDatabase(const char *begin, bool reconnect)
{
    db->CloseDatabase();
    auto child = std::make_unique<THoldingChild>([this, begin] {
        // Lives until the child ends.
        static std::unique_ptr<TSqlConnection> held;
        held = OtherConnection();
        held->Execute(begin);
    });
    if (!reconnect)
        return child;
    if (!db->ConnectDatabase())
        throw std::runtime_error("the test database does not open again");
    // Waiting 5 s for every refused statement would only slow the tests.
    db->Connection().SetBusyTimeout(200);
    return child;
}
