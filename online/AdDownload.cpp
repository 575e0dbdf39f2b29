#include "AdDownload.h"

#include <QFile>
#include <QSaveFile>

#include "BlockingHttp.h"
#include "InternetCheck.h"
#include "OnlineLog.h"

namespace {

// An advert list is a few hundred bytes.
constexpr std::int64_t kMaxDownloadBytes = std::int64_t{4} * 1024 * 1024;

bool cancelled(const TDownloadContext &context)
{
    return context.Cancel && context.Cancel->load();
}

bool urlToFile(const QUrl &address, const QString &localFile, const TDownloadContext &context)
{
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const THttpOutcome outcome = HttpGet(address, context.Addresses->DownloadTimeout,
                                         context.Cancel, kMaxDownloadBytes, &file);
    file.close();
    return outcome.Ok && file.error() == QFileDevice::NoError;
}

}  // namespace

bool HttpDownload(const QUrl &address, const QString &localFile, const TDownloadContext &context)
{
    try {
        if (QFile::exists(localFile) && !QFile::remove(localFile))
            return false;
        if (cancelled(context))
            return false;
        const THttpOutcome outcome =
            HttpGet(address, context.Addresses->DownloadTimeout, context.Cancel, kMaxDownloadBytes);
        if (!outcome.Ok)
            return false;
        QSaveFile file(localFile);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (file.write(outcome.Body) != outcome.Body.size())
            return false;
        return file.commit();
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
        return false;
    }
}

bool DownloadFile(const QUrl &address, const QString &localFile, const TDownloadContext &context)
{
    try {
        if (!context.Stages || !context.Addresses)
            return false;
        if (!IsOnline(*context.Stages, *context.Addresses, context.Cancel))
            return false;
        if (urlToFile(address, localFile, context))
            return true;
        if (cancelled(context)) {
            QFile::remove(localFile);
            return false;
        }
        return HttpDownload(address, localFile, context);
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
        return false;
    }
}

TAdListLoad LoadAdList(const QUrl &address, const QString &localFile, bool browserMode,
                       const TDownloadContext &context)
{
    TAdListLoad load;
    try {
        if (QFile::exists(localFile))
            QFile::remove(localFile);
        load.Downloaded = DownloadFile(address, localFile, context);
        if (!load.Downloaded)
            return load;
        ParseAdXmlFile(localFile, browserMode, load.Params);
        if (browserMode && !load.Params.HttpList.isEmpty())
            load.OnlineAfterLoad = IsOnline(*context.Stages, *context.Addresses, context.Cancel);
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
        // Any fault leaves the channel without adverts, silently.
    }
    return load;
}
