#include "SyncSegments.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

#include "ComputerIdentity.h"
#include "StoreLog.h"
#include "UDataInterface.h"

namespace {

// The first bytes of every segment; the rest is qCompress'ed.
const QByteArray kMagic = QByteArrayLiteral("KVSEG1\n");
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
constexpr std::int64_t kNumberDigits = 8;

enum : quint8 { kNull = 0, kInteger = 1, kText = 2, kReal = 3 };

QByteArray bytesOf(const std::string &s)
{
    return {s.data(), static_cast<qsizetype>(s.size())};
}

std::string stringOf(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

QString sha256Hex(const QByteArray &file)
{
    return QString::fromLatin1(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex());
}

void writeValue(QDataStream &out, const TSqlValue &value)
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        out << quint8{kInteger} << qint64{*i};
    else if (const auto *d = std::get_if<double>(&value))
        out << quint8{kReal} << *d;
    else if (const auto *s = std::get_if<std::string>(&value))
        out << quint8{kText} << bytesOf(*s);
    else
        out << quint8{kNull};
}

[[noreturn]] void bad(const std::string &what)
{
    throw ESegmentError("bad segment: " + what);
}

TSqlValue readValue(QDataStream &in)
{
    quint8 tag = 0;
    in >> tag;
    switch (tag) {
    case kNull:
        return TSqlNull{};
    case kInteger: {
        qint64 i = 0;
        in >> i;
        return std::int64_t{i};
    }
    case kReal: {
        double d = 0;
        in >> d;
        return d;
    }
    case kText: {
        QByteArray s;
        in >> s;
        return stringOf(s);
    }
    default:
        bad("unknown value type");
    }
}

// The last sequence number of each computer among the segments held.
std::map<std::string, std::int64_t> readCovered(TSqlTransaction &transaction)
{
    std::map<std::string, std::int64_t> covered;
    TSqlQuery rows = transaction.Query("SELECT origin, lastseq FROM synccovered");
    while (rows.Next())
        covered[rows.Text(0)] = rows.Integer(1);
    return covered;
}

// Holds a segment and raises the covered sequence numbers to its rows'.
void holdSegment(TSqlTransaction &transaction, const std::string &computer, std::int64_t number,
                 const std::string &name, const QByteArray &file, const TLogBatch &batch)
{
    transaction.Execute(
        "INSERT OR IGNORE INTO syncsegment(computer, number, name, body) VALUES(?, ?, ?, ?)",
        {computer, std::int64_t{number}, name, stringOf(file.toBase64())});
    std::map<std::string, std::int64_t> last;
    for (const TLogRows &rows : batch.Tables)
        for (const std::vector<TSqlValue> &row : rows.Rows) {
            const auto *origin = std::get_if<std::string>(&row[0]);
            const auto *seq = std::get_if<std::int64_t>(&row[1]);
            if (origin && seq)
                last[*origin] = std::max(last[*origin], *seq);
        }
    for (const auto &[origin, seq] : last) {
        transaction.Execute("INSERT OR IGNORE INTO synccovered(origin, lastseq) VALUES(?, 0)",
                            {origin});
        transaction.Execute("UPDATE synccovered SET lastseq = max(lastseq, ?) WHERE origin = ?",
                            {seq, origin});
    }
}

}  // namespace

QString ESegmentError::Reason() const
{
    return QStringLiteral("同步文件已损坏。");
}

std::string SegmentFileName(std::int64_t number, const QByteArray &file)
{
    const QString digits =
        QStringLiteral("%1").arg(number, static_cast<int>(kNumberDigits), 10, QLatin1Char('0'));
    return QString(digits + QLatin1Char('-') + sha256Hex(file) + QStringLiteral(".kseg"))
        .toStdString();
}

std::optional<TSegmentName> ParseSegmentFileName(const std::string &name)
{
    constexpr size_t kShaDigits = 64;
    const std::string suffix = ".kseg";
    const size_t dash = name.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 18
        || name.size() != dash + 1 + kShaDigits + suffix.size()
        || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    const std::string digits = name.substr(0, dash);
    const std::string sha = name.substr(dash + 1, kShaDigits);
    if (digits.find_first_not_of("0123456789") != std::string::npos
        || sha.find_first_not_of("0123456789abcdef") != std::string::npos)
        return std::nullopt;
    return TSegmentName{std::stoll(digits), sha};
}

QByteArray EncodeSegment(const std::string &computer, std::int64_t number, const TLogBatch &batch)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << bytesOf(computer) << qint64{number} << static_cast<quint32>(batch.Tables.size());
        for (const TLogRows &rows : batch.Tables) {
            out << bytesOf(rows.Table) << static_cast<quint32>(rows.Rows.size())
                << static_cast<quint32>(LogColumns(rows.Table).size());
            for (const std::vector<TSqlValue> &row : rows.Rows)
                for (const TSqlValue &value : row)
                    writeValue(out, value);
        }
        out << static_cast<quint32>(batch.NewWords.size());
        for (const TWordInfo &word : batch.NewWords)
            out << bytesOf(word.Spelling) << bytesOf(word.Pronunciation) << bytesOf(word.Meaning);
    }
    return kMagic + qCompress(payload);
}

TLogBatch DecodeSegment(const std::string &computer, const std::string &name,
                        const QByteArray &file)
{
    const std::optional<TSegmentName> parsed = ParseSegmentFileName(name);
    if (!parsed)
        bad("not a segment's name: " + name);
    if (sha256Hex(file).toStdString() != parsed->Sha256)
        bad("checksum of " + name);
    if (!file.startsWith(kMagic))
        bad("no segment header in " + name);
    const QByteArray payload = qUncompress(file.mid(kMagic.size()));
    if (payload.isEmpty())
        bad("does not uncompress: " + name);

    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    QByteArray writer;
    qint64 number = 0;
    quint32 tables = 0;
    in >> writer >> number >> tables;
    if (in.status() != QDataStream::Ok || stringOf(writer) != computer || number != parsed->Number)
        bad("header of " + name + " names another segment");
    TLogBatch batch;
    for (quint32 t = 0; t < tables && in.status() == QDataStream::Ok; ++t) {
        QByteArray table;
        quint32 count = 0;
        quint32 width = 0;
        in >> table >> count >> width;
        const std::vector<std::string> &known = LogTables();
        if (std::find(known.begin(), known.end(), stringOf(table)) == known.end()
            || width != LogColumns(stringOf(table)).size())
            bad("unknown table in " + name);
        TLogRows rows{stringOf(table), {}};
        // Never trusts a count for more than the bytes could hold.
        rows.Rows.reserve(std::min<size_t>(count, static_cast<size_t>(payload.size())));
        for (quint32 r = 0; r < count && in.status() == QDataStream::Ok; ++r) {
            std::vector<TSqlValue> row;
            row.reserve(width);
            for (quint32 c = 0; c < width; ++c)
                row.push_back(readValue(in));
            rows.Rows.push_back(std::move(row));
        }
        batch.Tables.push_back(std::move(rows));
    }
    quint32 words = 0;
    in >> words;
    for (quint32 w = 0; w < words && in.status() == QDataStream::Ok; ++w) {
        QByteArray spelling;
        QByteArray pronunciation;
        QByteArray meaning;
        in >> spelling >> pronunciation >> meaning;
        TWordInfo word;
        word.Spelling = stringOf(spelling);
        word.Pronunciation = stringOf(pronunciation);
        word.Meaning = stringOf(meaning);
        batch.NewWords.push_back(std::move(word));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        bad("truncated or overlong: " + name);
    return batch;
}

std::vector<THeldSegment> HeldSegments(TSqlConnection &connection)
{
    std::vector<THeldSegment> held;
    TSqlQuery rows = connection.Query(
        "SELECT computer, number, name FROM syncsegment ORDER BY computer, number");
    while (rows.Next())
        held.push_back({rows.Text(0), rows.Integer(1), rows.Text(2)});
    return held;
}

QByteArray HeldSegmentFile(TSqlConnection &connection, const std::string &computer,
                           const std::string &name)
{
    TSqlQuery row = connection.Query("SELECT body FROM syncsegment WHERE computer = ? AND name = ?",
                                     {computer, name});
    return row.Next() ? QByteArray::fromBase64(bytesOf(row.Text(0))) : QByteArray();
}

std::optional<THeldSegment> WriteOwnSegment()
{
    TSqlConnection &connection = DataInterface().Connection();
    TSqlTransaction transaction(connection);
    const TLogBatch batch = ReadLogBatchAfter(connection, readCovered(transaction));
    const bool nothingNew = std::all_of(batch.Tables.begin(), batch.Tables.end(),
                                        [](const TLogRows &rows) { return rows.Rows.empty(); });
    if (nothingNew)
        return std::nullopt;
    const std::string computer = ReserveGlobalIds(transaction, 0).Computer;
    std::int64_t number = 1;
    {
        TSqlQuery row = transaction.Query(
            "SELECT coalesce(max(number), 0) + 1 FROM syncsegment WHERE computer = ?", {computer});
        if (row.Next())
            number = row.Integer(0);
    }
    const QByteArray file = EncodeSegment(computer, number, batch);
    const std::string name = SegmentFileName(number, file);
    holdSegment(transaction, computer, number, name, file, batch);
    transaction.Commit();
    return THeldSegment{computer, number, name};
}

TMergeResult MergeFetchedSegment(const std::string &computer, const std::string &name,
                                 const QByteArray &file)
{
    const TLogBatch batch = DecodeSegment(computer, name, file);
    const std::int64_t number = ParseSegmentFileName(name)->Number;
    return MergeLogs(batch, [&](TSqlTransaction &transaction) {
        holdSegment(transaction, computer, number, name, file, batch);
    });
}
