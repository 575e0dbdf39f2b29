#include "UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

#include "CommonLog.h"

namespace {

TUrlOpener &installed()
{
    static TUrlOpener opener;
    return opener;
}

// Opening a page is a courtesy; a failure must not disturb the game.
bool handOver(const TUrlOpener &opener, const QUrl &url)
{
    try {
        opener(url);
        return true;
    } catch (...) {
        // The opener is the desktop's or any caller's: it may throw anything.
        qCWarning(lcCommon).noquote() << "opening an address failed:" << CurrentExceptionText();
        return false;
    }
}

}  // namespace

TUrlOpener ShellOpener()
{
    return [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

void OpenUrl(const QUrl &url)
{
    if (url.isEmpty() || !url.isValid())
        return;
    const TUrlOpener opener = installed();
    handOver(opener ? opener : ShellOpener(), url);
}

void SetUrlOpener(TUrlOpener opener)
{
    installed() = std::move(opener);
}

bool IsWebAddress(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty()
           && (url.scheme() == u"http" || url.scheme() == u"https");
}

bool OpenWebAddress(const TUrlOpener &opener, const QUrl &url)
{
    return opener && IsWebAddress(url) && handOver(opener, url);
}
