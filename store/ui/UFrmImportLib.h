#pragma once
// The import dialog "导入Kivro词库": a word-library file, a class and a name
// make a new book. Several imports can be made before it is closed.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

class TFrmImportLib : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImportLib(QWidget *parent = nullptr);

    bool IsBusy() const { return m_busy; }

    void sFileNameChange();
    void sFileNameBrowse();
    void btnImportClick();
    void btnCloseClick();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_busy = false;
    QLineEdit *m_sFileName;
    QToolButton *m_sFileNameButton;
    QComboBox *m_cboBookClass;
    QLineEdit *m_ediLibName;
    QProgressBar *m_pbImport;
    QPushButton *m_btnImport;
    QPushButton *m_btnClose;
};
