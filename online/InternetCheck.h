#pragma once
// The Internet check: a worker thread that runs the full connection test at
// once and then once a second until it passes, raises the Online flag and
// ends. The flag is shared, so the timers that poll it may outlive the
// check; it only ever goes from false to true.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "ConnectionStages.h"
#include "OnlineAddresses.h"

class QThread;

using TOnlineFlag = std::shared_ptr<std::atomic<bool>>;

// The program's flag; the main window and the pop-up advert window read it.
TOnlineFlag ProgramOnlineFlag();
TOnlineFlag NewOnlineFlag();

// The full test: stage 1, then the first portal or else the second, then
// stage 3. Any error gives false.
bool IsConnected(const TConnectionStages &stages, const TOnlineAddresses &addresses,
                 const std::atomic<bool> *cancel = nullptr);
// The short test that guards each advert download: the first portal only.
bool IsOnline(const TConnectionStages &stages, const TOnlineAddresses &addresses,
              const std::atomic<bool> *cancel = nullptr);

class TInternetCheck {
public:
    explicit TInternetCheck(
        TOnlineFlag online = ProgramOnlineFlag(),
        TConnectionStages stages = SystemConnectionStages(),
        TOnlineAddresses addresses = ProgramAddresses(),
        std::chrono::milliseconds retryInterval = std::chrono::milliseconds(1000));
    // Ends the thread, even in the middle of a request, and waits for it.
    ~TInternetCheck();
    TInternetCheck(const TInternetCheck &) = delete;
    TInternetCheck &operator=(const TInternetCheck &) = delete;

    // Starts the thread (once; later calls do nothing).
    void Start();
    // Asks the thread to end and waits until it has.
    void Terminate();

    bool Online() const { return m_online->load(); }
    const TOnlineFlag &OnlineFlag() const { return m_online; }
    // Tests run so far, for the curious and for tests.
    int Attempts() const { return m_attempts.load(); }
    bool Finished() const;

private:
    void run();

    TOnlineFlag m_online;
    TConnectionStages m_stages;
    TOnlineAddresses m_addresses;
    std::chrono::milliseconds m_retryInterval;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_attempts{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<QThread> m_thread;
};
