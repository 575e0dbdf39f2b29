#pragma once
// Passes each physical key release that reaches the game panel to the board,
// exactly once, and lets the event go on as usual.

#include <functional>

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

class TKeyForwarder : public QObject {
public:
    using Sink = std::function<void(const QKeyEvent &)>;

    // Watches the whole application; forwards releases that are delivered to
    // target, which must have the keyboard focus for them to reach it.
    TKeyForwarder(QWidget *target, Sink sink, QObject *parent = nullptr);
    ~TKeyForwarder() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_target;
    Sink m_sink;
};

// True when Caps Lock was on for this key event. Under X11 the lock state
// travels in the native modifier bits.
bool CapsLockOn(const QKeyEvent &event);
