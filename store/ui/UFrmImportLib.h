#pragma once
// The import dialog "导入Kivro词库": a word-library file (or a list pasted
// from the clipboard), a class and a name make a new book. As soon as a file
// is chosen the preview shows what the import would store, in the encoding
// and layout found or chosen; the import stores exactly the previewed list.
// Several imports can be made before it is closed.

#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "WordList.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QToolButton;

class TFrmImportLib : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImportLib(QWidget *parent = nullptr);

    bool IsBusy() const { return m_busy; }
    // The list the preview shows and the import stores.
    const TWordList &PreviewList() const { return m_list; }

    void sFileNameChange();
    void sFileNameBrowse();
    void btnPasteClick();
    void cboEncodingChange();
    void cboLayoutChange();
    void btnImportClick();
    void btnCloseClick();

    void reject() override;

    // The text the file field shows for a pasted list.
    static QString ClipboardSourceText();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Reads the file into the preview; an unreadable file empties it. With
    // mustRead, an unreadable file throws EWordFileError instead.
    void loadFile(const QString &file, bool mustRead);
    void setSource(std::string bytes, std::optional<TWordFileEncoding> forced);
    void clearPreview(const QString &why = {});
    TWordFileEncoding chosenEncoding() const;
    void parseLines();
    void fillPreview();
    QString chosenFile() const;

    bool m_busy = false;
    bool m_fromClipboard = false;
    bool m_pasting = false;
    std::optional<QString> m_loadedFile;  // the file the preview holds
    std::string m_bytes;
    TWordFileEncoding m_detected = TWordFileEncoding::Gbk;
    TWordList m_list;

    QLineEdit *m_sFileName;
    QToolButton *m_sFileNameButton;
    QPushButton *m_btnPaste;
    QComboBox *m_cboEncoding;
    QComboBox *m_cboLayout;
    QTableWidget *m_tvPreview;
    QLabel *m_labPreview;
    QCheckBox *m_cbSkipErrorLines;
    QComboBox *m_cboBookClass;
    QLineEdit *m_ediLibName;
    QProgressBar *m_pbImport;
    QPushButton *m_btnImport;
    QPushButton *m_btnClose;
};
