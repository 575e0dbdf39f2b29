#include "ProgressBarProgress.h"

#include <algorithm>

#include <QCoreApplication>
#include <QProgressBar>

#include "MessageBoxes.h"
#include "ProgramEnd.h"

TProgressBarProgress::TProgressBarProgress(QProgressBar *bar, QWidget *questionParent)
    : m_bar(bar), m_parent(questionParent), m_maximum(std::max(0, bar->maximum())),
      m_position(std::clamp(bar->value(), 0, m_maximum))
{
}

void TProgressBarProgress::SetMaximum(int maximum)
{
    m_bar->setRange(0, maximum);
    m_maximum = std::max(0, maximum);
    m_position = std::clamp(m_position, 0, m_maximum);
    m_bar->setValue(m_position);
}

void TProgressBarProgress::SetPosition(int position)
{
    // The bar measures its text on every new value: a million rows would
    // spend most of their time there. It follows when events are processed,
    // and at the start and the end, which the player sees at once.
    m_position = std::clamp(position, 0, m_maximum);
    if (m_position == 0 || m_position == m_maximum)
        m_bar->setValue(m_position);
}

int TProgressBarProgress::Position() const
{
    return m_position;
}

void TProgressBarProgress::ProcessPendingEvents()
{
    // About 100 times a second.
    constexpr qint64 kIntervalMs = 10;
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kIntervalMs)
        return;
    m_bar->setValue(m_position);
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

bool TProgressBarProgress::AskYesNo(const QString &question)
{
    if (m_yesToAll)
        return true;
    m_bar->setValue(m_position);  // the line asked about, not an older one
    return ::AskYesNo(m_parent, question);
}

bool TProgressBarProgress::StopRequested()
{
    return ProgramEndRequested();
}
