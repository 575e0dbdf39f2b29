#include "UFrmStudyProgress.h"

#include <algorithm>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include "GbkText.h"
#include "KivroApplication.h"
#include "MemoryFitRun.h"
#include "MemoryParameters.h"
#include "MessageBoxes.h"
#include "ModalRunner.h"
#include "StudyCalendar.h"
#include "StudyHabit.h"
#include "StudyProgressQueries.h"
#include "UDataInterface.h"

namespace {

constexpr int kForecastDays = 30;
constexpr int kCalendarDays = 365;

QTableWidget *MakeTable(QWidget *Parent, const char *Name, const QStringList &Headers)
{
    auto *Table = new QTableWidget(0, int(Headers.size()), Parent);
    Table->setObjectName(QLatin1String(Name));
    Table->setHorizontalHeaderLabels(Headers);
    Table->verticalHeader()->hide();
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    // The name takes what the figures leave.
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return Table;
}

QChartView *MakeChartView(QWidget *Parent, const char *Name, const QString &Title)
{
    auto *View = new QChartView(Parent);
    View->setObjectName(QLatin1String(Name));
    View->chart()->setTitle(Title);
    View->chart()->legend()->hide();
    View->setRenderHint(QPainter::Antialiasing);
    View->setMinimumSize(360, 220);
    return View;
}

void SetRow(QTableWidget *Table, int Row, const QStringList &Texts)
{
    for (int Column = 0; Column < Texts.size(); ++Column) {
        auto *Item = new QTableWidgetItem(Texts[Column]);
        if (Column > 0)
            Item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Table->setItem(Row, Column, Item);
    }
}

QString Percent(int Right, int Errors)
{
    if (Right + Errors == 0)
        return QStringLiteral("-");
    return QString::number(Accuracy(Right, Errors) * 100, 'f', 1) + QLatin1Char('%');
}

QString PercentText(double share)
{
    return QString::number(share * 100, 'f', 1) + QLatin1Char('%');
}

QString LetterText(unsigned char Byte)
{
    // Slips are single bytes; a byte of a Chinese character shows as its code.
    if (Byte >= 0x20 && Byte < 0x7F)
        return QString(QLatin1Char(char(Byte)));
    return QStringLiteral("0x%1").arg(Byte, 2, 16, QLatin1Char('0'));
}

// A count axis from 0 to at least top with whole-number ticks only: a step of
// 1, 2 or 5 times a power of ten, at most ten steps.
void setWholeNumberTicks(QValueAxis &axis, int top)
{
    top = std::max(top, 1);
    int step = 1;
    for (int magnitude = 1; (top + step - 1) / step > 10;) {
        if (step == magnitude)
            step = 2 * magnitude;
        else if (step == 2 * magnitude)
            step = 5 * magnitude;
        else
            step = magnitude *= 10;
    }
    const int steps = (top + step - 1) / step;
    axis.setRange(0, steps * step);
    axis.setTickType(QValueAxis::TicksFixed);
    axis.setTickCount(steps + 1);
    axis.setMinorTickCount(0);
    axis.setLabelFormat(QStringLiteral("%d"));
}

void ClearChart(QChart *Chart)
{
    Chart->removeAllSeries();
    for (QAbstractAxis *Axis : Chart->axes()) {
        Chart->removeAxis(Axis);
        delete Axis;
    }
}

}  // namespace

TFrmStudyProgress::TFrmStudyProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_tblBooks(
          MakeTable(this, "tblBooks",
                    {QStringLiteral("课本"), QStringLiteral("单词数"), QStringLiteral("已见"),
                     QStringLiteral("已学会"), QStringLiteral("学习中"), QStringLiteral("今日到期"),
                     QStringLiteral("未见"), QStringLiteral("已玩关卡"), QStringLiteral("正确率"),
                     QStringLiteral("近30天保持率")})),
      m_chartLearnt(MakeChartView(this, "chartLearnt", QStringLiteral("学会的单词"))),
      m_chartAccuracy(MakeChartView(this, "chartAccuracy", QStringLiteral("各关正确率"))),
      m_cbForecastBook(new QComboBox(this)),
      m_chartForecast(MakeChartView(this, "chartForecast", QStringLiteral("复习预测"))),
      m_chartRetention(MakeChartView(this, "chartRetention", QStringLiteral("实际保持率"))),
      m_labStreak(new QLabel(this)), m_labGoal(new QLabel(this)),
      m_calendar(new TStudyCalendar(this)),
      m_tblMissed(MakeTable(
          this, "tblMissed",
          {QStringLiteral("单词"), QStringLiteral("漏掉次数"), QStringLiteral("打错字母")})),
      m_tblLetters(MakeTable(
          this, "tblLetters",
          {QStringLiteral("字母"), QStringLiteral("打错次数"), QStringLiteral("常打成")})),
      m_btnWeakSpellings(new QPushButton(QStringLiteral("练习薄弱拼写"), this)),
      m_btnExport(new QPushButton(QStringLiteral("导出学习记录"), this)),
      m_btnClear(new QPushButton(QStringLiteral("清除学习记录"), this)),
      m_btnClose(new QPushButton(QStringLiteral("关闭(&C)"), this)),
      m_labMemoryFit(new QLabel(this)), m_barMemoryFit(new QProgressBar(this)),
      m_btnOptimizeMemory(new QPushButton(QStringLiteral("优化记忆参数"), this)),
      m_btnRestoreDefaults(new QPushButton(QStringLiteral("恢复默认参数"), this))
{
    setObjectName(QStringLiteral("FrmStudyProgress"));
    setWindowTitle(QStringLiteral("学习进度"));
    m_btnWeakSpellings->setObjectName(QStringLiteral("btnWeakSpellings"));
    m_btnExport->setObjectName(QStringLiteral("btnExport"));
    m_btnClear->setObjectName(QStringLiteral("btnClear"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_labMemoryFit->setObjectName(QStringLiteral("labMemoryFit"));
    m_barMemoryFit->setObjectName(QStringLiteral("barMemoryFit"));
    m_btnOptimizeMemory->setObjectName(QStringLiteral("btnOptimizeMemory"));
    m_btnRestoreDefaults->setObjectName(QStringLiteral("btnRestoreDefaults"));
    m_cbForecastBook->setObjectName(QStringLiteral("cbForecastBook"));
    m_labStreak->setObjectName(QStringLiteral("labStreak"));
    m_labGoal->setObjectName(QStringLiteral("labGoal"));
    QFont streakFont = m_labStreak->font();
    streakFont.setBold(true);
    m_labStreak->setFont(streakFont);
    m_chartForecast->setMinimumSize(300, 200);
    m_chartRetention->setMinimumSize(300, 200);
    m_labMemoryFit->setWordWrap(true);
    m_barMemoryFit->setRange(0, 100);
    m_btnOptimizeMemory->setToolTip(
        QStringLiteral("按你的复习记录（至少%1次）算出更合适的记忆参数；算的时候可以接着玩。")
            .arg(kMinReviewsToOptimize));

    auto *tabs = new QTabWidget(this);
    m_tabs = tabs;
    tabs->setObjectName(QStringLiteral("tabProgress"));
    auto *curves = new QWidget(tabs);
    curves->setObjectName(QStringLiteral("tabCurves"));
    auto *charts = new QHBoxLayout(curves);
    charts->addWidget(m_chartLearnt);
    charts->addWidget(m_chartAccuracy);
    tabs->addTab(curves, QStringLiteral("学习曲线"));

    auto *habit = new QWidget(tabs);
    m_habitPage = habit;
    habit->setObjectName(QStringLiteral("tabHabit"));
    auto *habitLayout = new QVBoxLayout(habit);
    auto *bookRow = new QHBoxLayout;
    auto *bookCaption = new QLabel(QStringLiteral("复习预测的课本"), habit);
    bookCaption->setBuddy(m_cbForecastBook);
    bookRow->addWidget(bookCaption);
    bookRow->addWidget(m_cbForecastBook);
    bookRow->addStretch(1);
    habitLayout->addLayout(bookRow);
    auto *habitCharts = new QHBoxLayout;
    habitCharts->addWidget(m_chartForecast);
    habitCharts->addWidget(m_chartRetention);
    habitLayout->addLayout(habitCharts, 1);
    auto *streakRow = new QHBoxLayout;
    streakRow->addWidget(m_labStreak);
    streakRow->addSpacing(16);
    streakRow->addWidget(m_labGoal);
    streakRow->addStretch(1);
    habitLayout->addLayout(streakRow);
    auto *calendarRow = new QHBoxLayout;
    calendarRow->addWidget(m_calendar);
    calendarRow->addStretch(1);
    habitLayout->addLayout(calendarRow);
    tabs->addTab(habit, QStringLiteral("学习习惯"));

    auto *MissedBox = new QGroupBox(QStringLiteral("最常错的单词"), this);
    (new QVBoxLayout(MissedBox))->addWidget(m_tblMissed);
    auto *WeakBox = new QGroupBox(QStringLiteral("薄弱拼写"), this);
    auto *WeakLayout = new QVBoxLayout(WeakBox);
    WeakLayout->addWidget(m_tblLetters);
    WeakLayout->addWidget(m_btnWeakSpellings);
    auto *mistakesPage = new QWidget(tabs);
    m_mistakesPage = mistakesPage;
    mistakesPage->setObjectName(QStringLiteral("tabMistakes"));
    auto *mistakes = new QHBoxLayout(mistakesPage);
    mistakes->addWidget(MissedBox);
    mistakes->addWidget(WeakBox);
    tabs->addTab(mistakesPage, QStringLiteral("易错单词"));

    auto *memoryBox = new QGroupBox(QStringLiteral("记忆参数"), this);
    auto *memoryLayout = new QHBoxLayout(memoryBox);
    auto *memoryText = new QVBoxLayout;
    memoryText->addWidget(m_labMemoryFit);
    memoryText->addWidget(m_barMemoryFit);
    memoryLayout->addLayout(memoryText, 1);
    memoryLayout->addWidget(m_btnOptimizeMemory);
    memoryLayout->addWidget(m_btnRestoreDefaults);

    auto *Buttons = new QHBoxLayout;
    Buttons->addWidget(m_btnExport);
    Buttons->addWidget(m_btnClear);
    Buttons->addStretch();
    Buttons->addWidget(m_btnClose);

    auto *Layout = new QVBoxLayout(this);
    Layout->addWidget(m_tblBooks, 2);
    Layout->addWidget(tabs, 6);
    Layout->addWidget(memoryBox);
    Layout->addLayout(Buttons);
    resize(860, 780);

    connect(m_tblBooks, &QTableWidget::currentCellChanged, this, [this] { showAccuracyChart(); });
    connect(m_cbForecastBook, &QComboBox::currentIndexChanged, this,
            Guarded(windowTitle(), this, &TFrmStudyProgress::showForecast));
    connect(tabs, &QTabWidget::currentChanged, this,
            Guarded(windowTitle(), this, &TFrmStudyProgress::readShownTab));
    connect(m_btnWeakSpellings, &QPushButton::clicked, this,
            Guarded(m_btnWeakSpellings->text(), this, &TFrmStudyProgress::btnWeakSpellingsClick));
    connect(m_btnExport, &QPushButton::clicked, this,
            Guarded(m_btnExport->text(), this, &TFrmStudyProgress::btnExportClick));
    connect(m_btnClear, &QPushButton::clicked, this,
            Guarded(m_btnClear->text(), this, &TFrmStudyProgress::btnClearClick));
    connect(m_btnOptimizeMemory, &QPushButton::clicked, this,
            Guarded(m_btnOptimizeMemory->text(), this, &TFrmStudyProgress::btnOptimizeMemoryClick));
    connect(
        m_btnRestoreDefaults, &QPushButton::clicked, this,
        Guarded(m_btnRestoreDefaults->text(), this, &TFrmStudyProgress::btnRestoreDefaultsClick));
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::accept);
    showMemoryFit();
}

void TFrmStudyProgress::AttachMemoryFit(TMemoryFitRun *run)
{
    m_memoryFit = run;
    if (run) {
        connect(run, &TMemoryFitRun::Started, this, &TFrmStudyProgress::showMemoryFit);
        connect(run, &TMemoryFitRun::Progress, m_barMemoryFit, &QProgressBar::setValue);
        // The cards were re-scheduled: the due counts changed.
        connect(run, &TMemoryFitRun::Finished, this, [this] {
            LoadProgress(m_now);
            showMemoryFit();
        });
    }
    showMemoryFit();
}

void TFrmStudyProgress::OnPracticeWeakSpellings(std::function<void(const TWordInfos &)> practice)
{
    connect(this, &TFrmStudyProgress::PracticeWeakSpellings, this, std::move(practice));
}

void TFrmStudyProgress::showMemoryFit()
{
    const bool running = m_memoryFit && m_memoryFit->Running();
    m_btnOptimizeMemory->setEnabled(m_memoryFit && !running);
    m_btnRestoreDefaults->setEnabled(m_memoryFit && !running);
    m_barMemoryFit->setVisible(running);
    if (running) {
        m_barMemoryFit->setValue(m_memoryFit->Percent());
        m_labMemoryFit->setText(
            QStringLiteral("正在按你的复习记录优化记忆参数，可以关闭本窗口接着玩。"));
        return;
    }
    if (m_memoryFit && !m_memoryFit->LastReport().isEmpty()) {
        m_labMemoryFit->setText(m_memoryFit->LastReport());
        return;
    }
    try {
        const std::vector<TMemoryParameterChange> changes = MemoryParameterChanges();
        if (changes.empty() || changes.back().Parameters.Weights == DefaultFsrsWeights())
            m_labMemoryFit->setText(QStringLiteral("现在使用默认的记忆参数。"));
        else
            m_labMemoryFit->setText(QStringLiteral("现在使用按你的复习记录优化的记忆参数（%1）。")
                                        .arg(QDateTime::fromMSecsSinceEpoch(changes.back().At)
                                                 .toString(QStringLiteral("yyyy-MM-dd"))));
    } catch (const EDatabaseError &) {
        m_labMemoryFit->clear();
    }
}

void TFrmStudyProgress::btnOptimizeMemoryClick()
{
    if (m_memoryFit)
        m_memoryFit->Start();
    showMemoryFit();
}

void TFrmStudyProgress::btnRestoreDefaultsClick()
{
    if (!m_memoryFit || m_memoryFit->Running())
        return;
    m_memoryFit->RestoreDefaults();
}

void TFrmStudyProgress::LoadProgress(std::int64_t nowMs)
{
    m_now = nowMs;
    const QDate today = QDateTime::fromMSecsSinceEpoch(m_now).date();
    // Kept for the habit tab; the log is read once.
    m_log = std::make_unique<TStudyLog>(TStudyLog::Read());
    m_recentRetention =
        m_log->RetentionSinceByBook(today.addDays(-29).startOfDay().toMSecsSinceEpoch());
    m_progress = ReadBookProgress(nowMs, *m_log);
    m_habitRead = false;
    m_mistakesRead = false;
    showBooks();
    showLearntChart();
    showAccuracyChart();
    readShownTab();
}

void TFrmStudyProgress::ShowProgress(const TStudyProgress &Progress)
{
    m_progress = Progress;
    m_mistakesRead = true;
    showBooks();
    showLearntChart();
    showAccuracyChart();
    showMistakes();
}

void TFrmStudyProgress::readShownTab()
{
    QWidget *shown = m_tabs->currentWidget();
    if (shown == m_habitPage && !m_habitRead) {
        loadHabit();
        m_habitRead = true;
        m_log.reset();
        showForecast();
        showRetentionChart();
        showStreak();
    } else if (shown == m_mistakesPage && !m_mistakesRead) {
        ReadStudyMistakes(m_progress);
        m_mistakesRead = true;
        showMistakes();
    }
}

void TFrmStudyProgress::showBooks()
{
    const QSignalBlocker Blocker(m_tblBooks);
    m_tblBooks->setRowCount(int(m_progress.Books.size()));
    for (int Row = 0; Row < int(m_progress.Books.size()); ++Row) {
        const TBookProgress &Book = m_progress.Books[std::size_t(Row)];
        SetRow(m_tblBooks, Row,
               {GbkToQString(Book.BookName), QString::number(Book.WordCount),
                QString::number(Book.Met), QString::number(Book.Learnt),
                QString::number(Book.Learning()), QString::number(Book.Due),
                QString::number(Book.NeverSeen()), QString::number(Book.TollGatesPlayed),
                Percent(Book.Right, Book.Errors), recentRetention(Book.BookIds)});
    }
    m_tblBooks->setCurrentCell(m_progress.Books.empty() ? -1 : 0, 0);

    // The forecast's choice of book outlives a reload.
    const QString chosen = m_cbForecastBook->currentText();
    {
        const QSignalBlocker blocker(m_cbForecastBook);
        m_cbForecastBook->clear();
        m_cbForecastBook->addItem(QStringLiteral("全部课本"));
        for (const TBookProgress &book : m_progress.Books)
            m_cbForecastBook->addItem(GbkToQString(book.BookName));
        m_cbForecastBook->setCurrentIndex(std::max(0, m_cbForecastBook->findText(chosen)));
    }
    if (m_habitRead)
        showForecast();
}

QString TFrmStudyProgress::recentRetention(const std::vector<int> &bookIds) const
{
    TRetentionAchieved total;
    for (const int id : bookIds) {
        const auto found = m_recentRetention.find(id);
        if (found != m_recentRetention.end()) {
            total.Reviews += found->second.Reviews;
            total.Recalled += found->second.Recalled;
        }
    }
    return total.Reviews == 0 ? QStringLiteral("-") : PercentText(total.Share());
}

void TFrmStudyProgress::loadHabit()
{
    const QDate today = QDateTime::fromMSecsSinceEpoch(m_now).date();
    m_retentionTarget = ReadMemoryParameters().Retention;
    if (!m_log)  // shown before any load
        m_log = std::make_unique<TStudyLog>(TStudyLog::Read());
    m_retentionByMonth = m_log->RetentionByMonth();
    std::vector<TDayPlay> year = m_log->DailyPlay(today.addDays(-(kCalendarDays - 1)), today);
    m_streak = StudyStreak(year, m_dailyGoal);
    // A run as long as the year read goes on before it: read further back.
    for (QDate readFrom = year.front().Day;
         m_streak >= int(readFrom.daysTo(today)) && m_streak > 0;) {
        readFrom = readFrom.addDays(-kCalendarDays);
        m_streak = StudyStreak(m_log->DailyPlay(readFrom, today), m_dailyGoal);
    }
    m_today = year.back();
    m_calendar->SetDays(std::move(year), m_dailyGoal);
}

void TFrmStudyProgress::showLearntChart()
{
    QChart *Chart = m_chartLearnt->chart();
    ClearChart(Chart);
    auto *Series = new QLineSeries;
    // A step per day: the count holds from one day's start to the next, so a
    // day without change never reads as progress.
    for (const TLearntPoint &point : m_progress.LearntOverTime) {
        if (Series->count() > 0)
            Series->append(double(point.DayStartMs), Series->at(Series->count() - 1).y());
        Series->append(double(point.DayStartMs), point.Learnt);
    }
    // The line runs on to today, so a single day still draws one.
    if (!m_progress.LearntOverTime.empty() && m_now > m_progress.LearntOverTime.back().DayStartMs)
        Series->append(double(m_now), m_progress.LearntOverTime.back().Learnt);
    Chart->addSeries(Series);

    auto *Days = new QDateTimeAxis;
    Days->setFormat(QStringLiteral("yyyy-MM-dd"));
    Days->setTickCount(4);
    if (Series->count() > 0)
        Days->setRange(QDateTime::fromMSecsSinceEpoch(qint64(Series->at(0).x())),
                       QDateTime::fromMSecsSinceEpoch(qint64(Series->at(Series->count() - 1).x())));
    auto *Words = new QValueAxis;
    setWholeNumberTicks(*Words, std::max(10, m_progress.LearntOverTime.empty()
                                                 ? 0
                                                 : m_progress.LearntOverTime.back().Learnt));
    Chart->addAxis(Days, Qt::AlignBottom);
    Chart->addAxis(Words, Qt::AlignLeft);
    Series->attachAxis(Days);
    Series->attachAxis(Words);
}

void TFrmStudyProgress::showAccuracyChart()
{
    QChart *Chart = m_chartAccuracy->chart();
    ClearChart(Chart);
    const int Row = m_tblBooks->currentRow();
    const std::string Book = Row >= 0 && Row < int(m_progress.Books.size())
                                 ? m_progress.Books[std::size_t(Row)].BookName
                                 : std::string();
    Chart->setTitle(Book.empty() ? QStringLiteral("各关正确率")
                                 : QStringLiteral("各关正确率：") + GbkToQString(Book));
    auto *Set = new QBarSet(QStringLiteral("正确率"));
    QStringList Gates;
    for (const TTollGateAccuracy &Gate : m_progress.TollGates) {
        if (Row < 0 || Gate.BookName != Book)
            continue;
        Set->append(Accuracy(Gate.Right, Gate.Errors) * 100);
        Gates.append(QString::number(Gate.TollGate));
    }
    auto *Series = new QBarSeries;
    Series->append(Set);
    Chart->addSeries(Series);
    auto *GateAxis = new QBarCategoryAxis;
    GateAxis->append(Gates);
    GateAxis->setTitleText(QStringLiteral("关卡"));
    // A dozen numbers fit under the bars; for more the title gives the range.
    constexpr int MostLabels = 12;
    GateAxis->setLabelsVisible(Gates.size() <= MostLabels);
    GateAxis->setTitleVisible(Gates.size() <= MostLabels);
    if (Gates.size() > MostLabels)
        Chart->setTitle(Chart->title()
                        + QStringLiteral("（第%1–%2关）").arg(Gates.front(), Gates.back()));
    auto *PercentAxis = new QValueAxis;
    PercentAxis->setRange(0, 100);
    PercentAxis->setLabelFormat(QStringLiteral("%d%%"));
    Chart->addAxis(GateAxis, Qt::AlignBottom);
    Chart->addAxis(PercentAxis, Qt::AlignLeft);
    Series->attachAxis(GateAxis);
    Series->attachAxis(PercentAxis);
}

void TFrmStudyProgress::showForecast()
{
    QChart *chart = m_chartForecast->chart();
    ClearChart(chart);
    const int choice = m_cbForecastBook->currentIndex() - 1;
    std::vector<int> due(kForecastDays, 0);
    if (m_now > 0) {
        if (choice < 0 || choice >= int(m_progress.Books.size())) {
            due = ReadDueForecast(m_now, kForecastDays);
        } else {
            for (const int id : m_progress.Books[std::size_t(choice)].BookIds) {
                const std::vector<int> book = ReadDueForecast(m_now, kForecastDays, id);
                std::transform(due.begin(), due.end(), book.begin(), due.begin(), std::plus<>());
            }
        }
    }
    int total = 0;
    int most = 0;
    auto *set = new QBarSet(QStringLiteral("到期单词"));
    for (const int words : due) {
        set->append(words);
        total += words;
        most = std::max(most, words);
    }
    chart->setTitle(QStringLiteral("未来30天到期：%1个（第一根含已逾期的）").arg(total));
    auto *series = new QBarSeries;
    series->setBarWidth(0.8);
    series->append(set);
    chart->addSeries(series);
    // Day numbers on a value axis: thirty category labels do not fit.
    auto *days = new QValueAxis;
    days->setRange(-0.5, kForecastDays - 0.5);
    days->setTickType(QValueAxis::TicksDynamic);
    days->setTickAnchor(0);
    days->setTickInterval(5);
    days->setMinorTickCount(0);
    days->setLabelFormat(QStringLiteral("%d"));
    days->setTitleText(QStringLiteral("几天后（0 = 今天）"));
    days->setGridLineVisible(false);
    auto *words = new QValueAxis;
    setWholeNumberTicks(*words, std::max(most, 5));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(words, Qt::AlignLeft);
    series->attachAxis(days);
    series->attachAxis(words);
}

void TFrmStudyProgress::showRetentionChart()
{
    QChart *chart = m_chartRetention->chart();
    ClearChart(chart);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Months as numbers from the first shown, on a category axis: a date
    // axis spaces its ticks evenly in time, not on the months' first days.
    const QDate today = QDateTime::fromMSecsSinceEpoch(m_now).date();
    const auto monthNumber = [](int year, int month) { return year * 12 + month - 1; };
    const int thisMonth = monthNumber(today.year(), today.month());
    int first = thisMonth - 2;  // at least three months
    int last = thisMonth;
    if (!m_retentionByMonth.empty()) {
        const TRetentionAchieved &oldest = m_retentionByMonth.front();
        const TRetentionAchieved &newest = m_retentionByMonth.back();
        first = std::min(first, monthNumber(oldest.Year, oldest.Month));
        last = std::max(last, monthNumber(newest.Year, newest.Month));
    }
    auto *achieved = new QLineSeries;
    achieved->setName(QStringLiteral("实际"));
    achieved->setPointsVisible(true);
    double lowest = m_retentionTarget;
    for (const TRetentionAchieved &month : m_retentionByMonth) {
        achieved->append(monthNumber(month.Year, month.Month) - first, month.Share() * 100);
        lowest = std::min(lowest, month.Share());
    }
    auto *target = new QLineSeries;
    target->setName(QStringLiteral("目标 %1%").arg(std::lround(m_retentionTarget * 100)));
    QPen dashed(QColor(0xc0, 0x39, 0x2b));
    dashed.setStyle(Qt::DashLine);
    dashed.setWidth(2);
    target->setPen(dashed);
    target->append(0, m_retentionTarget * 100);
    target->append(last - first, m_retentionTarget * 100);
    chart->setTitle(m_retentionByMonth.empty()
                        ? QStringLiteral("实际保持率（还没有隔天的复习）")
                        : QStringLiteral("实际保持率（每月隔天复习时记得的比例）"));
    chart->addSeries(achieved);
    chart->addSeries(target);

    auto *months = new QCategoryAxis;
    months->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    months->setRange(0, last - first);
    // At most six names, the month only: a longer name is cut short under
    // the first point. The title tells where the months start.
    const int step = (last - first) / 6 + 1;
    for (int month = first; month <= last; month += step) {
        QString name = QStringLiteral("%1月").arg(month % 12 + 1);
        // An axis takes a name once: a month come round again names its year.
        if (months->categoriesLabels().contains(name))
            name =
                QStringLiteral("%1年%2").arg(month / 12 % 100, 2, 10, QLatin1Char('0')).arg(name);
        months->append(name, month - first);
    }
    months->setTitleText(QStringLiteral("%1年%2月起").arg(first / 12).arg(first % 12 + 1));
    auto *share = new QValueAxis;
    // Tens of percent, down to ten under the lowest figure: the differences
    // stay visible and every tick is a round number.
    const int bottom = std::max(0, int(std::floor(lowest * 10)) * 10 - 10);
    share->setRange(bottom, 100);
    share->setTickCount((100 - bottom) / 10 + 1);
    share->setLabelFormat(QStringLiteral("%d%%"));
    chart->addAxis(months, Qt::AlignBottom);
    chart->addAxis(share, Qt::AlignLeft);
    for (QLineSeries *series : {achieved, target}) {
        series->attachAxis(months);
        series->attachAxis(share);
    }
}

void TFrmStudyProgress::showStreak()
{
    m_labStreak->setText(QStringLiteral("连续学习%1天").arg(m_streak));
    m_labGoal->setText(
        QStringLiteral("每日目标%1个单词，今天已打%2个").arg(m_dailyGoal).arg(m_today.Words));
}

void TFrmStudyProgress::showMistakes()
{
    m_tblMissed->setRowCount(int(m_progress.MostMissed.size()));
    for (int Row = 0; Row < int(m_progress.MostMissed.size()); ++Row) {
        const TMissedWord &Word = m_progress.MostMissed[std::size_t(Row)];
        SetRow(m_tblMissed, Row,
               {GbkToQString(Word.Spelling), QString::number(Word.Missed),
                QString::number(Word.Slips)});
    }
    m_tblLetters->setRowCount(int(m_progress.WeakLetters.size()));
    for (int Row = 0; Row < int(m_progress.WeakLetters.size()); ++Row) {
        const TLetterSlips &Letter = m_progress.WeakLetters[std::size_t(Row)];
        SetRow(m_tblLetters, Row,
               {LetterText(Letter.Expected), QString::number(Letter.Count),
                LetterText(Letter.MostTyped)});
    }
    m_btnWeakSpellings->setEnabled(!m_progress.WeakLetters.empty());
}

void TFrmStudyProgress::btnWeakSpellingsClick()
{
    const TWordInfos Words = WeakSpellingWords();
    if (!Words.empty())
        emit PracticeWeakSpellings(Words);
}

void TFrmStudyProgress::btnExportClick()
{
    QFileDialog Dialog(
        this, QStringLiteral("导出学习记录"),
        QDir::home().filePath(
            QStringLiteral("学习记录-%1.csv")
                .arg(QDateTime::fromMSecsSinceEpoch(m_now).toString(QStringLiteral("yyyyMMdd")))),
        QStringLiteral("CSV 文件 (*.csv)"));
    Dialog.setObjectName(QStringLiteral("dlgExport"));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setDefaultSuffix(QStringLiteral("csv"));
    Dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (RunModal(Dialog) != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return;
    const QString Path = Dialog.selectedFiles().constFirst();
    const std::vector<TStudyRecordRow> Rows = ReadStudyRecords();
    if (WriteStudyRecordCsv(Path, Rows))
        ShowMessage(this, QStringLiteral("已导出%1个单词的学习记录。").arg(Rows.size()));
    else
        ShowMessage(this, QStringLiteral("无法写入文件：") + QDir::toNativeSeparators(Path),
                    TMsgIcon::Exclamation);
}

void TFrmStudyProgress::btnClearClick()
{
    if (!AskYesNo(this, QStringLiteral("清除全部学习记录后不能恢复，确定要清除吗？")))
        return;
    if (!ClearStudyRecords())
        ShowMessage(this, QStringLiteral("清除学习记录失败。"), TMsgIcon::Exclamation);
    LoadProgress(m_now);
}
