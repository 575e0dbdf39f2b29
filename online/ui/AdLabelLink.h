#pragma once
// The status-bar advert label: shows the title of the advert on display in
// plain text, 宋体 9; while the mouse is over it the cursor is a hand and the
// text blue and underlined, leaving restores the arrow and black plain
// text; a click opens the advert on display in the user's browser. Before
// the first advert the label keeps its own look and a click does nothing.

#include <QObject>
#include <QPointer>
#include <QString>

#include "AdInterface.h"
#include "UrlOpener.h"

class QLabel;

class TAdLabelLink : public QObject, public TAdTitleView {
    Q_OBJECT
public:
    // Works on the label as long as it exists; never owns it.
    explicit TAdLabelLink(QLabel *label, TUrlOpener opener = ShellOpener(),
                          QObject *parent = nullptr);

    void ShowAdvert(const QString &title, const QString &address) override;

    // The address a click opens now; empty before the first advert.
    const QString &DisplayedAddress() const { return m_address; }
    bool Hovered() const { return m_hovered; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHover(bool hover);

    QPointer<QLabel> m_label;
    TUrlOpener m_opener;
    QString m_address;
    bool m_active = false;
    bool m_hovered = false;
};
