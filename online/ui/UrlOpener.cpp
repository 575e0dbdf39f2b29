#include "UrlOpener.h"
#include "OnlineLog.h"

#include <QDesktopServices>

TUrlOpener ShellOpener()
{
    return [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

bool IsWebAddress(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty()
           && (url.scheme() == u"http" || url.scheme() == u"https");
}

bool OpenWebAddress(const TUrlOpener &opener, const QUrl &url)
{
    if (!opener || !IsWebAddress(url))
        return false;
    try {
        opener(url);
    } catch (...) {
        qCDebug(lcOnline).noquote() << __func__ << "failed:" << CurrentExceptionText();
        return false;
    }
    return true;
}
