#pragma once
// A one-line input dialog. The caller sets the caption (which also names the
// thing asked for in the warning) and the prompt, runs it modally and reads
// the text when it ends with Accepted. Enter confirms, Esc cancels. The text
// is a name kept as GBK: one GBK cannot hold is refused (with a player's
// name's message unless the caller names another).

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
    void SetUnsavableMessage(const QString &message) { m_unsavableMessage = message; }

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
    QString m_unsavableMessage = QStringLiteral("名字中含有无法保存的字符，请重新输入！");
};
