#include "MemoryFitRun.h"

#include <mutex>

#include "Clock.h"
#include "MemoryParameters.h"
#include "StoreLog.h"
#include "UDataInterface.h"
#include "WordMemory.h"

namespace {

QString Figure(double logLoss)
{
    return QString::number(logLoss, 'f', 2);
}

}  // namespace

QString MemoryFitReport(const TFsrsOptimization &result)
{
    using TOutcome = TFsrsOptimization::TOutcome;
    switch (result.Outcome) {
    case TOutcome::NewWeights:
        return QStringLiteral("预测误差：优化前 %1，优化后 %2（根据%3次复习）")
            .arg(Figure(result.LogLossBefore), Figure(result.LogLossAfter))
            .arg(result.Reviews);
    case TOutcome::KeptCurrent:
        return QStringLiteral("预测误差：优化前 %1，优化后 %1。按较早的复习算出的参数对最近的复习"
                              "预测得不如现在的参数（%2 对 %3），保留现在的参数。")
            .arg(Figure(result.LogLossBefore), Figure(result.HeldOutNew),
                 Figure(result.HeldOutCurrent));
    case TOutcome::TooFewReviews:
        return QStringLiteral("复习记录只有%1次，至少需要%2次才能优化记忆参数，请多玩几关再来。")
            .arg(result.Reviews)
            .arg(kMinReviewsToOptimize);
    case TOutcome::Stopped:
        break;
    }
    return QStringLiteral("优化已停止，记忆参数没有改变。");
}

struct TMemoryFitRun::TShared {
    std::mutex Mutex;
    std::optional<TFsrsOptimization> Result;
};

TMemoryFitRun::TMemoryFitRun(QObject *parent)
    : QObject(parent), m_shared(std::make_shared<TShared>())
{
}

TMemoryFitRun::~TMemoryFitRun()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool TMemoryFitRun::Start()
{
    if (Running())
        return false;
    std::vector<TWordReviews> log = LoggedReviews();
    const TFsrsWeights current = ReadMemoryParameters().Weights;
    const std::size_t reviews = TFsrsReviewSet(log).ScoredCount();
    if (reviews < kMinReviewsToOptimize) {
        TFsrsOptimization tooFew;
        tooFew.Reviews = reviews;
        tooFew.Weights = current;
        m_lastReport = MemoryFitReport(tooFew);
        emit Finished(m_lastReport);
        return false;
    }
    m_stop = false;
    m_percent = 0;
    emit Started();
    m_worker = std::thread([this, log = std::move(log), current, shared = m_shared] {
        int shown = 0;
        const TFsrsOptimization result =
            OptimizeFsrsWeights(log, current, [this, &shown](double share) {
                const int percent = static_cast<int>(share * 100);
                if (percent > shown) {
                    shown = percent;
                    QMetaObject::invokeMethod(
                        this,
                        [this, percent] {
                            if (!Running())
                                return;
                            m_percent = percent;
                            emit Progress(percent);
                        },
                        Qt::QueuedConnection);
                }
                return !m_stop.load();
            });
        {
            const std::lock_guard lock(shared->Mutex);
            shared->Result = result;
        }
        QMetaObject::invokeMethod(
            this, [this] { Wait(); }, Qt::QueuedConnection);
    });
    return true;
}

void TMemoryFitRun::Wait()
{
    if (m_worker.joinable())
        m_worker.join();
    std::optional<TFsrsOptimization> result;
    {
        const std::lock_guard lock(m_shared->Mutex);
        result.swap(m_shared->Result);
    }
    if (result)
        finish(*result);
}

void TMemoryFitRun::finish(const TFsrsOptimization &result)
{
    m_lastReport = MemoryFitReport(result);
    if (result.Outcome == TFsrsOptimization::TOutcome::NewWeights) {
        try {
            // Read again: the retention may have changed while the fit ran.
            TFsrsParameters parameters = ReadMemoryParameters();
            parameters.Weights = result.Weights;
            ChangeMemoryParameters(parameters, ProgramClock().NowMs());
        } catch (const EDatabaseError &e) {
            qCWarning(lcStore) << "recording the fitted memory parameters failed:" << e.what();
            m_lastReport = QStringLiteral("保存新的记忆参数失败：") + DatabaseFailureReason(e);
        }
    }
    m_percent = 100;
    emit Finished(m_lastReport);
}

void TMemoryFitRun::StartIfDue()
{
    try {
        const std::int64_t count = CountLoggedReviews();
        const std::int64_t reached = count / kAutoFitEvery * kAutoFitEvery;
        if (m_nextAutoFit < 0) {
            // The first check only sets the mark: reviews made before this
            // program started were already counted by earlier runs.
            m_nextAutoFit = reached + kAutoFitEvery;
            return;
        }
        if (count < m_nextAutoFit || Running())
            return;
        m_nextAutoFit = reached + kAutoFitEvery;
        Start();
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << "the automatic fit of the memory parameters did not start:"
                           << e.what();
    }
}

void TMemoryFitRun::RestoreDefaults()
{
    TFsrsParameters parameters = ReadMemoryParameters();
    parameters.Weights = DefaultFsrsWeights();
    ChangeMemoryParameters(parameters, ProgramClock().NowMs());
    m_lastReport = QStringLiteral("已恢复默认参数。");
    emit Finished(m_lastReport);
}
