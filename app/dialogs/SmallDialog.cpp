#include "SmallDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TSmallDialog::TSmallDialog(QWidget *parent, const QString &caption, const QString &objectName)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 12, 14, 12);
    outer->setSpacing(12);
    // A dialog of fixed size: its controls never need more room than they ask.
    outer->setSizeConstraint(QLayout::SetFixedSize);

    m_body = new QVBoxLayout;
    m_body->setSpacing(8);
    outer->addLayout(m_body);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addStretch(1);
    m_btnOk = new QPushButton(QStringLiteral("确定"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("取消"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_buttonRow->addWidget(m_btnOk);
    m_buttonRow->addWidget(m_btnCancel);
    outer->addLayout(m_buttonRow);

    connect(m_btnOk, &QPushButton::clicked, this, &TSmallDialog::btnOkClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TSmallDialog::btnCancelClick);
}

void TSmallDialog::btnOkClick()
{
    accept();
}

void TSmallDialog::btnCancelClick()
{
    reject();
}
