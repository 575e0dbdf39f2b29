#include "ProgressBarProgress.h"

#include <QCoreApplication>
#include <QProgressBar>

#include "MessageBoxes.h"
#include "ProgramEnd.h"

TProgressBarProgress::TProgressBarProgress(QProgressBar *bar, QWidget *questionParent)
    : m_bar(bar), m_parent(questionParent)
{
}

void TProgressBarProgress::SetMaximum(int maximum)
{
    m_bar->setRange(0, maximum);
}

void TProgressBarProgress::SetPosition(int position)
{
    m_bar->setValue(position);
}

int TProgressBarProgress::Position() const
{
    return m_bar->value() < 0 ? 0 : m_bar->value();
}

void TProgressBarProgress::ProcessPendingEvents()
{
    // About 100 times a second.
    constexpr qint64 kIntervalMs = 10;
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

bool TProgressBarProgress::AskYesNo(const QString &question)
{
    return m_yesToAll || ::AskYesNo(m_parent, question);
}

bool TProgressBarProgress::StopRequested()
{
    return ProgramEndRequested();
}
