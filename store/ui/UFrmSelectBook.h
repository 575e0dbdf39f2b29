#pragma once
// The book selection dialog "选择课本": a book from the tree and its word
// order. The caller hands over a copy of its game parameters and, when the
// dialog ends with Accepted, takes GamePara() back. Books can be deleted,
// renamed and hidden here too; when the book being played is deleted,
// GamePara() holds toll gate 1 of the first book in the tree whatever the
// result, and CurrentBookDeleted() says so.

#include <QDialog>

#include "Records.h"

class QCheckBox;
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
    bool CurrentBookDeleted() const { return m_currentDeleted; }

    void FormShow();
    void ShowBookInfo();
    void tvLibListClick();
    void btnSelectClick();
    void btnCloseClick();
    void FormDestroy();
    void btnDeleteClick();
    void btnRenameClick();
    void btnHideClick();
    void cbShowHiddenClick();
    // The tree's context menu on a book: a word of it, asked for by its
    // spelling, goes into the new-words book ("加入生词本") or is known
    // ("已掌握": out of the new-words book, not due for 180 days).
    void tvLibListContextMenu(const QPoint &pos);
    void AddWordByHand(int bookId, bool known);

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The id the current node carries; -1 for a class node or no node.
    int currentBookId() const;
    // Fills the tree again and selects the book of that id, if listed.
    void refillTree(int selectId);
    // Enables and captions the book buttons for the current node.
    void updateBookButtons();
    // The parameters of toll gate 1 of the first book in the tree.
    void startFirstBook();

    TGamePara m_para;
    bool m_busy = false;
    bool m_currentDeleted = false;
    QTreeWidget *m_tvLibList;
    QLineEdit *m_ediBookName;
    QLineEdit *m_ediWordCount;
    QRadioButton *m_rbLetter;
    QRadioButton *m_rbRandom;
    QPushButton *m_btnSelect;
    QPushButton *m_btnClose;
    QPushButton *m_btnDelete;
    QPushButton *m_btnRename;
    QPushButton *m_btnHide;
    QCheckBox *m_cbShowHidden;
    QProgressBar *m_sProgressBar;
};
