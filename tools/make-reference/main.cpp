// Builds the shipped reference database from the TSV files of a folder.
//
//   make-reference --dir DIR --out DB
//
// Every DIR/*.tsv becomes one table named after the file ("spelling-pairs.tsv"
// -> spelling_pairs); its first line names the columns, every other line is
// one row with as many tab-separated fields, UTF-8. The first column is the
// lookup key and gets an index. The files are read in name order and the
// rows in file order, so the same files give the same bytes. The database is
// plain (unencrypted) and replaces DB only when complete.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "SqlDatabase.h"
#include "WordFile.h"

namespace fs = std::filesystem;

namespace {

struct Failure {
    std::string message;
};

std::vector<std::string> splitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool isName(const std::string &name)
{
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::string tableName(const fs::path &file)
{
    std::string name = file.stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    if (!isName(name))
        throw Failure{file.string() + ": the file name must be lower-case letters, digits, - or _"};
    return name;
}

long loadTable(TSqlTransaction &db, const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Failure{"cannot read " + file.string()};
    const std::string table = QuoteIdentifier(tableName(file));
    std::string line;
    std::vector<std::string> columns;
    std::string insert;
    long rows = 0;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        if (!IsValidUtf8(line))
            throw Failure{where + "not UTF-8"};
        std::vector<std::string> fields = splitTabs(line);
        if (number == 1) {
            std::set<std::string> seen;
            std::string defs;
            std::string marks;
            for (const std::string &column : fields) {
                if (!isName(column) || !seen.insert(column).second)
                    throw Failure{where
                                  + "the first line must name distinct columns "
                                    "(lower-case letters, digits and _)"};
                defs += (defs.empty() ? "" : ", ") + QuoteIdentifier(column) + " TEXT NOT NULL";
                marks += marks.empty() ? "?" : ", ?";
            }
            columns = fields;
            std::string create = "CREATE TABLE " + table;
            create += " (" + defs + ")";
            db.Execute(create);
            db.Execute("CREATE INDEX " + QuoteIdentifier(tableName(file) + "_by_" + columns[0])
                       + " ON " + table + " (" + QuoteIdentifier(columns[0]) + ")");
            insert = "INSERT INTO " + table;
            insert += " VALUES (" + marks + ")";
            continue;
        }
        if (line.empty())
            continue;
        if (fields.size() != columns.size())
            throw Failure{where + "expected " + std::to_string(columns.size())
                          + " tab-separated fields, found " + std::to_string(fields.size())};
        db.Execute(insert, std::vector<TSqlValue>(fields.begin(), fields.end()));
        ++rows;
    }
    if (columns.empty())
        throw Failure{file.string() + ": empty, the first line must name the columns"};
    return rows;
}

void removeDatabase(const fs::path &db)
{
    std::error_code ec;
    fs::remove(db, ec);
    fs::remove(fs::path(db.string() + "-journal"), ec);
}

int build(const fs::path &dir, const fs::path &out)
{
    std::vector<fs::path> files;
    if (fs::is_directory(dir)) {
        for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file() && entry.path().extension() == ".tsv")
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());

    const fs::path part = out.string() + ".part";
    removeDatabase(part);
    try {
        {
            TSqlConnection db(part.string(), {}, TSqlConnection::OpenMode::CreateIfMissing);
            TSqlTransaction transaction(db);
            for (const fs::path &file : files) {
                const long rows = loadTable(transaction, file);
                std::printf("make-reference: %s: %ld rows\n", file.filename().string().c_str(),
                            rows);
            }
            transaction.Commit();
        }
        fs::rename(part, out);
    } catch (...) {
        // Cleans up and passes on whatever came, unchanged.
        removeDatabase(part);
        throw;
    }
    std::printf("make-reference: %zu tables in %s\n", files.size(), out.string().c_str());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: make-reference --dir DIR --out DB\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string dir;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return usage();
        if (arg == "--dir")
            dir = argv[++i];
        else if (arg == "--out")
            out = argv[++i];
        else
            return usage();
    }
    if (dir.empty() || out.empty())
        return usage();
    try {
        return build(dir, out);
    } catch (const Failure &f) {
        std::fprintf(stderr, "make-reference: %s\n", f.message.c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make-reference: %s\n", e.what());
    }
    return 1;
}
