// Builds the word database of a program folder from the shipped word books.
//
//   make-database --manifest FILE --out DB [--program-dir DIR]
//
// The manifest is UTF-8, one book a line: id TAB name TAB class TAB file, the
// file relative to the manifest's folder; blank lines and lines starting with
// "#" are skipped. Each book is imported with the program's own import, as
// book number id. An error line fails the whole build and nothing is written;
// an existing DB is never overwritten. With --program-dir, the settings of
// that folder decide whether word text is stored scrambled.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "GbkText.h"
#include "Settings.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UImpExpLib.h"
#include "WordFile.h"

namespace fs = std::filesystem;

namespace {

struct Book {
    int id = 0;
    std::string name;  // GBK
    int bookClass = 0;
    fs::path file;
    int manifestLine = 0;
};

struct Failure {
    std::string message;
};

// Remembers which line an error question was about: the position counts the
// lines done before it.
class BuildProgress final : public TQuietProgress {
public:
    BuildProgress() : TQuietProgress(false) {}
    bool AskYesNo(const QString &question) override
    {
        m_errorLine = Position() + 1;
        return TQuietProgress::AskYesNo(question);
    }
    int ErrorLine() const { return m_errorLine; }

private:
    int m_errorLine = 0;
};

std::optional<int> parseInt(const std::string &text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return std::stoi(text);
}

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

std::vector<Book> readManifest(const fs::path &manifest)
{
    std::ifstream in(manifest, std::ios::binary);
    if (!in)
        throw Failure{"cannot read the manifest " + manifest.string()};
    const fs::path base = manifest.parent_path();
    std::vector<Book> books;
    std::set<int> ids;
    std::set<std::string> names;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        const std::string where = manifest.string() + ":" + std::to_string(number) + ": ";
        const std::vector<std::string> fields = splitTabs(line);
        if (fields.size() != 4)
            throw Failure{where + "expected id, name, class and file separated by tabs"};
        Book book;
        book.manifestLine = number;
        const std::optional<int> id = parseInt(fields[0]);
        if (!id || *id < 1)
            throw Failure{where + "the id must be a positive number"};
        book.id = *id;
        if (!IsValidUtf8(fields[1]) || fields[1].empty())
            throw Failure{where + "the name must be non-empty UTF-8"};
        const std::optional<std::string> name = Utf8ToGbkStrict(fields[1]);
        if (!name)
            throw Failure{where + "the name holds a character GBK cannot represent"};
        book.name = *name;
        const std::optional<int> bookClass = parseInt(fields[2]);
        if (!bookClass || *bookClass < kFirstBookClass || *bookClass > kLastBookClass)
            throw Failure{where + "the class must be a number from 1 to 8"};
        book.bookClass = *bookClass;
        if (fields[3].empty())
            throw Failure{where + "no file named"};
        book.file = base / fields[3];
        if (!fs::is_regular_file(book.file))
            throw Failure{where + "no such file " + book.file.string()};
        if (!ids.insert(book.id).second)
            throw Failure{where + "the id " + fields[0] + " is used twice"};
        if (!names.insert(book.name).second)
            throw Failure{where + "the name " + fields[1] + " is used twice"};
        books.push_back(std::move(book));
    }
    if (books.empty())
        throw Failure{"the manifest " + manifest.string() + " names no book"};
    return books;
}

void removeDatabase(const fs::path &db)
{
    std::error_code ec;
    fs::remove(db, ec);
    fs::remove(fs::path(db.string() + "-journal"), ec);
}

int build(const fs::path &manifest, const fs::path &out)
{
    if (fs::exists(out)) {
        std::fprintf(stderr, "make-database: %s exists already; it is never overwritten\n",
                     out.string().c_str());
        return 1;
    }
    const std::vector<Book> books = readManifest(manifest);

    // Built beside the target and renamed at the end, so a failed or killed
    // build never leaves a database that looks complete.
    const fs::path part = out.string() + ".part";
    removeDatabase(part);
    CreateStoreDatabase(part.string());
    long words = 0;
    try {
        TDataInterface db;
        if (!db.ConnectDatabaseFile(part.string()))
            throw Failure{"cannot open the new database " + part.string()};
        SetDataInterface(&db);
        for (const Book &book : books) {
            BuildProgress progress;
            const QString file = QString::fromStdString(book.file.string());
            if (!ImportWordLibraryAs(file, book.name, progress, book.bookClass, book.id)) {
                if (progress.ErrorLine() > 0)
                    throw Failure{book.file.string() + ":" + std::to_string(progress.ErrorLine())
                                  + ": not a word line (spelling[pronunciation]meaning)"};
                throw Failure{book.file.string() + ": the book could not be imported"
                              + std::string(progress.Maximum() == 0 ? " (the file is empty)" : "")};
            }
            const int count = GetBookWordNumber(book.id);
            std::printf("make-database: book %d %s: %d words\n", book.id,
                        GbkToUtf8(book.name).c_str(), count);
            words += count;
        }
        SetDataInterface(nullptr);
    } catch (...) {
        // Cleans up and passes on whatever came, unchanged.
        SetDataInterface(nullptr);
        removeDatabase(part);
        throw;
    }
    fs::rename(part, out);
    std::printf("make-database: %zu books, %ld words in %s\n", books.size(), words,
                out.string().c_str());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: make-database --manifest FILE --out DB [--program-dir DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string manifest;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return usage();
        if (arg == "--manifest")
            manifest = argv[++i];
        else if (arg == "--out")
            out = argv[++i];
        else if (arg == "--program-dir")
            SetProgramDir(argv[++i]);
        else
            return usage();
    }
    if (manifest.empty() || out.empty())
        return usage();
    try {
        return build(manifest, out);
    } catch (const Failure &f) {
        std::fprintf(stderr, "make-database: %s\n", f.message.c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make-database: %s\n", e.what());
    }
    return 1;
}
