#include "AdPlayThread.h"

#include <algorithm>
#include <climits>

TAdPlayThread::TAdPlayThread(std::function<void()> onPlay, std::chrono::milliseconds secondLength)
    : m_onPlay(std::move(onPlay)), m_secondLength(secondLength),
      m_ticker(&m_context, TTickSource::PlayThread, TFirstTick::AtOnce)
{
    m_ticker.SetInterval(sleepMs());
    m_ticker.Bind([this] {
        ++m_ticks;
        if (m_onPlay)
            m_onPlay();
    });
}

TAdPlayThread::~TAdPlayThread()
{
    Terminate();
}

void TAdPlayThread::SetInterval(int seconds)
{
    // Without a pause the thread would hand over ticks as fast as the user
    // interface can run them.
    m_interval = std::max(seconds, 1);
    m_ticker.SetInterval(sleepMs());
}

int TAdPlayThread::sleepMs() const
{
    // The interval comes from a downloaded list: a huge one means "rarely",
    // not an overflow.
    return static_cast<int>(std::min<std::int64_t>(m_secondLength.count() * m_interval, INT_MAX));
}

int TAdPlayThread::Interval() const
{
    return m_interval;
}

void TAdPlayThread::Resume()
{
    m_ticker.ResumePlay();
}

void TAdPlayThread::Suspend()
{
    m_ticker.SuspendPlay();
}

bool TAdPlayThread::Suspended() const
{
    return m_ticker.IsPaused();
}

void TAdPlayThread::Terminate()
{
    m_ticker.Stop();
}
