#include "UFrmLearningSettings.h"

#include <cmath>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

TFrmLearningSettings::TFrmLearningSettings(const TFsrsParameters &parameters, int dailyGoal,
                                           bool remindDaily, QWidget *parent)
    : TSmallDialog(parent, QStringLiteral("学习设置"), QStringLiteral("FrmLearningSettings")),
      m_parameters(parameters), m_retention(new QDoubleSpinBox(this)), m_meaning(new QLabel(this)),
      m_dailyGoal(new QSpinBox(this)),
      m_remindDaily(new QCheckBox(QStringLiteral("每天提醒我复习"), this))
{
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("记忆保持率"), this);
    m_retention->setObjectName(QStringLiteral("speRetention"));
    m_retention->setDecimals(2);
    m_retention->setSingleStep(0.01);
    m_retention->setRange(kMinRetention, kMaxRetention);
    m_retention->setValue(parameters.Retention);
    m_retention->setMinimumWidth(90);
    caption->setBuddy(m_retention);
    row->addWidget(caption);
    row->addWidget(m_retention);
    row->addStretch(1);
    body()->addLayout(row);

    m_meaning->setObjectName(QStringLiteral("labRetentionMeaning"));
    body()->addWidget(m_meaning);
    auto *goalRow = new QHBoxLayout;
    auto *goalCaption = new QLabel(QStringLiteral("每日目标"), this);
    m_dailyGoal->setObjectName(QStringLiteral("speDailyGoal"));
    m_dailyGoal->setRange(kMinDailyGoal, kMaxDailyGoal);
    m_dailyGoal->setSingleStep(10);
    m_dailyGoal->setSuffix(QStringLiteral("个单词"));
    m_dailyGoal->setValue(dailyGoal);
    m_dailyGoal->setMinimumWidth(90);
    goalCaption->setBuddy(m_dailyGoal);
    goalRow->addWidget(goalCaption);
    goalRow->addWidget(m_dailyGoal);
    goalRow->addStretch(1);
    body()->addLayout(goalRow);
    m_remindDaily->setObjectName(QStringLiteral("cbRemindDaily"));
    m_remindDaily->setToolTip(QStringLiteral("登录桌面时，如果今天有需要复习的单词，显示一条通知"));
    m_remindDaily->setChecked(remindDaily);
    body()->addWidget(m_remindDaily);

    connect(m_retention, &QDoubleSpinBox::valueChanged, this, &TFrmLearningSettings::showMeaning);
    showMeaning();
    m_retention->setFocus();
}

TFsrsParameters TFrmLearningSettings::Parameters() const
{
    TFsrsParameters chosen = m_parameters;
    // The box shows two decimals: what it shows is what is kept.
    chosen.Retention = std::round(m_retention->value() * 100) / 100;
    return chosen;
}

int TFrmLearningSettings::DailyGoal() const
{
    return m_dailyGoal->value();
}

bool TFrmLearningSettings::RemindDaily() const
{
    return m_remindDaily->isChecked();
}

void TFrmLearningSettings::showMeaning()
{
    const TFsrsParameters chosen = Parameters();
    m_meaning->setText(QStringLiteral("记住的单词约为%1%，一个熟悉的单词下次复习约在%2天后")
                           .arg(std::lround(chosen.Retention * 100))
                           .arg(FamiliarWordIntervalDays(chosen)));
}
