#include "AdLabelLink.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

TAdLabelLink::TAdLabelLink(QLabel *label, TUrlOpener opener, QObject *parent)
    : QObject(parent), m_label(label), m_opener(std::move(opener))
{
    if (m_label) {
        m_label->setTextFormat(Qt::PlainText);
        m_label->installEventFilter(this);
    }
}

void TAdLabelLink::ShowAdvert(const QString &title, const QString &address)
{
    m_address = address;
    m_active = true;
    if (!m_label)
        return;
    m_label->setText(title);
    setHover(m_label->underMouse());
}

void TAdLabelLink::setHover(bool hover)
{
    m_hovered = hover;
    if (!m_label)
        return;
    QFont font(QStringLiteral("宋体"), 9);
    font.setUnderline(hover);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, hover ? QColor(Qt::blue) : QColor(Qt::black));
    m_label->setPalette(palette);
    if (hover)
        m_label->setCursor(Qt::PointingHandCursor);
    else
        m_label->unsetCursor();
}

bool TAdLabelLink::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_label.data() || !m_active)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        setHover(true);
        break;
    case QEvent::Leave:
        setHover(false);
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && m_label->rect().contains(mouse->position().toPoint()))
            OpenWebAddress(m_opener, QUrl(m_address));
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
