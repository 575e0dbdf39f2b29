#pragma once
// The learner's year at a glance: the last days as a grid of squares, a
// column per week with Monday on top, each square shaded by the words played
// that day against the daily goal, the month names above, and a tool tip per
// day with its words and their accuracy.

#include <vector>

#include <QDate>
#include <QWidget>

#include "StudyHabit.h"

// "2026年12月10日：132个单词，正确率92%"; a day without play has no accuracy.
QString CalendarDayText(const TDayPlay &day);
// 0 for no play, then 1..4: under half the goal, under the goal, under twice
// the goal, twice the goal or more.
int CalendarShade(int words, int goal);

class TStudyCalendar : public QWidget {
    Q_OBJECT
public:
    explicit TStudyCalendar(QWidget *parent = nullptr);

    // Days: consecutive, oldest first.
    void SetDays(std::vector<TDayPlay> days, int goal);
    const std::vector<TDayPlay> &Days() const { return m_days; }

    // The square of Day in widget coordinates, empty for a day not shown.
    QRect DayRect(QDate day) const;
    // The day whose square holds Pos; invalid between or outside the squares.
    QDate DayAt(QPoint pos) const;
    QString ToolTipAt(QPoint pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int cell() const;
    int pitch() const { return cell() + 2; }
    int left() const;
    int top() const;
    int weeks() const;
    // The day's column and row, from the Monday of the first day's week.
    QPoint gridOf(QDate day) const;

    std::vector<TDayPlay> m_days;
    int m_goal = 1;
};
