#include "ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

namespace {
std::shared_ptr<ScriptedMessageBoxes> &global()
{
    static std::shared_ptr<ScriptedMessageBoxes> boxes;
    return boxes;
}
}  // namespace

QMessageBox::StandardButton ScriptedMessageBoxes::Show(QWidget *, const QString &caption,
                                                       const QString &text, TMsgIcon icon,
                                                       QMessageBox::StandardButtons buttons)
{
    m_shown.push_back({caption, text, icon, buttons});
    if (!m_answers.empty()) {
        const QMessageBox::StandardButton answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (buttons == QMessageBox::Ok)
        return QMessageBox::Ok;
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return QMessageBox::No;
}

QStringList ScriptedMessageBoxes::Texts() const
{
    QStringList texts;
    for (const ShownMessage &m : m_shown)
        texts << m.text;
    return texts;
}

ScriptedMessageBoxes &ScriptedMessageBoxes::Global()
{
    return *global();
}

void ScriptedMessageBoxes::SetGlobal(std::shared_ptr<ScriptedMessageBoxes> boxes)
{
    global() = std::move(boxes);
}
