#include "UrlOpener.h"
#include "AppLog.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

TUrlOpener &current()
{
    static TUrlOpener opener;
    return opener;
}

} // namespace

void OpenUrl(const QUrl &url)
{
    if (url.isEmpty() || !url.isValid())
        return;
    try {
        const TUrlOpener opener = current();
        if (opener)
            opener(url);
        else
            QDesktopServices::openUrl(url);
    } catch (...) {
        qCDebug(lcApp).noquote() << __func__ << "failed:" << CurrentExceptionText();
        // Opening a page is a courtesy; a failure must not disturb the game.
    }
}

void SetUrlOpener(TUrlOpener opener)
{
    current() = std::move(opener);
}
