#pragma once
// The logs as they travel through a sync server: each computer writes its new
// rows (LogMerge.h) as numbered, immutable segments, one file each, compressed,
// named after their number and the SHA-256 of their bytes. A computer holds
// the segments it wrote and those it merged, in its database (table
// syncsegment), so that it can upload them again to a server that lost them;
// a segment is held once its rows are merged, in the same transaction, so a
// segment is merged whole or not at all and a cut download is fetched again.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>

#include "ExplainedError.h"
#include "LogMerge.h"

// A segment whose bytes fail their checksum or do not read as one.
class ESegmentError : public EExplainedError {
public:
    using EExplainedError::EExplainedError;
    QString Reason() const override;
};

// "<number, 8 digits>-<SHA-256 of the file, 64 hex digits>.kseg".
std::string SegmentFileName(std::int64_t number, const QByteArray &file);
struct TSegmentName {
    std::int64_t Number = 0;
    std::string Sha256;  // lower-case hex
};
// The parts of a segment's file name; none for any other name (a file
// being uploaded, whatever else lies in the folder).
std::optional<TSegmentName> ParseSegmentFileName(const std::string &name);

// The file of a computer's segment.
QByteArray EncodeSegment(const std::string &computer, std::int64_t number, const TLogBatch &batch);
// The rows of the file fetched as name from computer's folder: its checksum,
// its header (the same computer and number) and every value are checked
// before anything is returned. Throws ESegmentError.
TLogBatch DecodeSegment(const std::string &computer, const std::string &name,
                        const QByteArray &file);

struct THeldSegment {
    std::string Computer;
    std::int64_t Number = 0;
    std::string Name;
    bool operator==(const THeldSegment &) const = default;
};

// Every segment the database holds, by computer and number. Throws EDatabaseError.
std::vector<THeldSegment> HeldSegments(TSqlConnection &connection);
// A held segment's file; empty when it is not held. Throws EDatabaseError.
QByteArray HeldSegmentFile(TSqlConnection &connection, const std::string &computer,
                           const std::string &name);

// Writes the installed database's rows that no held segment has yet as this
// computer's next segment, and holds it. None when there is nothing new.
// One short transaction; throws EDatabaseError with nothing held.
std::optional<THeldSegment> WriteOwnSegment();

// Checks a fetched segment (DecodeSegment), then merges its rows into the
// installed database and holds it, in one transaction. Throws ESegmentError
// for a bad file (nothing merged, nothing held), EDatabaseError when the
// merge fails (nothing changed).
TMergeResult MergeFetchedSegment(const std::string &computer, const std::string &name,
                                 const QByteArray &file);
