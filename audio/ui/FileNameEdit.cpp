#include "FileNameEdit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

TFileNameEdit::TFileNameEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_browse(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_browse);
    m_browse->setText(QStringLiteral("…"));
    m_browse->setToolTip(QStringLiteral("浏览"));
    m_browse->setAccessibleName(QStringLiteral("浏览"));
    setFocusProxy(m_edit);
    connect(m_browse, &QToolButton::clicked, this, &TFileNameEdit::browse);
}

QString TFileNameEdit::FileName() const
{
    return m_edit->text();
}

void TFileNameEdit::SetFileName(const QString &fileName)
{
    m_edit->setText(fileName);
}

void TFileNameEdit::SetMaxLength(int length)
{
    m_edit->setMaxLength(length);
}

void TFileNameEdit::browse()
{
    const QFileInfo current(FileName());
    const QString start = FileName().isEmpty() ? QString() : current.absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(this, m_title, start, m_filter);
    if (!chosen.isEmpty())
        SetFileName(chosen);
    m_edit->setFocus();
}
