#include "AdInterface.h"

#include <algorithm>
#include <climits>

#include <QFile>
#include <QThread>
#include <QTimer>

#include "GbkText.h"
#include "OnlineLog.h"
#include "Settings.h"

namespace {

QString programFile(const QString &name)
{
    return QString::fromStdString(ProgramPath(QStringToGbk(name)));
}

}  // namespace

void NavigateTo(TAdBrowser *pane, const QString &address)
{
    if (pane)
        pane->Navigate(address);
}

void DeleteAdvertLists()
{
    for (const QString &name : {kPopupAdList, kStatusBarAdList}) {
        const QString path = programFile(name);
        if (QFile::exists(path))
            QFile::remove(path);
    }
}

TAdInterface::TAdInterface(TAdServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services)), m_startTimer(new QTimer(this)),
      m_playThread(std::make_unique<TAdPlayThread>([this] { PlayNext(); }, m_services.SecondLength))
{
    m_startTimer->setObjectName(QStringLiteral("StartTimer"));
    m_startTimer->setSingleShot(true);
    connect(m_startTimer, &QTimer::timeout, this, &TAdInterface::StartTimerTick);
}

TAdInterface::~TAdInterface()
{
    m_startTimer->stop();
    m_cancel = true;
    if (m_loader)
        m_loader->wait();
    m_playThread->Terminate();
}

void TAdInterface::Start(const QUrl &baseUrl, const QString &xmlName, TAdBrowser *browser,
                         TAdTitleView *label, bool browserMode)
{
    if (m_started)
        return;
    try {
        m_started = true;
        m_baseUrl = baseUrl;
        m_xmlName = xmlName;
        m_browserMode = browserMode;
        m_counterBrowser = browser;
        if (browserMode)
            m_adBrowser = browser;
        else
            m_adLabel = label;
        m_params = TAdParameter();

        const QUrl address = AdListAddress(baseUrl, xmlName);
        const QString localFile = programFile(xmlName);
        auto result = std::make_shared<TAdListLoad>();
        // The worker gets copies: it must not read this object while the
        // user-interface thread changes it.
        m_loader.reset(
            QThread::create([result, address, localFile, browserMode, stages = m_services.Stages,
                             addresses = m_services.Addresses, cancel = &m_cancel] {
                const TDownloadContext context{&stages, &addresses, cancel};
                *result = LoadAdList(address, localFile, browserMode, context);
            }));
        connect(m_loader.get(), &QThread::finished, this, [this, result] { listArrived(*result); });
        m_loader->start(QThread::LowPriority);
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
        // No adverts on this channel.
    }
}

void TAdInterface::listArrived(const TAdListLoad &load)
{
    try {
        m_params = load.Params;
        m_popupWidth = m_params.AdWidth;
        m_popupHeight = m_params.AdHeight;
        m_listArrived = true;
        m_urlCount = static_cast<int>(m_params.HttpList.size());
        if (!m_params.CountHttp.isEmpty())
            NavigateTo(m_counterBrowser, m_params.CountHttp);
        // A negative delay means "at once", like zero.
        const qint64 delay =
            m_services.SecondLength.count() * std::max(m_params.StartPlayInterval, 0);
        m_startTimer->setInterval(static_cast<int>(std::min<qint64>(delay, INT_MAX)));
        m_playThread->SetInterval(m_params.AdInterval);
        const bool armed = m_urlCount > 0 && (!m_browserMode || load.OnlineAfterLoad);
        // A channel stopped while its list was on the way stays stopped.
        if (armed && !m_stopped)
            m_startTimer->start();
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
    }
    emit ListLoaded();
}

void TAdInterface::Stop()
{
    m_stopped = true;
    m_startTimer->stop();
    m_playThread->Suspend();
}

bool TAdInterface::StartTimerActive() const
{
    return m_startTimer->isActive();
}

void TAdInterface::StartTimerTick()
{
    try {
        m_startTimer->stop();
        if (!m_stopped)
            m_playThread->Resume();
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
    }
}

void TAdInterface::PlayNext()
{
    const int count = static_cast<int>(m_params.HttpList.size());
    if (count == 0) {
        m_playThread->Suspend();
        return;
    }
    if (m_params.MaxPalyNum > 0 && m_passes > m_params.MaxPalyNum) {
        m_playThread->Suspend();
        return;
    }
    if (m_adIndex >= count)
        m_adIndex = 0;
    const QString &address = m_params.HttpList[m_adIndex];
    if (m_browserMode) {
        NavigateTo(m_adBrowser, address);
    } else if (m_adLabel && m_adIndex < m_params.TitleList.size()) {
        m_adLabel->ShowAdvert(m_params.TitleList[m_adIndex], address);
    }
    m_displayedIndex = m_adIndex;
    if (m_adIndex == 0 && m_params.MaxPalyNum > 0)
        ++m_passes;
    ++m_adIndex;
    emit AdvertShown(m_displayedIndex);
}
