#pragma once
// Web pages and the help file are handed to the desktop, which shows them in
// the player's own browser or viewer. Tests install an opener that records
// the address instead.

#include <functional>

class QUrl;

using TUrlOpener = std::function<void(const QUrl &)>;

// An empty or invalid address opens nothing. Never throws; whatever the
// desktop answers is ignored.
void OpenUrl(const QUrl &url);

// An empty opener goes back to QDesktopServices::openUrl.
void SetUrlOpener(TUrlOpener opener);
