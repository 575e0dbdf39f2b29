#include "BrowserPane.h"

#include <QImage>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTimer>

namespace {

constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;
constexpr qint64 kMaxImageBytes = 4 * 1024 * 1024;
constexpr qsizetype kMaxImages = 64;
constexpr int kTransferTimeoutMs = 20000;

QNetworkRequest requestFor(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    return request;
}

// The charset named by the Content-Type header, if any.
QByteArray headerCharset(const QNetworkReply *reply)
{
    const QByteArray type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const qsizetype at = type.toLower().indexOf("charset=");
    if (at < 0)
        return {};
    QByteArray charset = type.mid(at + 8);
    const qsizetype end = charset.indexOf(';');
    if (end >= 0)
        charset.truncate(end);
    return charset.trimmed().replace('"', "");
}

QString decodePage(const QNetworkReply *reply, const QByteArray &body)
{
    const QByteArray charset = headerCharset(reply);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    // A <meta> charset, a byte-order mark, or else UTF-8.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    if (decoder.isValid())
        return decoder.decode(body);
    return QString::fromUtf8(body);
}

// Stops a download that grows beyond what a pane should hold.
void limitSize(QNetworkReply *reply, qint64 maxBytes)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes](qint64 received, qint64) {
                         if (received > maxBytes)
                             reply->abort();
                     });
}

}  // namespace

TBrowserPane::TBrowserPane(QWidget *parent, TUrlOpener opener)
    : QTextBrowser(parent), m_net(new QNetworkAccessManager(this)), m_opener(std::move(opener))
{
    setOpenLinks(false);
    // An advert never takes the keyboard from the game (the main window's
    // panes sit out of view and would otherwise be reached with Tab).
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &link) { OpenWebAddress(m_opener, m_pageUrl.resolved(link)); });
}

TBrowserPane::~TBrowserPane()
{
    abortAll();
}

void TBrowserPane::abortAll()
{
    // Aborting emits finished; the generation check makes those no-ops.
    ++m_generation;
    if (m_page)
        m_page->abort();
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_imageReplies)) {
        if (reply)
            reply->abort();
    }
    m_imageReplies.clear();
}

void TBrowserPane::Navigate(const QString &address)
{
    const QUrl url(address);
    if (!IsWebAddress(url))
        return;
    abortAll();
    const quint64 generation = m_generation;
    m_pageUrl = url;
    m_images.clear();
    m_requested.clear();
    ++m_navigations;
    QNetworkReply *reply = m_net->get(requestFor(url));
    m_page = reply;
    limitSize(reply, kMaxPageBytes);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, generation] { pageFinished(reply, generation); });
}

void TBrowserPane::pageFinished(QNetworkReply *reply, quint64 generation)
{
    reply->deleteLater();
    if (generation != m_generation)
        return;
    m_page = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
        showHtml(QString());
        emit PageLoaded(m_pageUrl, false);
        return;
    }
    m_pageUrl = reply->url();
    document()->setBaseUrl(m_pageUrl);
    const QByteArray body = reply->readAll();
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (type.startsWith(u"image/")) {
        QImage image;
        if (image.loadFromData(body)) {
            m_images.insert(m_pageUrl, image);
            m_requested.insert(m_pageUrl);
        }
        showHtml(QStringLiteral("<img src=\"%1\">").arg(m_pageUrl.toString().toHtmlEscaped()));
    } else if (type.startsWith(u"text/plain")) {
        showHtml(QStringLiteral("<pre>%1</pre>").arg(decodePage(reply, body).toHtmlEscaped()));
    } else {
        showHtml(decodePage(reply, body));
    }
    emit PageLoaded(m_pageUrl, true);
}

QVariant TBrowserPane::loadResource(int type, const QUrl &name)
{
    // Only images, and only from the web: a page from outside must not make
    // the pane read local files.
    if (type != QTextDocument::ImageResource)
        return {};
    const QUrl url = m_pageUrl.resolved(name);
    const auto found = m_images.constFind(url);
    if (found != m_images.cend())
        return *found;
    if (!IsWebAddress(url) || m_requested.contains(url) || m_requested.size() >= kMaxImages)
        return {};
    m_requested.insert(url);
    const quint64 generation = m_generation;
    QNetworkReply *reply = m_net->get(requestFor(url));
    m_imageReplies << reply;
    limitSize(reply, kMaxImageBytes);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, generation, url] { imageFinished(reply, generation, url); });
    return {};
}

void TBrowserPane::imageFinished(QNetworkReply *reply, quint64 generation, const QUrl &url)
{
    reply->deleteLater();
    m_imageReplies.removeAll(reply);
    if (generation != m_generation || reply->error() != QNetworkReply::NoError)
        return;
    QImage image;
    if (!image.loadFromData(reply->readAll()))
        return;
    m_images.insert(url, image);
    relayoutSoon();
    emit ImageLoaded(url);
}

void TBrowserPane::relayoutSoon()
{
    // Several images usually arrive together: lay the page out once for them.
    if (m_relayoutPending)
        return;
    m_relayoutPending = true;
    QTimer::singleShot(0, this, [this] {
        m_relayoutPending = false;
        showHtml(m_html);
    });
}

void TBrowserPane::showHtml(const QString &html)
{
    const int scrolled = verticalScrollBar()->value();
    m_html = html;
    document()->setBaseUrl(m_pageUrl);
    setHtml(html);
    document()->setBaseUrl(m_pageUrl);
    verticalScrollBar()->setValue(scrolled);
}
