#pragma once
// The dialog "从文章生成课本": pasted text or a text or subtitle file gives
// the words it holds, each as its lemma with its count and meaning; the
// ticked ones become an ordinary imported book, each word keeping the
// sentence it first stood in as its example. Names, numbers and words the
// dictionary lacks are listed as left out.

#include <string>
#include <vector>

#include <QDialog>

#include "TextWords.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

class TFrmTextBook : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTextBook(QWidget *parent = nullptr);

    // Reads the file into the preview, as choosing it does. False, with the
    // reason in the preview's line, when it cannot be read.
    bool LoadFile(const QString &file);
    const TTextWords &Words() const { return m_words; }
    // The words ticked, in the order the table shows them.
    std::vector<TTextWord> CheckedWords() const;
    bool IsBusy() const { return m_busy; }

    void sFileNameBrowse();
    void btnReadTextClick();
    void cboOrderChange();
    void btnCheckAllClick();
    void btnCheckNoneClick();
    void btnImportClick();
    void btnCloseClick();

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setWords(TTextWords words, const QString &source);
    void fillPreview();
    void updateSummary();
    void setAllChecked(bool checked);
    void itemChanged(QTableWidgetItem *item);

    bool m_busy = false;
    bool m_filling = false;
    TTextWords m_words;
    std::vector<size_t> m_order;  // word indexes in table order
    std::vector<char> m_checked;  // per word index
    QString m_source;

    QPlainTextEdit *m_edtText;
    QPushButton *m_btnReadText;
    QLineEdit *m_sFileName;
    QToolButton *m_sFileNameButton;
    QComboBox *m_cboOrder;
    QPushButton *m_btnCheckAll;
    QPushButton *m_btnCheckNone;
    QTableWidget *m_tvWords;
    QLabel *m_labWords;
    QPlainTextEdit *m_edtLeftOut;
    QComboBox *m_cboBookClass;
    QLineEdit *m_ediLibName;
    QProgressBar *m_pbImport;
    QPushButton *m_btnImport;
    QPushButton *m_btnClose;
};
