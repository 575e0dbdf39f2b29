#pragma once
// What the long store operations (import, shuffled copy) need of whoever runs
// them: a progress figure, a chance to process pending events after every
// row, and a yes/no question. The dialogs show a progress bar and message
// boxes; the database builder and the benchmark have no window at all.

#include <QString>
#include <QStringList>

class TStoreProgress {
public:
    virtual ~TStoreProgress() = default;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    // Lets the window system repaint and react while the operation runs.
    virtual void ProcessPendingEvents() = 0;
    // True for Yes.
    virtual bool AskYesNo(const QString &question) = 0;
    // True when the operation is to end at this step as if the player had
    // answered No (the program is ending).
    virtual bool StopRequested() { return false; }

    void StepIt() { SetPosition(Position() + 1); }
};

// Progress without a window: keeps the figures, answers every question with a
// fixed answer and remembers the questions. Optionally processes Qt events.
class TQuietProgress : public TStoreProgress {
public:
    explicit TQuietProgress(bool answer = false, bool processEvents = false)
        : m_answer(answer), m_processEvents(processEvents)
    {
    }

    void SetMaximum(int maximum) override { m_maximum = maximum; }
    void SetPosition(int position) override { m_position = position; }
    int Position() const override { return m_position; }
    void ProcessPendingEvents() override;
    bool AskYesNo(const QString &question) override
    {
        m_questions << question;
        return m_answer;
    }

    int Maximum() const { return m_maximum; }
    const QStringList &Questions() const { return m_questions; }

private:
    bool m_answer;
    bool m_processEvents;
    int m_maximum = 0;
    int m_position = 0;
    QStringList m_questions;
};

// The question asked for an error line; lineNumber counts every line from 1.
QString ErrorLineQuestion(int lineNumber);
