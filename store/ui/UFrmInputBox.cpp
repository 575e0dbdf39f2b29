#include "UFrmInputBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "GbkText.h"
#include "MessageBoxes.h"

namespace {

// Blanks and control characters at both ends, as the input is judged.
bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x20)
            return false;
    }
    return true;
}

}  // namespace

TFrmInputBox::TFrmInputBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_labTitle(new QLabel(this)), m_ediText(new QLineEdit(this)),
      m_btnOk(new QPushButton(QStringLiteral("确定"), this)),
      m_btnClose(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("FrmInputBox"));
    m_labTitle->setObjectName(QStringLiteral("labTitle"));
    m_labTitle->setTextFormat(Qt::PlainText);
    m_ediText->setObjectName(QStringLiteral("ediText"));
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_btnOk->setDefault(true);
    m_btnClose->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_labTitle);
    layout->addWidget(m_ediText);
    layout->addLayout(buttons);
    m_ediText->setMinimumWidth(260);

    connect(m_btnOk, &QPushButton::clicked, this, &TFrmInputBox::btnOkClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TFrmInputBox::btnCloseClick);
    FormCreate();
    setFixedSize(sizeHint());
}

void TFrmInputBox::FormCreate()
{
    m_labTitle->clear();
}

void TFrmInputBox::SetTitle(const QString &prompt)
{
    m_labTitle->setText(prompt);
}

QString TFrmInputBox::Text() const
{
    return m_ediText->text();
}

void TFrmInputBox::btnOkClick()
{
    if (isBlank(m_ediText->text())) {
        ShowMessage(this, QStringLiteral("请输入") + windowTitle(), TMsgIcon::Information);
        m_ediText->setFocus();
        return;
    }
    // What is typed here is kept as GBK: a character it cannot hold would be
    // stored as something else.
    if (!QStringToGbkStrict(m_ediText->text())) {
        ShowMessage(this, m_unsavableMessage, TMsgIcon::Information);
        m_ediText->setFocus();
        return;
    }
    accept();
}

void TFrmInputBox::btnCloseClick()
{
    reject();
}

void TFrmInputBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    m_ediText->setFocus();
}
