#pragma once
// What two computers' databases are compared by after their logs were merged
// or synced, and how the tests play on them: rows recorded as the game does,
// another player folder's database installed for a while.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "MemoryParameters.h"
#include "SqlDatabase.h"
#include "UDataInterface.h"
#include "WordMemory.h"

// Every row of a table, every column but the local row id, in the order given.
std::vector<std::string> rowsOf(TSqlConnection &connection, const std::string &table,
                                const std::string &order);

// What a learner sees of the memory, and the logs it is made from.
struct TLearnerState {
    std::vector<std::string> Memory, Reviews, Slips, Plays, Parameters, Scores;
    std::vector<std::string> NewWords;
    std::vector<std::string> Leaderboard;
    bool operator==(const TLearnerState &) const = default;
};

TLearnerState stateOf(TDataInterface &db);

TWordMeeting meeting(const TWordInfo &word, TRating rating, int bookId, int row);

// Records as the game does: with the parameters in force.
void record(std::int64_t at, int bookId, const std::vector<TWordMeeting> &words);

TFsrsParameters otherParameters();

// Another player folder's database, made empty, installed while in use.
class TOtherDatabase {
public:
    TOtherDatabase()
    {
        m_path = m_dir.path().toStdString() + "/other.mdb";
        CreateStoreDatabase(m_path);
        if (!m_db.ConnectDatabaseFile(m_path))
            throw std::runtime_error("the other database does not open");
    }
    TDataInterface &Db() { return m_db; }
    const std::string &Path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    std::string m_path;
    TDataInterface m_db;
};

// Installs a database for the scope, then the fixture's again.
class TUsing {
public:
    TUsing(TDataInterface &db, TDataInterface &back) : m_back(back) { SetDataInterface(&db); }
    ~TUsing() { SetDataInterface(&m_back); }
    TUsing(const TUsing &) = delete;
    TUsing &operator=(const TUsing &) = delete;

private:
    TDataInterface &m_back;
};
