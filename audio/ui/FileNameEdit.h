#pragma once
// A file-name box: an edit for the path and a browse button that opens a file
// dialog. The edit takes the keyboard focus; the button is reachable with Tab.

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

class TFileNameEdit : public QWidget {
    Q_OBJECT
public:
    explicit TFileNameEdit(QWidget *parent = nullptr);

    QString FileName() const;
    void SetFileName(const QString &fileName);
    // Qt filter syntax, e.g. "*.mp3 (*.mp3 *.MP3)".
    void SetFilter(const QString &filter) { m_filter = filter; }
    void SetDialogTitle(const QString &title) { m_title = title; }
    void SetMaxLength(int length);

    QLineEdit *Edit() const { return m_edit; }
    QToolButton *BrowseButton() const { return m_browse; }

private:
    void browse();

    QLineEdit *m_edit;
    QToolButton *m_browse;
    QString m_filter;
    QString m_title;
};
