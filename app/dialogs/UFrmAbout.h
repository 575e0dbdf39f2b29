#pragma once
// "关于": the program's name and version, the web site, and the notices of
// the third-party components it uses.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTextBrowser;
class TLinkLabel;

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    QLabel *labName() const { return m_labName; }
    // The value of settings key "version"; empty when the key is missing.
    QLabel *labVersion() const { return m_labVersion; }
    TLinkLabel *labWeb() const { return m_labWeb; }
    QTextBrowser *memNotices() const { return m_memNotices; }
    QPushButton *btnOk() const { return m_btnOk; }

    // Path of the notices file in the program folder.
    static std::string NoticesPath();

private:
    QLabel *m_labName;
    QLabel *m_labVersion;
    TLinkLabel *m_labWeb;
    QTextBrowser *m_memNotices;
    QPushButton *m_btnOk;
};

// The notices text as the box shows it: paragraphs reflowed, an indented
// paragraph indented, bare web addresses as links, nothing taken for markup.
QString NoticesHtml(const QString &text);
