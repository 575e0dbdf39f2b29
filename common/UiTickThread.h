#pragma once
// A worker that hands ticks to the UI thread: it sleeps an interval, then has
// the UI thread run one tick and waits until it has run. The worker touches
// none of the owner's state; ticks run on the UI thread, so the owner needs
// no lock. The board's play thread and the advert rotation both use it.
//
// A tick that was queued before a pause (and so before a restart, which
// pauses first) or before the thread was stopped does nothing when it
// arrives late: every pause starts a new generation, and a tick of an older
// generation is dropped on the UI thread. The worker never waits for the UI
// thread without also listening for Stop, so the owner may stop and destroy
// this object at any moment, from inside a tick too.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class QObject;

// Where ticks come from: the worker thread, or the caller (tests, the preview
// tool), who runs each tick by hand so that motion is deterministic.
enum class TTickSource { PlayThread, Manual };

// When a generation's first tick comes: after one interval (the board), or at
// once (the adverts: the first one shows as soon as the rotation starts).
enum class TFirstTick { AfterInterval, AtOnce };

class TUiTickThread {
public:
    using TTick = std::function<void()>;
    using TClock = std::chrono::steady_clock;
    // Told after each tick: when it began on the UI thread and how long it ran.
    using TTickObserver = std::function<void(TClock::time_point start, TClock::duration ran)>;

    // Created paused, unbound, Interval 50. Ticks are delivered to the UI
    // thread through Context, which must outlive this object. The worker
    // starts with the first ResumePlay.
    TUiTickThread(QObject *Context, TTickSource Source,
                  TFirstTick First = TFirstTick::AfterInterval);
    ~TUiTickThread();
    TUiTickThread(const TUiTickThread &) = delete;
    TUiTickThread &operator=(const TUiTickThread &) = delete;

    // Milliseconds.
    int Interval() const;
    // Used from the next sleep on; a negative interval sleeps 0.
    void SetInterval(int v);

    // Tick is what a tick runs. Until it is bound, letting the thread run
    // produces no tick.
    void Bind(TTick Tick);
    bool IsBound() const;

    // Let the loop run / pause it; each does nothing when already so.
    void ResumePlay();
    void SuspendPlay();
    bool IsPaused() const;

    // Ends the thread for good and waits for the worker; no tick runs after.
    // Safe to call more than once, and from inside a tick.
    void Stop();

    // Manual source: runs one tick when the loop runs and is bound, exactly
    // as a delivered tick would; returns whether it ran.
    bool RunManualTick();

    void SetTickObserver(TTickObserver Observer);

    // Ticks the worker has handed to the UI thread so far, run or dropped.
    // Without an event loop running, one more than have run is one waiting
    // in the queue.
    std::uint64_t HandedOver() const;

private:
    struct TShared;
    void Work();
    void Deliver(std::uint64_t Generation, std::uint64_t Serial);
    void RunTick();

    QObject *m_context;
    TTickSource m_source;
    TFirstTick m_first;
    std::shared_ptr<TShared> m_shared;
    TTick m_tick;
    TTickObserver m_observer;
    std::thread m_worker;
};
