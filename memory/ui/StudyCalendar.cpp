#include "StudyCalendar.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kWeekDays = 7;
const std::array<QColor, 5> kShades{QColor(0xeb, 0xed, 0xf0), QColor(0xb7, 0xe4, 0xa7),
                                    QColor(0x6c, 0xc6, 0x6a), QColor(0x2e, 0x9a, 0x47),
                                    QColor(0x17, 0x62, 0x2c)};

}  // namespace

QString CalendarDayText(const TDayPlay &day)
{
    QString text = QStringLiteral("%1年%2月%3日：%4个单词")
                       .arg(day.Day.year())
                       .arg(day.Day.month())
                       .arg(day.Day.day())
                       .arg(day.Words);
    if (day.Words > 0)
        text += QStringLiteral("，正确率%1%").arg(std::lround(100.0 * day.Right / day.Words));
    return text;
}

int CalendarShade(int words, int goal)
{
    if (words <= 0)
        return 0;
    goal = std::max(goal, 1);
    if (2 * words < goal)
        return 1;
    if (words < goal)
        return 2;
    return words < 2 * goal ? 3 : 4;
}

TStudyCalendar::TStudyCalendar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("calStudy"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

void TStudyCalendar::SetDays(std::vector<TDayPlay> days, int goal)
{
    m_days = std::move(days);
    m_goal = std::max(goal, 1);
    updateGeometry();
    update();
}

int TStudyCalendar::cell() const
{
    // The squares grow with the text, so the month names keep their room.
    return std::max(10, fontMetrics().height() * 3 / 4);
}

int TStudyCalendar::left() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("一")) + 6;
}

int TStudyCalendar::top() const
{
    return fontMetrics().height() + 2;
}

QPoint TStudyCalendar::gridOf(QDate day) const
{
    const QDate firstMonday = m_days.front().Day.addDays(1 - m_days.front().Day.dayOfWeek());
    const auto offset = static_cast<int>(firstMonday.daysTo(day));
    return {offset / kWeekDays, offset % kWeekDays};
}

int TStudyCalendar::weeks() const
{
    return m_days.empty() ? 0 : gridOf(m_days.back().Day).x() + 1;
}

QRect TStudyCalendar::DayRect(QDate day) const
{
    if (m_days.empty() || day < m_days.front().Day || day > m_days.back().Day)
        return {};
    const QPoint grid = gridOf(day);
    return {left() + grid.x() * pitch(), top() + grid.y() * pitch(), cell(), cell()};
}

QDate TStudyCalendar::DayAt(QPoint pos) const
{
    if (m_days.empty() || pos.x() < left() || pos.y() < top())
        return {};
    const int column = (pos.x() - left()) / pitch();
    const int row = (pos.y() - top()) / pitch();
    if (row >= kWeekDays)
        return {};
    const QDate firstMonday = m_days.front().Day.addDays(1 - m_days.front().Day.dayOfWeek());
    const QDate day = firstMonday.addDays(qint64{column} * kWeekDays + row);
    return DayRect(day).contains(pos) ? day : QDate();
}

QString TStudyCalendar::ToolTipAt(QPoint pos) const
{
    const QDate day = DayAt(pos);
    if (!day.isValid())
        return {};
    return CalendarDayText(m_days[static_cast<std::size_t>(m_days.front().Day.daysTo(day))]);
}

QSize TStudyCalendar::sizeHint() const
{
    // Room for a year's weeks even before the days are set.
    const int columns = std::max(weeks(), 53);
    const int legend = fontMetrics().height() + 4;
    // The last month's name may start in the last week.
    const int lastName = fontMetrics().horizontalAdvance(QStringLiteral("12月"));
    return {left() + columns * pitch() + lastName, top() + kWeekDays * pitch() + legend};
}

bool TStudyCalendar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, DayRect(DayAt(help->pos())));
        return true;
    }
    return QWidget::event(event);
}

void TStudyCalendar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    // Monday, Wednesday and Friday name their rows.
    for (const auto &[row, name] :
         {std::pair(0, QStringLiteral("一")), std::pair(2, QStringLiteral("三")),
          std::pair(4, QStringLiteral("五"))})
        painter.drawText(QRect(0, top() + row * pitch(), left() - 4, cell()),
                         Qt::AlignRight | Qt::AlignVCenter, name);
    if (m_days.empty())
        return;
    int lastNamed = -4;
    for (const TDayPlay &day : m_days) {
        const QRect square = DayRect(day.Day);
        painter.fillRect(square,
                         kShades[static_cast<std::size_t>(CalendarShade(day.Words, m_goal))]);
        // A month is named above the week its first day falls in, unless it
        // would run into the previous name.
        const int column = gridOf(day.Day).x();
        if (day.Day.day() == 1 && column - lastNamed >= 3) {
            painter.drawText(QPoint(square.left(), metrics.ascent()),
                             QStringLiteral("%1月").arg(day.Day.month()));
            lastNamed = column;
        }
    }
    // The shades from none to twice the goal, under the last weeks.
    const int legendTop = top() + kWeekDays * pitch() + 2;
    int x = left() + weeks() * pitch() - 2;
    const QString more = QStringLiteral("多");
    x -= metrics.horizontalAdvance(more);
    painter.drawText(QPoint(x, legendTop + metrics.ascent()), more);
    for (int shade = int(kShades.size()) - 1; shade >= 0; --shade) {
        x -= pitch();
        painter.fillRect(QRect(x, legendTop + (metrics.height() - cell()) / 2, cell(), cell()),
                         kShades[static_cast<std::size_t>(shade)]);
    }
    const QString less = QStringLiteral("少");
    x -= metrics.horizontalAdvance(less) + 4;
    painter.drawText(QPoint(x, legendTop + metrics.ascent()), less);
}
