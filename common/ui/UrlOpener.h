#pragma once
// Opening an address in the player's own browser or viewer: web pages, the
// help file, an advert's link. Tests install a recorder instead, so that no
// browser is ever started.

#include <functional>

#include <QUrl>

using TUrlOpener = std::function<void(const QUrl &)>;

// The desktop's "open" operation.
TUrlOpener ShellOpener();

// Opens a valid, non-empty address (a web page or a local file) with the
// opener set by SetUrlOpener, or the desktop's. Never throws; whatever the
// desktop answers is ignored.
void OpenUrl(const QUrl &url);
// An empty opener goes back to the desktop's.
void SetUrlOpener(TUrlOpener opener);

// Only web addresses leave the program: an advert list is outside data and
// must not make us open local files or other programs' schemes.
bool IsWebAddress(const QUrl &url);
// Opens the address with opener when it is a web address; errors are
// swallowed. Returns whether it was handed over.
bool OpenWebAddress(const TUrlOpener &opener, const QUrl &url);
