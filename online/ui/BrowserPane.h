#pragma once
// A light browser pane for adverts: Navigate fetches a page and its images
// with Qt Network, without ever blocking, and shows them in a QTextBrowser
// (HTML and images; no scripts, no plug-ins). A link clicked in the pane
// opens in the user's browser.

#include <QHash>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>

#include "AdInterface.h"
#include "UrlOpener.h"

class QNetworkReply;

class TBrowserPane : public QTextBrowser, public TAdBrowser {
    Q_OBJECT
public:
    explicit TBrowserPane(QWidget *parent = nullptr, TUrlOpener opener = ShellOpener());
    ~TBrowserPane() override;

    // Leaves the current page for the address; a page still loading is
    // abandoned. Anything but an http or https address is ignored.
    void Navigate(const QString &address) override;

    // The address last navigated to (after redirects once the page is in).
    const QUrl &PageUrl() const { return m_pageUrl; }
    // Navigations that reached the network, for tests and diagnostics.
    int Navigations() const { return m_navigations; }
    bool HasImage(const QUrl &url) const { return m_images.contains(url); }

signals:
    // The page itself has arrived (ok) or failed; images may still follow.
    void PageLoaded(const QUrl &url, bool ok);
    // An image of the current page has arrived and is shown.
    void ImageLoaded(const QUrl &url);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void pageFinished(QNetworkReply *reply, quint64 generation);
    void imageFinished(QNetworkReply *reply, quint64 generation, const QUrl &url);
    void showHtml(const QString &html);
    void relayoutSoon();
    void abortAll();

    QNetworkAccessManager *m_net;
    TUrlOpener m_opener;
    quint64 m_generation = 0;
    QUrl m_pageUrl;
    QString m_html;
    QPointer<QNetworkReply> m_page;
    QList<QPointer<QNetworkReply>> m_imageReplies;
    QHash<QUrl, QImage> m_images;
    QSet<QUrl> m_requested;
    bool m_relayoutPending = false;
    int m_navigations = 0;
};
