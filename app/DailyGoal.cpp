#include "DailyGoal.h"

#include <algorithm>

#include "Settings.h"
#include "dialogs/UFrmLearningSettings.h"

int ReadDailyGoal()
{
    return std::clamp(ReadSysInteger(Setting::DailyGoal), kMinDailyGoal, kMaxDailyGoal);
}

QString DailyProgressText(int words, int goal)
{
    if (words < 0)
        return QStringLiteral("今日：—/%1").arg(goal);
    return QStringLiteral("今日：%1/%2").arg(words).arg(goal)
           + (words >= goal ? QStringLiteral(" ✓") : QString());
}

bool TDailyGoalMark::Reached(QDate day, int words, int goal)
{
    if (day != m_day) {
        m_day = day;
        m_words = -1;
    }
    const bool reached = m_words >= 0 && m_words < goal && words >= goal;
    if (words >= 0)
        m_words = words;
    return reached;
}
