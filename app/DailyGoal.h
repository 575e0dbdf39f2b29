#pragma once
// The daily goal: words played a day, shown in the status bar with today's
// count, and marked once, quietly, on the day it is reached.

#include <QDate>
#include <QString>

// The goal as set, brought into the dialog's range.
int ReadDailyGoal();

// "今日：37/100"; a reached goal gets a tick; an unknown count (the memory
// does not read) shows a dash.
QString DailyProgressText(int words, int goal);

class TDailyGoalMark {
public:
    // True the first time a day's count reaches the goal after one below it
    // on the same day: not for a goal already reached when the count is
    // first known (a start later in the day), and not again that day.
    bool Reached(QDate day, int words, int goal);

private:
    QDate m_day;
    int m_words = -1;
};
