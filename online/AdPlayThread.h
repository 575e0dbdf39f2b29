#pragma once
// The timer thread of one advert channel. It does no work of its own: each
// tick is handed to the user-interface thread and the thread waits until it
// has run, then sleeps Interval seconds. Created suspended; Resume starts
// the ticks at once, Suspend pauses them. The first tick after Resume runs
// straight away.
//
// The owner can end it from the user-interface thread at any moment; a tick
// still queued then, or queued before a Suspend, is dropped.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>

#include "UiTickThread.h"

class TAdPlayThread {
public:
    // onPlay runs on the thread that creates this object. secondLength is the
    // length of one "second" of Interval (tests shorten it).
    explicit TAdPlayThread(std::function<void()> onPlay, std::chrono::milliseconds secondLength =
                                                             std::chrono::milliseconds(1000));
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
    int Ticks() const { return m_ticks; }
    // Ticks handed to the user-interface thread so far, run or dropped.
    std::uint64_t TicksHandedOver() const { return m_ticker.HandedOver(); }

private:
    int sleepMs() const;

    std::function<void()> m_onPlay;
    std::chrono::milliseconds m_secondLength;
    int m_interval = 1;
    int m_ticks = 0;  // read and written on the user-interface thread only
    // Receives the queued ticks; declared first, so it outlives m_ticker.
    QObject m_context;
    TUiTickThread m_ticker;
};
