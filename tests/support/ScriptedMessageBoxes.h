#pragma once
// Message boxes that answer from a script and remember what they showed.
// An OK-only box needs no script; an unscripted question fails the test.

#include <deque>
#include <memory>
#include <vector>

#include "MessageBoxes.h"

struct ShownMessage {
    QString caption;
    QString text;
    TMsgIcon icon;
    QMessageBox::StandardButtons buttons;
};

class ScriptedMessageBoxes final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *parent, const QString &caption, const QString &text,
                                     TMsgIcon icon, QMessageBox::StandardButtons buttons) override;

    void Answer(QMessageBox::StandardButton button) { m_answers.push_back(button); }
    void Clear()
    {
        m_answers.clear();
        m_shown.clear();
    }
    const std::vector<ShownMessage> &Shown() const { return m_shown; }
    // Texts of the messages shown, in order.
    QStringList Texts() const;
    size_t PendingAnswers() const { return m_answers.size(); }

    // The instance the test main installed; tests Clear() it in SetUp.
    static ScriptedMessageBoxes &Global();
    static void SetGlobal(std::shared_ptr<ScriptedMessageBoxes> boxes);

private:
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<ShownMessage> m_shown;
};
