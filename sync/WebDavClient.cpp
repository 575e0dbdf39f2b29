#include "WebDavClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

namespace {

// A transfer that stalls this long is given up; the next sync resumes it.
constexpr int kTransferTimeoutMs = 30'000;

const QString kDav = QStringLiteral("DAV:");

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace

std::vector<TDavEntry> ParsePropfind(const QByteArray &xml, const QUrl &folderUrl)
{
    std::vector<TDavEntry> entries;
    const QString folderPath = withoutTrailingSlash(folderUrl.path(QUrl::FullyDecoded));
    QXmlStreamReader reader(xml);
    QString href;
    bool folder = false;
    bool inResponse = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.namespaceUri() != kDav)
            continue;
        if (reader.isStartElement()) {
            if (reader.name() == QLatin1String("response")) {
                inResponse = true;
                href.clear();
                folder = false;
            } else if (inResponse && reader.name() == QLatin1String("href")) {
                href = reader.readElementText().trimmed();
            } else if (inResponse && reader.name() == QLatin1String("collection")) {
                folder = true;
            }
        } else if (reader.isEndElement() && reader.name() == QLatin1String("response")) {
            inResponse = false;
            const QString path =
                withoutTrailingSlash(folderUrl.resolved(QUrl(href)).path(QUrl::FullyDecoded));
            if (href.isEmpty() || path == folderPath)
                continue;
            entries.push_back({path.section(QLatin1Char('/'), -1), folder});
        }
    }
    return entries;
}

TWebDavClient::TWebDavClient(QNetworkAccessManager &manager, const QUrl &base, const QString &user,
                             const QString &password)
    : m_manager(manager), m_base(base)
{
    if (!m_base.path().endsWith(QLatin1Char('/')))
        m_base.setPath(m_base.path() + QLatin1Char('/'));
    m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

QUrl TWebDavClient::UrlOf(const QString &path) const
{
    QStringList parts = path.split(QLatin1Char('/'));
    for (QString &part : parts)
        part = QString::fromLatin1(QUrl::toPercentEncoding(part));
    return m_base.resolved(QUrl(parts.join(QLatin1Char('/')), QUrl::StrictMode));
}

QNetworkRequest TWebDavClient::request(const QString &path) const
{
    QNetworkRequest request(UrlOf(path));
    request.setRawHeader("Authorization", m_authorization);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // Redirects would carry the password elsewhere.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

QNetworkReply *TWebDavClient::Propfind(const QString &folder)
{
    QNetworkRequest r = request(folder);
    r.setRawHeader("Depth", "1");
    r.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/xml"));
    static const QByteArray body = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/></d:prop></d:propfind>");
    return m_manager.sendCustomRequest(r, "PROPFIND", body);
}

QNetworkReply *TWebDavClient::Get(const QString &path)
{
    return m_manager.get(request(path));
}

QNetworkReply *TWebDavClient::Put(const QString &path, const QByteArray &body)
{
    QNetworkRequest r = request(path);
    r.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));
    return m_manager.put(r, body);
}

QNetworkReply *TWebDavClient::Move(const QString &from, const QString &to)
{
    QNetworkRequest r = request(from);
    r.setRawHeader("Destination", UrlOf(to).toEncoded());
    r.setRawHeader("Overwrite", "T");
    return m_manager.sendCustomRequest(r, "MOVE");
}

QNetworkReply *TWebDavClient::Mkcol(const QString &folder)
{
    return m_manager.sendCustomRequest(request(folder), "MKCOL");
}
