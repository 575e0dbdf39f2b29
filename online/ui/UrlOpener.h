#pragma once
// Opening an address in the user's default web browser. Tests install a
// recorder instead, so that no browser is ever started.

#include <functional>

#include <QUrl>

using TUrlOpener = std::function<void(const QUrl &)>;

// The desktop's "open" operation.
TUrlOpener ShellOpener();

// Only web addresses leave the program: an advert list is outside data and
// must not make us open local files or other programs' schemes.
bool IsWebAddress(const QUrl &url);
// Opens the address with opener when it is a web address; errors are
// swallowed. Returns whether it was handed over.
bool OpenWebAddress(const TUrlOpener &opener, const QUrl &url);
