#pragma once
// What the small settings dialogs share: a fixed size, a caption, and the
// buttons "确定" (btnOk, closes with OK and is the default) and "取消"
// (btnCancel; Escape and the window frame count the same).

#include <QDialog>

class QBoxLayout;
class QPushButton;
class QVBoxLayout;

class TSmallDialog : public QDialog {
    Q_OBJECT
public:
    TSmallDialog(QWidget *parent, const QString &caption, const QString &objectName);

    QPushButton *btnOk() const { return m_btnOk; }
    QPushButton *btnCancel() const { return m_btnCancel; }

    void btnOkClick();
    void btnCancelClick();

protected:
    // The dialog's own controls go here, above the buttons.
    QVBoxLayout *body() const { return m_body; }
    // The row of buttons; a dialog may put its own button at the left.
    QBoxLayout *buttonRow() const { return m_buttonRow; }

private:
    QVBoxLayout *m_body;
    QBoxLayout *m_buttonRow;
    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;
};
