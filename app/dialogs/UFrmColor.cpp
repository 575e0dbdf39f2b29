#include "UFrmColor.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ColorSelector.h"

TFrmColor::TFrmColor(QWidget *parent)
    : TSmallDialog(parent, QStringLiteral("背景色及字体颜色设置"), QStringLiteral("FrmColor"))
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    auto addRow = [&](int row, const QString &caption, const QString &name) {
        auto *label = new QLabel(caption, this);
        auto *selector = new TColorSelector(this);
        selector->setObjectName(name);
        label->setBuddy(selector);
        grid->addWidget(label, row, 0);
        grid->addWidget(selector, row, 1);
        return selector;
    };
    m_csBack = addRow(0, QStringLiteral("背景颜色"), QStringLiteral("csBack"));
    m_csNormalColor = addRow(1, QStringLiteral("正常字体颜色"), QStringLiteral("csNormalColor"));
    m_csTypeColor = addRow(2, QStringLiteral("输入字母字体颜色"), QStringLiteral("csTypeColor"));
    body()->addLayout(grid);

    m_sBitBtn1 = new QPushButton(QStringLiteral("恢复默认"), this);
    m_sBitBtn1->setObjectName(QStringLiteral("sBitBtn1"));
    m_sBitBtn1->setAutoDefault(false);
    buttonRow()->insertWidget(0, m_sBitBtn1);
    connect(m_sBitBtn1, &QPushButton::clicked, this, &TFrmColor::sBitBtn1Click);
}

void TFrmColor::sBitBtn1Click()
{
    m_csBack->SetColorValue(kDefaultBackGroundColor);
    m_csNormalColor->SetColorValue(kDefaultNormalColor);
    m_csTypeColor->SetColorValue(kDefaultTypeColor);
}
