#include "UFrmTollGate.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "NumberEdit.h"

TFrmTollGate::TFrmTollGate(QWidget *parent)
    : TSmallDialog(parent, QStringLiteral("选择关卡"), QStringLiteral("FrmTollGate"))
{
    auto *countRow = new QHBoxLayout;
    countRow->setSpacing(2);
    countRow->addWidget(new QLabel(QStringLiteral("当前共有"), this));
    m_labCount = new QLabel(QStringLiteral("0"), this);
    m_labCount->setObjectName(QStringLiteral("labCount"));
    countRow->addWidget(m_labCount);
    countRow->addWidget(new QLabel(QStringLiteral("个关卡"), this));
    countRow->addStretch(1);
    body()->addLayout(countRow);

    auto *group = new QGroupBox(QStringLiteral("设置要玩的开始关卡"), this);
    group->setObjectName(QStringLiteral("gbTollGate"));
    auto *groupRow = new QHBoxLayout(group);
    auto *caption = new QLabel(QStringLiteral("关卡"), group);
    m_speTollGate = new TNumberEdit(group);
    m_speTollGate->setObjectName(QStringLiteral("speTollGate"));
    m_speTollGate->setMinimumWidth(90);
    caption->setBuddy(m_speTollGate);
    groupRow->addWidget(caption);
    groupRow->addWidget(m_speTollGate);
    groupRow->addStretch(1);
    body()->addWidget(group);

    m_speTollGate->setFocus();
}
