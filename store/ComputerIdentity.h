#pragma once
// Which computer wrote a row: every computer has a random id, made the first
// time it writes a row that travels to other computers (table computer, one
// row), and numbers its rows in one sequence. A row's global id is that pair;
// it never changes, so the logs of two computers merge row by row.
//
// The machine id and the data folder are recorded with the id: a folder
// copied to another computer, or to another folder of this one, would
// otherwise write rows under the same global ids as the original, and those
// rows would be taken for each other's. EnsureComputerIdentity tells the copy
// and gives it an id of its own before it writes.

#include <cstdint>
#include <optional>
#include <string>

class TSqlConnection;
class TSqlTransaction;

struct TComputerIdentity {
    std::string Id;         // 32 lower-case hexadecimal digits
    std::string MachineId;  // as recorded; empty: not yet recorded
    std::string Folder;     // UTF-8, absolute; empty: not yet recorded
    std::int64_t NextSequence = 1;
};

// /etc/machine-id (or D-Bus's copy of it), trimmed; empty when neither reads.
std::string ReadMachineId();

// A new random id (the system's random source).
std::string NewComputerId();

// The recorded identity; none before the first. Throws EDatabaseError.
std::optional<TComputerIdentity> ReadComputerIdentity(TSqlConnection &connection);

// Makes sure the identity belongs to this machine and folder: none, or one
// recorded with another machine id or folder, is replaced by a new id (its
// sequence from 1; the rows written under the old id keep it); one whose
// machine id and folder were not recorded yet (made by a schema step) gets
// them. Returns the id in force. One short transaction, and none when
// nothing changes; throws EDatabaseError.
std::string EnsureComputerIdentity(TSqlConnection &connection, const std::string &machineId,
                                   const std::string &utf8Folder);

// The first of count global ids reserved inside the caller's transaction:
// sequence numbers first … first + count - 1 are the caller's. Without an
// identity, one is made for this machine and the database's folder
// (utf8Folder). Throws EDatabaseError.
struct TGlobalIdRange {
    std::string Computer;
    std::int64_t First = 0;
};
TGlobalIdRange ReserveGlobalIds(TSqlTransaction &transaction, std::int64_t count,
                                const std::string &utf8Folder);

// The same for the installed data module's database.
TGlobalIdRange ReserveGlobalIds(TSqlTransaction &transaction, std::int64_t count);

// The folder recorded for a database file: its directory, absolute and
// without symbolic links where it exists.
std::string DatabaseFolderOf(const std::string &utf8DatabasePath);
