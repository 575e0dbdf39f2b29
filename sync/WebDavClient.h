#pragma once
// The WebDAV requests a sync makes, on the caller's QNetworkAccessManager
// (its thread's event loop; nothing here waits): PROPFIND of depth 1 to list
// a folder, GET, PUT, MOVE and MKCOL, each with the account's basic
// authentication. Paths are relative to the account's address, their parts
// separated by '/', a folder's ending in '/'.

#include <vector>

#include <QByteArray>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

struct TDavEntry {
    QString Name;  // the last part of its path, decoded
    bool Folder = false;
    bool operator==(const TDavEntry &) const = default;
};

// The members of the folder at folderUrl in a PROPFIND answer (the folder
// itself left out). Refuses nothing: an answer that does not parse gives
// what was read before.
std::vector<TDavEntry> ParsePropfind(const QByteArray &xml, const QUrl &folderUrl);

class TWebDavClient {
public:
    TWebDavClient(QNetworkAccessManager &manager, const QUrl &base, const QString &user,
                  const QString &password);

    QUrl UrlOf(const QString &path) const;

    QNetworkReply *Propfind(const QString &folder);
    QNetworkReply *Get(const QString &path);
    QNetworkReply *Put(const QString &path, const QByteArray &body);
    // Replaces a file already at to (a segment's content never changes).
    QNetworkReply *Move(const QString &from, const QString &to);
    QNetworkReply *Mkcol(const QString &folder);

private:
    QNetworkRequest request(const QString &path) const;

    QNetworkAccessManager &m_manager;
    QUrl m_base;
    QByteArray m_authorization;
};
