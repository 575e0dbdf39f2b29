#pragma once
// The game panel's guard against an input method: letters an input method
// takes never reach the board, so when text from one arrives the game pauses
// and a notice asks for English input; the next plain letter hides it and a
// game it paused runs on.

#include <QObject>

class QLabel;
class QWidget;
class TGameFlow;

class TImeGuard : public QObject {
public:
    // Watches panel; the notice ("labImeNotice") is a hidden child of it.
    TImeGuard(QWidget &panel, TGameFlow &flow);

    bool NoticeShown() const;
    // A key the board takes (its code, 65-90 for letters): a letter hides
    // the notice.
    void KeyTyped(int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showNotice();
    void hideNotice();

    QWidget &m_panel;
    TGameFlow &m_flow;
    QLabel *m_notice;
    bool m_resume = false;  // the notice paused a running game
};
