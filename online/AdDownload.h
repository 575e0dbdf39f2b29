#pragma once
// Fetching an advert list into the program directory. Everything here waits
// for the network, so it runs on a worker thread only.

#include <atomic>

#include <QString>
#include <QUrl>

#include "AdParameter.h"
#include "ConnectionStages.h"
#include "OnlineAddresses.h"

// What a download needs from outside: the connection test and its
// addresses, and a flag that ends the work early (the program is closing).
struct TDownloadContext {
    const TConnectionStages *Stages = nullptr;
    const TOnlineAddresses *Addresses = nullptr;
    const std::atomic<bool> *Cancel = nullptr;
};

// Fails at once when IsOnline is false. Otherwise writes the address to the
// file as it arrives; when that fails, falls back to HttpDownload.
bool DownloadFile(const QUrl &address, const QString &localFile, const TDownloadContext &context);
// Deletes the file, fetches the whole answer into memory and saves it.
bool HttpDownload(const QUrl &address, const QString &localFile, const TDownloadContext &context);

struct TAdListLoad {
    bool Downloaded = false;
    TAdParameter Params;
    // Only asked for the pop-up channel, after a list with addresses arrived.
    bool OnlineAfterLoad = false;
};

// Deletes any old copy of the file, downloads the list and parses it.
TAdListLoad LoadAdList(const QUrl &address, const QString &localFile, bool browserMode,
                       const TDownloadContext &context);
