#include "ImeGuard.h"

#include <QFont>
#include <QInputMethodEvent>
#include <QLabel>

#include "GameFlow.h"

TImeGuard::TImeGuard(QWidget &panel, TGameFlow &flow)
    : QObject(&panel), m_panel(panel), m_flow(flow),
      m_notice(new QLabel(QStringLiteral("请切换到英文输入法"), &panel))
{
    m_notice->setObjectName(QStringLiteral("labImeNotice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setStyleSheet(QStringLiteral("QLabel { background: #FFF8DC; color: #8B0000; "
                                           "border: 2px solid #8B0000; padding: 12px; }"));
    QFont font = m_notice->font();
    font.setPixelSize(24);
    m_notice->setFont(font);
    m_notice->hide();
    m_panel.installEventFilter(this);
}

bool TImeGuard::NoticeShown() const
{
    return m_notice->isVisible();
}

void TImeGuard::KeyTyped(int key)
{
    if (NoticeShown() && key >= 'A' && key <= 'Z')
        hideNotice();
}

bool TImeGuard::eventFilter(QObject *watched, QEvent *event)
{
    // An input method that takes keys despite the panel refusing them hands
    // over text instead of key releases: the board would never see a letter.
    if (watched == &m_panel && event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<const QInputMethodEvent *>(event);
        if (!input->commitString().isEmpty() || !input->preeditString().isEmpty())
            showNotice();
    }
    return QObject::eventFilter(watched, event);
}

void TImeGuard::showNotice()
{
    if (!NoticeShown()) {
        m_resume = m_flow.State() == TGameState::Playing;
        if (m_resume)
            m_flow.Pause();
    }
    m_notice->adjustSize();
    m_notice->move((m_panel.width() - m_notice->width()) / 2,
                   (m_panel.height() - m_notice->height()) / 2);
    m_notice->raise();
    m_notice->show();
}

void TImeGuard::hideNotice()
{
    m_notice->hide();
    if (m_resume && m_flow.State() == TGameState::Paused)
        m_flow.Continue();
    m_resume = false;
}
