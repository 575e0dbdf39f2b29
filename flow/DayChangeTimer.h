#pragma once
// Tells when the local date of the program clock changes, so figures that
// hold "today" (the words due today) can be counted again while the program
// stays open over midnight.
//
// It wakes at the next local midnight, but never later than kRecheckMs from
// now: a timer counts elapsed time, which neither a clock set by hand or by
// the network nor a suspend moves, so each wake-up reads the clock again and
// re-arms from what it says.

#include <cstdint>

#include <QObject>
#include <QTimer>

class TDayChangeTimer : public QObject {
    Q_OBJECT

public:
    static constexpr int kRecheckMs = 60'000;

    explicit TDayChangeTimer(QObject *parent = nullptr);

    // Takes today's date from the program clock and starts watching.
    void Start();
    void Stop();
    bool IsActive() const { return m_timer.isActive(); }
    // Reads the clock now: dayChanged when the date differs from the last
    // one seen (forward or back), then the timer is armed again.
    void Check();
    // The wait armed last, in milliseconds.
    int ArmedMs() const { return m_timer.interval(); }

signals:
    void dayChanged();

private:
    void arm(std::int64_t nowMs);

    QTimer m_timer;
    // The local midnight that ends the day last seen.
    std::int64_t m_dayEndMs = 0;
};
