#include "ComputerIdentity.h"

#include <algorithm>
#include <array>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "SqlDatabase.h"
#include "UDataInterface.h"

namespace {

std::optional<TComputerIdentity> readIdentity(TSqlQuery rows)
{
    if (!rows.Next())
        return std::nullopt;
    return TComputerIdentity{rows.Text(0), rows.Text(1), rows.Text(2), rows.Integer(3)};
}

constexpr std::string_view kSelectIdentity =
    "SELECT id, machineid, folder, nextseq FROM computer WHERE slot = 1";

void writeNewIdentity(TSqlTransaction &transaction, const std::string &machineId,
                      const std::string &folder)
{
    transaction.Execute("DELETE FROM computer");
    transaction.Execute(
        "INSERT INTO computer(slot, id, machineid, folder, nextseq) VALUES(1, ?, ?, ?, 1)",
        {NewComputerId(), machineId, folder});
}

}  // namespace

std::string ReadMachineId()
{
    for (const char *path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray id = file.read(256).trimmed();
        if (!id.isEmpty())
            return id.toStdString();
    }
    return {};
}

std::string NewComputerId()
{
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    QByteArray bytes(reinterpret_cast<const char *>(words.data()),
                     static_cast<qsizetype>(sizeof(words)));
    return bytes.toHex().toStdString();
}

std::optional<TComputerIdentity> ReadComputerIdentity(TSqlConnection &connection)
{
    return readIdentity(connection.Query(kSelectIdentity));
}

std::string EnsureComputerIdentity(TSqlConnection &connection, const std::string &machineId,
                                   const std::string &utf8Folder)
{
    const auto matches = [&](const std::optional<TComputerIdentity> &identity) {
        return identity && identity->MachineId == machineId && identity->Folder == utf8Folder;
    };
    if (std::optional<TComputerIdentity> identity = ReadComputerIdentity(connection);
        matches(identity))
        return identity->Id;

    TSqlTransaction transaction(connection);
    // Again under the write lock: another process may have settled it.
    std::optional<TComputerIdentity> identity = readIdentity(transaction.Query(kSelectIdentity));
    if (!matches(identity)) {
        if (identity && identity->MachineId.empty() && identity->Folder.empty())
            transaction.Execute("UPDATE computer SET machineid = ?, folder = ? WHERE slot = 1",
                                {machineId, utf8Folder});
        else
            writeNewIdentity(transaction, machineId, utf8Folder);
    }
    identity = readIdentity(transaction.Query(kSelectIdentity));
    transaction.Commit();
    return identity ? identity->Id : std::string();
}

TGlobalIdRange ReserveGlobalIds(TSqlTransaction &transaction, std::int64_t count,
                                const std::string &utf8Folder)
{
    std::optional<TComputerIdentity> identity = readIdentity(transaction.Query(kSelectIdentity));
    if (!identity) {
        writeNewIdentity(transaction, ReadMachineId(), utf8Folder);
        identity = readIdentity(transaction.Query(kSelectIdentity));
        if (!identity)
            throw EDatabaseError("the computer's identity was not written");
    }
    transaction.Execute("UPDATE computer SET nextseq = nextseq + ? WHERE slot = 1",
                        {std::max<std::int64_t>(count, 0)});
    return {identity->Id, identity->NextSequence};
}

TGlobalIdRange ReserveGlobalIds(TSqlTransaction &transaction, std::int64_t count)
{
    return ReserveGlobalIds(transaction, count, DatabaseFolderOf(DataInterface().FilePath()));
}

std::string DatabaseFolderOf(const std::string &utf8DatabasePath)
{
    const QFileInfo file(QString::fromStdString(utf8DatabasePath));
    const QString folder = file.absoluteDir().canonicalPath();
    return (folder.isEmpty() ? file.absolutePath() : folder).toStdString();
}
