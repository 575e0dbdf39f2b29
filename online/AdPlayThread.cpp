#include "AdPlayThread.h"

#include <algorithm>

#include <QMetaObject>

TAdPlayThread::TAdPlayThread(std::function<void()> onPlay, std::chrono::milliseconds secondLength)
    : m_onPlay(std::move(onPlay)), m_secondLength(secondLength), m_context(std::make_unique<QObject>())
{
}

TAdPlayThread::~TAdPlayThread()
{
    Terminate();
}

void TAdPlayThread::SetInterval(int seconds)
{
    std::lock_guard lock(m_mutex);
    // Without a pause the thread would hand over ticks as fast as the user
    // interface can run them.
    m_interval = std::max(seconds, 1);
}

int TAdPlayThread::Interval() const
{
    std::lock_guard lock(m_mutex);
    return m_interval;
}

void TAdPlayThread::Resume()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_terminated)
            return;
        m_suspended = false;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void TAdPlayThread::Suspend()
{
    std::lock_guard lock(m_mutex);
    m_suspended = true;
}

bool TAdPlayThread::Suspended() const
{
    std::lock_guard lock(m_mutex);
    return m_suspended;
}

int TAdPlayThread::Ticks() const
{
    std::lock_guard lock(m_mutex);
    return m_ticks;
}

void TAdPlayThread::Terminate()
{
    {
        std::lock_guard lock(m_mutex);
        m_terminated = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    // A tick posted but not yet run goes with its receiver.
    m_context.reset();
}

void TAdPlayThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_terminated || !m_suspended; });
        if (m_terminated)
            return;
        m_tickDone = false;
        const unsigned serial = ++m_serial;
        QObject *context = m_context.get();
        lock.unlock();
        QMetaObject::invokeMethod(context, [this, serial] { tick(serial); }, Qt::QueuedConnection);
        lock.lock();
        m_changed.wait(lock, [this] { return m_terminated || m_tickDone; });
        if (m_terminated)
            return;
        m_changed.wait_for(lock, m_secondLength * m_interval, [this] { return m_terminated; });
    }
}

void TAdPlayThread::tick(unsigned serial)
{
    bool play = false;
    {
        std::lock_guard lock(m_mutex);
        // A tick that arrives after Suspend or Terminate shows nothing.
        play = serial == m_serial && !m_suspended && !m_terminated;
        if (play)
            ++m_ticks;
    }
    if (play && m_onPlay)
        m_onPlay();
    {
        std::lock_guard lock(m_mutex);
        if (serial == m_serial)
            m_tickDone = true;
    }
    m_changed.notify_all();
}
