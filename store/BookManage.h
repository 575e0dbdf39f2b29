#pragma once
// Keeping the book tree tidy: deleting and renaming imported books, hiding
// the shipped ones. Names are GBK. Each change is one transaction: it is
// made whole or not at all.

#include <optional>
#include <string>

// The eight books the program ships with (ids 101 … 107 and 109): they can
// be hidden from the tree and shown again, never deleted or renamed.
bool IsShippedBook(int id);

// A hidden book keeps its words; the tree lists it only when asked to.
bool IsBookHidden(int id);
// Sets isdefault to 0 (hidden) or 1. False when no book has that id or the
// engine refuses (a locked database).
bool SetBookHidden(int id, bool hidden);

// Deletes an imported book: its word table, its catalogue row and its
// shuffled copy (table and row). False, with nothing changed, for a shipped
// book, an id no book in its own order has, and any engine failure.
bool DeleteBook(int id);

// Renames an imported book and its shuffled copy. The caller checks the name
// (not empty, GBK, free); False, with nothing changed, for a shipped book, an
// unknown id, a name in use and any engine failure.
bool RenameBook(int id, const std::string &newName);

// The catalogue row (a book in its own order or a shuffled copy) whose word
// table is TableName, compared without regard to case; the lowest id wins.
struct TBookRow {
    int Id = 0;
    std::string Name;
    int WordNumber = 0;
};
std::optional<TBookRow> FindBookByTable(const std::string &TableName);
