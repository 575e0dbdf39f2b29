#include "UFrmAbout.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "GbkText.h"
#include "LinkLabel.h"
#include "Settings.h"
#include "UrlOpener.h"
#include "WebAddresses.h"

namespace {

QString readNotices(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("（未找到第三方组件声明文件 THIRD_PARTY_NOTICES。）");
    // A notices file is written in UTF-8; one that is not is still shown.
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return GbkToQString(bytes.toStdString());
}

bool isAscii(QChar c)
{
    return c.unicode() < 0x80;
}

// A paragraph's lines as one line: English words keep a blank between
// them, Chinese text runs on without one.
QString joinLines(const QStringList &lines)
{
    QString out;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (!out.isEmpty() && isAscii(out.back()) && isAscii(line.front()))
            out += u' ';
        out += line;
    }
    return out;
}

// Bare web addresses as links; the rest escaped.
QString linkify(const QString &text)
{
    static const QRegularExpression address(
        QStringLiteral("https?://[A-Za-z0-9\\-._~:/?#@!$&'*+,;=%]+[A-Za-z0-9/#=_-]"));
    QString html;
    qsizetype from = 0;
    for (auto it = address.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        html += text.mid(from, m.capturedStart() - from).toHtmlEscaped();
        const QString url = m.captured().toHtmlEscaped();
        html += QStringLiteral("<a href=\"%1\">%1</a>").arg(url);
        from = m.capturedEnd();
    }
    return html + text.mid(from).toHtmlEscaped();
}

}  // namespace

QString NoticesHtml(const QString &text)
{
    // Paragraphs are separated by blank lines and reflowed to the box's
    // width; an indented paragraph is a quotation and stays indented.
    QString html;
    const QStringList paragraphs =
        QString(text)
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .split(QRegularExpression(QStringLiteral("\n[ \t]*\n")), Qt::SkipEmptyParts);
    for (const QString &paragraph : paragraphs) {
        const QString body = linkify(joinLines(paragraph.split(u'\n')));
        if (body.isEmpty())
            continue;
        const bool quoted = paragraph.startsWith(QStringLiteral("    "));
        html += quoted ? QStringLiteral("<p style=\"margin-left:16px\">") : QStringLiteral("<p>");
        html += body + QStringLiteral("</p>");
    }
    return html;
}

std::string TFrmAbout::NoticesPath()
{
    return GetInstalledDir() + "THIRD_PARTY_NOTICES";
}

TFrmAbout::TFrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("关于 Kivro单词速打"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 12);
    outer->setSpacing(10);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    m_labName = new QLabel(QStringLiteral("Kivro单词速打"), this);
    m_labName->setObjectName(QStringLiteral("labName"));
    QFont nameFont = m_labName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    m_labName->setFont(nameFont);
    outer->addWidget(m_labName);

    auto *summary =
        new QLabel(QStringLiteral("边打字边记单词：单词从上方落下，打对即被射中并朗读。"), this);
    summary->setObjectName(QStringLiteral("labSummary"));
    outer->addWidget(summary);

    auto *facts = new QGridLayout;
    facts->setHorizontalSpacing(6);
    facts->addWidget(new QLabel(QStringLiteral("版本："), this), 0, 0);
    m_labVersion = new QLabel(GbkToQString(ReadSysString(Setting::Version)), this);
    m_labVersion->setObjectName(QStringLiteral("labVersion"));
    facts->addWidget(m_labVersion, 0, 1);
    facts->addWidget(new QLabel(QStringLiteral("网址："), this), 1, 0);
    const QString site = WebAddresses::MainSite();
    m_labWeb = new TLinkLabel(site, QUrl(site), this);
    m_labWeb->setObjectName(QStringLiteral("labWeb"));
    facts->addWidget(m_labWeb, 1, 1);
    facts->setColumnStretch(1, 1);
    outer->addLayout(facts);

    auto *noticesCaption = new QLabel(QStringLiteral("第三方组件声明："), this);
    outer->addWidget(noticesCaption);
    m_memNotices = new QTextBrowser(this);
    m_memNotices->setObjectName(QStringLiteral("memNotices"));
    // Links open in the player's browser, not inside the box.
    m_memNotices->setOpenLinks(false);
    m_memNotices->setHtml(NoticesHtml(readNotices(NoticesPath())));
    connect(m_memNotices, &QTextBrowser::anchorClicked, this,
            [](const QUrl &url) { OpenUrl(url); });
    m_memNotices->setFixedSize(460, 170);
    outer->addWidget(m_memNotices);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    buttons->addWidget(m_btnOk);
    outer->addLayout(buttons);
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
    m_btnOk->setFocus();
}
