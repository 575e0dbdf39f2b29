#pragma once
// Importing word libraries from text files and building shuffled copies of
// books. Table and book names are GBK. Each import and each shuffled copy
// writes in one short transaction, after everything has been read and every
// question answered: a crash, a kill, a full disk or a locked database
// leaves the database as it was before, and no lock waits for the player.

#include <string>

#include <QString>

#include "Records.h"
#include "StoreProgress.h"
#include "WordList.h"

bool AddLibraryBookInfo(const std::string &BookName, const std::string &TableName, int WordNumber,
                        int Id, int BookType, int BookClass, int IsDefault);
// Replaces the catalogue row of (BookName, BookType) by one for the copy, in
// the class of the source book. False on any error.
bool RegisterShuffledBook(int NewId, int WordCount, const std::string &BookName,
                          const std::string &TableName, int BookType, int SourceId);

// Builds "randomlib" + SourceId holding the source book's rows in one random
// order (as stored: scrambled text stays scrambled) and registers it. The id
// of the copy, or -1 when it cannot be built, also for an engine failure (a
// locked database, a full disk); nothing is left behind then, and a leftover
// table of that name is left alone. Progress counts both passes (2 × rows).
int BuildShuffledBook(int SourceId, const std::string &BookName, TStoreProgress &Progress);

// Parses one GBK line and inserts it, scrambled when the settings say so.
// False, with nothing inserted, for a line that is not valid GBK, has a blank
// spelling, or is refused by the engine (a piece longer than its column).
bool ImportWordLine(const std::string &Line, const std::string &TableName);

// Imports FileName as a new book "lib" + NextBookId() (see ImportWordLibraryAs).
bool ImportWordLibrary(const QString &FileName, const std::string &BookName,
                       TStoreProgress &Progress, int BookClass);

// The whole import of a file in the brackets layout, read in the encoding
// DecideWordFileEncoding finds, as book Id (NextBookId() when Id ≤ 0); see
// ImportWordListAs. Throws EWordFileError when the file cannot be read.
bool ImportWordLibraryAs(const QString &FileName, const std::string &BookName,
                         TStoreProgress &Progress, int BookClass, int Id);

// Imports a list already read (the import dialog's preview) as a new book.
bool ImportWordList(const TWordList &List, const std::string &BookName, TStoreProgress &Progress,
                    int BookClass);

// The rows of List become book Id (NextBookId() when Id ≤ 0). First every
// error line asks Progress, in line order with its line number, whether to
// skip it; No ends the import with false and nothing written. Then the table, its rows and the catalogue row are written in one
// transaction. False, with nothing written, also for an Id the catalogue
// holds, a file that gives no row at all (no lines, only error lines) and any
// engine failure (a locked database, a full disk). On success the book is
// registered with the number of rows stored. Progress counts both passes
// (2 × lines).
bool ImportWordListAs(const TWordList &List, const std::string &BookName, TStoreProgress &Progress,
                      int BookClass, int Id);

// Adds every book (word order 0) of another database file, the one installed
// with the program, that the connected database lacks by name, as a new book
// "lib" + NextBookId() with the shipped class and default flag. Nothing of the
// connected database's own books, copies or scores changes. Texts are read
// scrambled or not as ShippedScrambled says and stored as the settings say.
// Each book is written in one transaction. The number of books added, or -1
// when the file cannot be read or a book could not be written (the books
// before it stay).
int AddShippedBooks(const std::string &ShippedPath, bool ShippedScrambled);
