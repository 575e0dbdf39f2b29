#include "LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "UrlOpener.h"

TLinkLabel::TLinkLabel(const QString &text, const QUrl &address, QWidget *parent)
    : QLabel(text, parent), m_address(address)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(address.toString());
}

void TLinkLabel::enterEvent(QEnterEvent *event)
{
    setHot(true);
    QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent *event)
{
    setHot(false);
    QLabel::leaveEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        OpenUrl(m_address);
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Space) {
        OpenUrl(m_address);
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::setHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    // A sheet of the label's own wins over the skin's label colour.
    setStyleSheet(hot ? QStringLiteral("color: #0000ff; text-decoration: underline;") : QString());
}
