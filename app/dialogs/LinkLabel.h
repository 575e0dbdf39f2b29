#pragma once
// A label that stands for a web address: blue and underlined while the mouse
// is over it, and a click (or Enter/Space when it has the focus) opens the
// address in the browser.

#include <QLabel>
#include <QUrl>

class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    TLinkLabel(const QString &text, const QUrl &address, QWidget *parent = nullptr);

    const QUrl &Address() const { return m_address; }
    bool IsHot() const { return m_hot; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setHot(bool hot);

    QUrl m_address;
    bool m_hot = false;
};
