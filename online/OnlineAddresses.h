#pragma once
// The only place that knows the addresses the program reaches out to: the
// two portals that prove the Internet is reachable, the folder on our web
// server that holds the advert lists, and the navigation portal loaded in
// the main window's second hidden pane. Objects take a TOnlineAddresses so
// that tests can aim them at a loopback server instead.

#include <chrono>

#include <QUrl>

struct TOnlineAddresses {
    QUrl FirstPortal;
    QUrl SecondPortal;
    QUrl AdServerBase;  // ends in "/software/kivrotype/"
    QUrl NavigationPortal;
    // How long a probe or a download may take before it counts as failed.
    std::chrono::milliseconds ProbeTimeout{5000};
    std::chrono::milliseconds DownloadTimeout{20000};
};

// The addresses of the shipped program.
const TOnlineAddresses &ProgramAddresses();

// Base address + file name, e.g. the full address of "kivrotype1.xml".
QUrl AdListAddress(const QUrl &base, const QString &fileName);
