#include "InternetCheck.h"
#include "OnlineLog.h"

#include <QThread>

TOnlineFlag NewOnlineFlag()
{
    return std::make_shared<std::atomic<bool>>(false);
}

TOnlineFlag ProgramOnlineFlag()
{
    static const TOnlineFlag flag = NewOnlineFlag();
    return flag;
}

namespace {

bool passes(const TConnectionStages &stages, const TOnlineAddresses &addresses,
            bool trySecondPortal, const std::atomic<bool> *cancel)
{
    try {
        if (!stages.SystemReportsConnection || !stages.SystemReportsConnection())
            return false;
        if (!stages.PortalAnswers)
            return false;
        bool answered = stages.PortalAnswers(addresses.FirstPortal, addresses.ProbeTimeout, cancel);
        if (!answered && trySecondPortal && !(cancel && cancel->load()))
            answered = stages.PortalAnswers(addresses.SecondPortal, addresses.ProbeTimeout, cancel);
        if (!answered || (cancel && cancel->load()))
            return false;
        if (!stages.ConnectedStateOption)
            return true;
        return stages.ConnectedStateOption(cancel) != TConnectedState::Disconnected;
    } catch (const std::exception &e) {
        qCWarning(lcOnline) << __func__ << "failed:" << e.what();
        return false;
    }
}

}  // namespace

bool IsConnected(const TConnectionStages &stages, const TOnlineAddresses &addresses,
                 const std::atomic<bool> *cancel)
{
    return passes(stages, addresses, true, cancel);
}

bool IsOnline(const TConnectionStages &stages, const TOnlineAddresses &addresses,
              const std::atomic<bool> *cancel)
{
    return passes(stages, addresses, false, cancel);
}

TInternetCheck::TInternetCheck(TOnlineFlag online, TConnectionStages stages,
                               TOnlineAddresses addresses, std::chrono::milliseconds retryInterval)
    : m_online(online ? std::move(online) : NewOnlineFlag()), m_stages(std::move(stages)),
      m_addresses(std::move(addresses)), m_retryInterval(retryInterval)
{
}

TInternetCheck::~TInternetCheck()
{
    Terminate();
}

void TInternetCheck::Start()
{
    if (m_thread)
        return;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start(QThread::LowPriority);
}

void TInternetCheck::Terminate()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread)
        m_thread->wait();
}

bool TInternetCheck::Finished() const
{
    return m_thread && m_thread->isFinished();
}

void TInternetCheck::run()
{
    while (!m_stop.load() && !m_online->load()) {
        ++m_attempts;
        if (IsConnected(m_stages, m_addresses, &m_stop)) {
            m_online->store(true);
            break;
        }
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, m_retryInterval, [this] { return m_stop.load(); });
    }
}
