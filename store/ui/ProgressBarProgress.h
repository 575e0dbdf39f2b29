#pragma once
// Store progress shown on a dialog's progress bar, with the questions asked
// in message boxes over the dialog. Events are processed at most every few
// milliseconds: often enough for the window to stay live, seldom enough not
// to slow a long operation down.

#include <QElapsedTimer>

#include "StoreProgress.h"

class QProgressBar;
class QWidget;

class TProgressBarProgress final : public TStoreProgress {
public:
    TProgressBarProgress(QProgressBar *bar, QWidget *questionParent);

    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    int Position() const override;
    void ProcessPendingEvents() override;
    bool AskYesNo(const QString &question) override;
    // The program is ending.
    bool StopRequested() override;
    // Every question is answered Yes without being shown.
    void AnswerYesToAll(bool yes) { m_yesToAll = yes; }

private:
    bool m_yesToAll = false;
    QElapsedTimer m_sinceEvents;  // since events were last processed
    QProgressBar *m_bar;
    QWidget *m_parent;
    int m_maximum;
    int m_position;  // shown on the bar when events are processed
};
