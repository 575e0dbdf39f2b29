#pragma once
// The book selection dialog "选择课本": a book from the tree and its word
// order. The caller hands over a copy of its game parameters and, when the
// dialog ends with Accepted, takes GamePara() back.

#include <QDialog>

#include "Records.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

class TFrmSelectBook : public QDialog {
    Q_OBJECT
public:
    TFrmSelectBook(const TGamePara &para, QWidget *parent = nullptr);
    ~TFrmSelectBook() override;

    const TGamePara &GamePara() const { return m_para; }
    bool IsBusy() const { return m_busy; }

    void FormShow();
    void ShowBookInfo();
    void tvLibListClick();
    void btnSelectClick();
    void btnCloseClick();
    void FormDestroy();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The id the current node carries; -1 for a class node or no node.
    int currentBookId() const;

    TGamePara m_para;
    bool m_busy = false;
    QTreeWidget *m_tvLibList;
    QLineEdit *m_ediBookName;
    QLineEdit *m_ediWordCount;
    QRadioButton *m_rbLetter;
    QRadioButton *m_rbRandom;
    QPushButton *m_btnSelect;
    QPushButton *m_btnClose;
    QProgressBar *m_sProgressBar;
};
