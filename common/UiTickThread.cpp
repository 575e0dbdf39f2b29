#include "UiTickThread.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <QMetaObject>
#include <QObject>

// State the worker and the UI thread share; a delivered tick holds it too, so
// a tick that arrives while its owner is being torn down still finds it.
struct TUiTickThread::TShared {
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Running = false;
    bool Bound = false;
    bool Stopped = false;
    int Interval = 50;
    std::uint64_t Generation = 0;  // a new one on every pause and on stop
    std::uint64_t PostedSerial = 0;
    std::uint64_t HandedOver = 0;  // posted serials whose post has returned
    std::uint64_t DoneSerial = 0;
    TClock::time_point DoneAt;  // when the last tick ended on the UI thread
};

TUiTickThread::TUiTickThread(QObject *Context, TTickSource Source, TFirstTick First)
    : m_context(Context), m_source(Source), m_first(First), m_shared(std::make_shared<TShared>())
{
}

TUiTickThread::~TUiTickThread()
{
    Stop();
}

int TUiTickThread::Interval() const
{
    std::lock_guard lock(m_shared->Mutex);
    return m_shared->Interval;
}

void TUiTickThread::SetInterval(int v)
{
    std::lock_guard lock(m_shared->Mutex);
    m_shared->Interval = v;
}

void TUiTickThread::Bind(TTick Tick)
{
    m_tick = std::move(Tick);
    {
        std::lock_guard lock(m_shared->Mutex);
        m_shared->Bound = static_cast<bool>(m_tick);
    }
    m_shared->Wake.notify_all();
}

bool TUiTickThread::IsBound() const
{
    std::lock_guard lock(m_shared->Mutex);
    return m_shared->Bound;
}

void TUiTickThread::ResumePlay()
{
    {
        std::lock_guard lock(m_shared->Mutex);
        if (m_shared->Running || m_shared->Stopped)
            return;
        m_shared->Running = true;
    }
    if (m_source == TTickSource::PlayThread && !m_worker.joinable())
        m_worker = std::thread(&TUiTickThread::Work, this);
    m_shared->Wake.notify_all();
}

void TUiTickThread::SuspendPlay()
{
    {
        std::lock_guard lock(m_shared->Mutex);
        if (!m_shared->Running)
            return;
        m_shared->Running = false;
        ++m_shared->Generation;
    }
    m_shared->Wake.notify_all();
}

bool TUiTickThread::IsPaused() const
{
    std::lock_guard lock(m_shared->Mutex);
    return !m_shared->Running;
}

void TUiTickThread::Stop()
{
    {
        std::lock_guard lock(m_shared->Mutex);
        m_shared->Stopped = true;
        m_shared->Running = false;
        ++m_shared->Generation;
    }
    m_shared->Wake.notify_all();
    // The worker never waits on the UI thread without also waiting for Stopped,
    // so this join cannot deadlock, even from inside a tick.
    if (m_worker.joinable())
        m_worker.join();
}

std::uint64_t TUiTickThread::HandedOver() const
{
    std::lock_guard lock(m_shared->Mutex);
    return m_shared->HandedOver;
}

void TUiTickThread::SetTickObserver(TTickObserver Observer)
{
    m_observer = std::move(Observer);
}

bool TUiTickThread::RunManualTick()
{
    {
        std::lock_guard lock(m_shared->Mutex);
        if (!m_shared->Running || !m_shared->Bound || m_shared->Stopped)
            return false;
    }
    RunTick();
    return true;
}

void TUiTickThread::RunTick()
{
    // Copies: the tick may end in a handler that destroys the owner and us.
    const TTick tick = m_tick;
    const TTickObserver observer = m_observer;
    const auto start = TClock::now();
    tick();
    if (observer)
        observer(start, TClock::now() - start);
}

void TUiTickThread::Deliver(std::uint64_t Generation, std::uint64_t Serial)
{
    // Runs on the UI thread. Only the shared state is touched until the
    // generation check has shown that this object is alive and still wants
    // the tick (Stop starts a new generation before anything is freed).
    const std::shared_ptr<TShared> shared = m_shared;
    {
        std::lock_guard lock(shared->Mutex);
        if (shared->Stopped || !shared->Running || shared->Generation != Generation)
            return;
    }
    RunTick();
    {
        std::lock_guard lock(shared->Mutex);
        shared->DoneSerial = std::max(shared->DoneSerial, Serial);
        shared->DoneAt = TClock::now();
    }
    shared->Wake.notify_all();
}

void TUiTickThread::Work()
{
    TShared &s = *m_shared;
    std::unique_lock lock(s.Mutex);
    // The sleep is measured from the end of the last tick, not from when this
    // thread got round to noticing it, so wake-up delays do not add up.
    bool haveLastEnd = false;
    TClock::time_point lastEnd;
    for (;;) {
        s.Wake.wait(lock, [&s] { return s.Stopped || (s.Running && s.Bound); });
        if (s.Stopped)
            return;
        const std::uint64_t generation = s.Generation;

        // Sleep the interval; a pause or stop cuts it short.
        if (haveLastEnd || m_first == TFirstTick::AfterInterval) {
            const TClock::time_point from = haveLastEnd ? lastEnd : TClock::now();
            const auto deadline = from + std::chrono::milliseconds(std::max(s.Interval, 0));
            s.Wake.wait_until(lock, deadline,
                              [&s, generation] { return s.Stopped || s.Generation != generation; });
            if (s.Stopped)
                return;
            if (s.Generation != generation) {
                haveLastEnd = false;
                continue;
            }
        }

        // Hand one tick to the UI thread and wait until it has run.
        const std::uint64_t serial = ++s.PostedSerial;
        lock.unlock();
        QMetaObject::invokeMethod(
            m_context,
            [this, shared = m_shared, generation, serial] {
                // The context object dies after Stop, so `this` is alive here
                // unless Stop already ran; Deliver checks that first, through
                // the shared state it holds.
                {
                    std::lock_guard guard(shared->Mutex);
                    if (shared->Stopped)
                        return;
                }
                Deliver(generation, serial);
            },
            Qt::QueuedConnection);
        lock.lock();
        s.HandedOver = serial;
        s.Wake.wait(lock, [&s, generation, serial] {
            return s.Stopped || s.DoneSerial >= serial || s.Generation != generation;
        });
        if (s.Stopped)
            return;
        haveLastEnd = s.DoneSerial >= serial && s.Generation == generation;
        lastEnd = s.DoneAt;
    }
}
