#pragma once
// A program folder with a fresh, empty word database, connected and installed
// as the program's data module.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "GbkText.h"
#include "Records.h"
#include "TempProgramDir.h"
#include "UDataInterface.h"

class StoreFixture : public ::testing::Test {
public:
    // A connection of another process to the test database (a fork never
    // takes one along).
    std::unique_ptr<TSqlConnection> OtherConnection() const;

protected:
    StoreFixture();
    ~StoreFixture() override;

    // Settings file with data=kivrotype and the given encrypt value.
    void WriteConfig(int encrypt = 0);
    std::string DatabasePath() const { return dir.Path("data/kivrotype.mdb"); }
    // Writes a word-library file (bytes as given) and returns its full path.
    QString WriteWordFile(const std::string &name, const std::string &bytes) const;
    // Imports the lines (GBK, joined with CR LF) as a book; returns its id.
    int ImportBook(const std::string &gbkName, const std::vector<std::string> &lines,
                   int bookClass = 4);
    // A book of n words "w1[p1]m1" … imported through the program's import.
    int ImportNumberedBook(const std::string &gbkName, int n, int bookClass = 4);
    // Rows of a word table in id order, as the program reads them back.
    std::vector<TWordInfo> TableRows(const std::string &gbkTable);
    std::int64_t Scalar(const std::string &sql);
    // A second process that holds the database with the given BEGIN until
    // released. The test's own connection is opened again, with a short busy
    // timeout, unless the lock keeps readers out.
    std::unique_ptr<THoldingChild> HoldDatabase(const char *begin, bool reconnect = true);

    TempProgramDir dir{TempProgramDir::Contents::DataDirOnly};
    std::unique_ptr<TDataInterface> db;
};

// "w<k>" words as the numbered books hold them.
std::string NumberedSpelling(int k);
