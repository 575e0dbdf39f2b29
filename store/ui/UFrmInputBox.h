#pragma once
// A one-line input dialog. The caller sets the caption (which also names the
// thing asked for in the warning) and the prompt, runs it modally and reads
// the text when it ends with Accepted. Enter confirms, Esc cancels. The text
// is a name kept as GBK: one GBK cannot hold is refused.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmInputBox : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInputBox(QWidget *parent = nullptr);

    void SetTitle(const QString &prompt);
    QString Text() const;
    QLineEdit *Edit() const { return m_ediText; }

    void FormCreate();
    void btnOkClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_labTitle;
    QLineEdit *m_ediText;
    QPushButton *m_btnOk;
    QPushButton *m_btnClose;
};
