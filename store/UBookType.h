#pragma once
// The book catalogue (table bookinfo), the book tree, toll-gate loading and
// the leaderboard records. Names and texts are GBK here, as everywhere in the
// core; the database holds them as UTF-8.

#include <cstdint>
#include <string>
#include <vector>

#include "Records.h"

class TSqlQuery;

// Word orders of bookinfo.booktype and TGamePara::BookType.
inline constexpr int kBookTypeLetter = 0;
inline constexpr int kBookTypeShuffled = 2;

inline constexpr int kFirstBookClass = 1;
inline constexpr int kLastBookClass = 8;
// The classes the import offers (the last one is the new-words book).
inline constexpr int kLastImportClass = 7;

// Caption of a book class 1 … 8 (GBK); empty for any other number.
std::string BookClassCaption(int bookClass);

// Largest book id plus 1; 1 for an empty catalogue. Throws on an engine error.
int NextBookId();

// Each reads the first row of its query. An engine error propagates.
int GetBookWordNumber(int id);                         // -1 when no row
std::string GetBookTableName(int id);                  // empty when no row
std::string GetBookName(int id);                       // empty when no row
int GetBookClass(int id);                              // -1 when no row
int GetBookId(const std::string &name, int bookType);  // -1 when no row
bool BookNameExists(const std::string &name);          // any book type

// What FillBookTree needs of the selection dialog's tree: two levels, class
// nodes on top, book nodes carrying the book's id below them.
class TBookTree {
public:
    virtual ~TBookTree() = default;
    virtual void Clear() = 0;
    // Adds a top-level node; the result identifies it for AddBookNode.
    virtual int AddClassNode(const std::string &caption) = 0;
    virtual void AddBookNode(int classNode, const std::string &caption, int id) = 0;
    // A book the player has hidden, listed only when asked for.
    virtual void AddHiddenBookNode(int classNode, const std::string &caption, int id)
    {
        AddBookNode(classNode, caption, id);
    }
    // Drops the ids the book nodes carry.
    virtual void ReleaseBookIds() = 0;
};

// Class 8 first, then 1 … 7; a class is shown when it has a default book,
// its books only when they have words. With withHidden, hidden books (in
// their own order, isdefault 0) are listed too and count for their class.
void FillBookTree(TBookTree &tree, bool withHidden = false);
void FreeBookTreeData(TBookTree &tree);

// Replaces Words with toll gate N (from 1; N ≤ 0 reads as 1) of the book in
// Para.StoreTableName, Para.WordsPerGate words a toll gate. False for an
// empty or missing table and on any error (words read before an error stay);
// beyond the last toll gate the list is empty and the result true. Never throws.
bool LoadTollGateWords(const TGamePara &Para, int N, TWordInfos &Words);

// The word of a row whose first three columns are spelling, pronunciation and
// meaning as stored, unscrambled when scrambled is set (blank texts read as empty).
TWordInfo WordFromStoredRow(const TSqlQuery &row, bool scrambled);

// Inserts one leaderboard record dated today (the program clock). The name is
// stored exactly as typed. Throws EDatabaseError when the engine refuses it
// (a name of more than 50 characters, a full disk, a locked or read-only
// database); one statement, so nothing is half stored. Returns true.
bool AddGameRecord(const std::string &name, int score);

struct TGameRecordItem {
    int Rank = 0;      // 1 … 20, consecutive even for equal scores
    std::string Name;  // GBK
    std::int64_t Score = 0;
    bool operator==(const TGameRecordItem &) const = default;
};

// The 20 best records, highest score first. Throws on an engine error.
std::vector<TGameRecordItem> LoadGameRecords();
