#pragma once
// Fitting the scheduler's weights to the learner's review log on a worker
// thread while the game goes on ("优化记忆参数"): by hand from the progress
// window, or by itself each time the log reaches another kAutoFitEvery
// reviews. The log is read on the caller's thread before the worker starts,
// and the weights found are recorded there once it is done (a dated change
// and a replay of every card, reviews recorded meanwhile included).

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include <QObject>
#include <QString>

#include "FsrsOptimizer.h"

inline constexpr std::int64_t kAutoFitEvery = 1000;

// What a finished fit tells the learner, in words.
QString MemoryFitReport(const TFsrsOptimization &result);

class TMemoryFitRun : public QObject {
    Q_OBJECT
public:
    explicit TMemoryFitRun(QObject *parent = nullptr);
    ~TMemoryFitRun() override;
    TMemoryFitRun(const TMemoryFitRun &) = delete;
    TMemoryFitRun &operator=(const TMemoryFitRun &) = delete;

    // Starts a fit unless one runs. Fewer than kMinReviewsToOptimize reviews
    // start none and say so (Finished with the explanation). False when none
    // started. Throws EDatabaseError when the log does not read.
    bool Start();
    // Starts one when the log has reached the next multiple of kAutoFitEvery
    // since the last check. Handled failures are logged, never thrown.
    void StartIfDue();
    // Back to the default weights (the retention stays), recorded and replayed.
    void RestoreDefaults();

    bool Running() const { return m_worker.joinable(); }
    int Percent() const { return m_percent; }
    // The report of the last fit or restore; empty before the first.
    const QString &LastReport() const { return m_lastReport; }
    // Blocks until the worker is done (tests; the end of the program).
    void Wait();

signals:
    void Started();
    void Progress(int percent);
    void Finished(const QString &report);

private:
    void finish(const TFsrsOptimization &result);

    // The worker's result, handed over under a lock.
    struct TShared;
    std::shared_ptr<TShared> m_shared;
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    int m_percent = 0;
    std::int64_t m_nextAutoFit = -1;
    QString m_lastReport;
};
