#pragma once
// The timer thread of one advert channel. It does no work of its own: each
// tick is handed to the user-interface thread and the thread waits until it
// has run, then sleeps Interval seconds. Created suspended; Resume starts
// the ticks at once, Suspend pauses them. The first tick after Resume runs
// straight away.
//
// The thread never waits for the user-interface thread without also
// listening for Terminate, so the owner can end and join it from that very
// thread at any moment; a tick still queued then is dropped.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <QObject>

class TAdPlayThread {
public:
    // onPlay runs on the thread that creates this object. secondLength is the
    // length of one "second" of Interval (tests shorten it).
    explicit TAdPlayThread(std::function<void()> onPlay,
                           std::chrono::milliseconds secondLength = std::chrono::milliseconds(1000));
    ~TAdPlayThread();
    TAdPlayThread(const TAdPlayThread &) = delete;
    TAdPlayThread &operator=(const TAdPlayThread &) = delete;

    // At least one second: less is taken as one.
    void SetInterval(int seconds);
    int Interval() const;

    void Resume();
    void Suspend();
    bool Suspended() const;
    // Ends the thread and waits for it; no tick runs afterwards.
    void Terminate();

    // Ticks that reached onPlay so far.
    int Ticks() const;

private:
    void run();
    void tick(unsigned serial);

    std::function<void()> m_onPlay;
    std::chrono::milliseconds m_secondLength;
    // Receives the queued ticks; destroying it drops a tick not yet run.
    std::unique_ptr<QObject> m_context;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_interval = 1;
    bool m_suspended = true;
    bool m_terminated = false;
    bool m_tickDone = false;
    unsigned m_serial = 0;
    int m_ticks = 0;
    std::thread m_thread;
};
