#pragma once
// Waiting in tests for a state another thread brings about while nothing
// queued for this thread may run yet: a tick handed over but not delivered.
// With the event loop running, tests wait with QTest::qWaitFor instead.

#include <chrono>
#include <functional>
#include <thread>

// Polls done until it holds or the time is up; returns done().
inline bool WaitWithoutEvents(const std::function<bool()> &done,
                              std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
