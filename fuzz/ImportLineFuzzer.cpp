// An import line comes from any text file: whatever its bytes, the line is
// either stored as its three pieces (checked against the table's limits) or
// refused with nothing stored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "GbkText.h"
#include "Scramble.h"
#include "Settings.h"
#include "UDataInterface.h"
#include "UImpExpLib.h"
#include "WordLine.h"
#include "WordTables.h"

namespace {

struct Store {
    Store()
    {
        char name[] = "/tmp/kivro-fuzz-import-XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        folder = name;
        const char *dir = name;
        SetProgramDir(dir);
        const std::string data = std::string(dir) + "/data";
        if (::mkdir(data.c_str(), 0755) != 0)
            std::abort();
        CreateStoreDatabase(data + "/kivrotype.mdb");
        FILE *ini = std::fopen((data + "/typeconfig.ini").c_str(), "wb");
        std::fputs("[system]\r\ndata=kivrotype\r\nencrypt=0\r\n", ini);
        std::fclose(ini);
        if (!db.ConnectDatabase())
            std::abort();
        SetDataInterface(&db);
        if (!CreateLibraryTable("lib1"))
            std::abort();
        // Never committed: the disk is not what is being fuzzed.
        transaction = std::make_unique<TSqlTransaction>(db.Connection());
    }
    ~Store()
    {
        transaction.reset();
        SetDataInterface(nullptr);
        db.CloseDatabase();
        std::filesystem::remove_all(folder);
    }
    std::string folder;  // removed when the run ends
    TDataInterface db;
    std::unique_ptr<TSqlTransaction> transaction;
};

std::int64_t rows(TDataInterface &db)
{
    TSqlQuery q = db.Query("SELECT count(*) FROM lib1");
    return q.Next() ? q.Integer(0) : -1;
}

size_t characters(std::string_view utf8)
{
    size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Store store;
    const std::string line(reinterpret_cast<const char *>(data), size);
    const std::int64_t before = rows(store.db);
    const bool stored = ImportWordLine(line, "lib1");
    if (rows(store.db) != before + (stored ? 1 : 0))
        std::abort();

    const TWordLine word = SplitWordLine(line);
    // The pieces are the line's own bytes.
    if (!word.Spelling.empty()
        && (line.compare(0, word.Spelling.size(), word.Spelling) != 0
            || line[word.Spelling.size()] != '['))
        std::abort();
    if (word.Meaning.size() > line.size()
        || line.compare(line.size() - word.Meaning.size(), word.Meaning.size(), word.Meaning) != 0)
        std::abort();
    if (line.find(word.Pronunciation) == std::string::npos)
        std::abort();

    const bool valid = line.find('\0') == std::string::npos && GbkToQStringStrict(line)
                       && !IsBlankText(word.Spelling);
    const std::string spelling = GbkToUtf8(word.Spelling);
    const std::string pronunciation = GbkToUtf8(ConvertPhoneticDigits(word.Pronunciation));
    const std::string meaning = GbkToUtf8(word.Meaning);
    const bool fits = characters(spelling) <= 255 && characters(pronunciation) <= 200
                      && characters(meaning) <= 255;
    if (stored != (valid && fits))
        std::abort();
    if (stored) {
        TSqlQuery q = store.db.Query(
            "SELECT spelling, pronunciation, meaning FROM lib1 ORDER BY id DESC LIMIT 1");
        if (!q.Next() || q.Text(0) != spelling || q.Text(1) != pronunciation
            || q.Text(2) != meaning)
            std::abort();
    }
    return 0;
}
