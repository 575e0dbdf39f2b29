#pragma once
// The progress window "学习进度": per book, the words met, learnt, learning,
// due and never seen, the toll gates played and their accuracy; charts of the
// words learnt over time and of each toll gate's accuracy; the words missed
// most and the letters mistyped most ("薄弱拼写"); the daily habit: the words
// falling due in the next 30 days, the retention achieved per month beside
// the one chosen, the days in a row the daily goal was reached and a calendar
// of the last 365 days; export and clearing of the
// learning memory; fitting the memory parameters to the learner's reviews
// ("优化记忆参数", on the program's worker: the window may close meanwhile)
// and going back to the defaults.

#include <cstdint>
#include <map>
#include <vector>

#include <QDialog>

#include "Records.h"
#include "StudyHabit.h"
#include "StudyProgress.h"

class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TMemoryFitRun;
class TStudyCalendar;

class TFrmStudyProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFrmStudyProgress(QWidget *parent = nullptr);

    // The words a day that count for the streak and shade the calendar.
    void SetDailyGoal(int goal) { m_dailyGoal = goal; }
    // Reads the memory as it is at NowMs and shows it, the habit included.
    void LoadProgress(std::int64_t NowMs);
    void ShowProgress(const TStudyProgress &Progress);
    const TStudyProgress &Progress() const { return m_progress; }

    // The fits of the memory parameters go through run, which outlives the window.
    void AttachMemoryFit(TMemoryFitRun *run);

    void btnWeakSpellingsClick();
    void btnExportClick();
    void btnClearClick();
    void btnOptimizeMemoryClick();
    void btnRestoreDefaultsClick();

signals:
    // The learner asked for a toll gate of the words with the most slips.
    void PracticeWeakSpellings(const TWordInfos &Words);

private:
    void showBooks();
    void showLearntChart();
    void showAccuracyChart();
    void showMistakes();
    void showMemoryFit();
    void loadHabit();
    void showForecast();
    void showRetentionChart();
    void showStreak();
    // The books' share recalled over the last 30 days, "-" without reviews.
    QString recentRetention(const std::vector<int> &bookIds) const;

    TStudyProgress m_progress;
    std::int64_t m_now = 0;
    QTableWidget *m_tblBooks;
    QChartView *m_chartLearnt;
    QChartView *m_chartAccuracy;
    QComboBox *m_cbForecastBook;
    QChartView *m_chartForecast;
    QChartView *m_chartRetention;
    QLabel *m_labStreak;
    QLabel *m_labGoal;
    TStudyCalendar *m_calendar;
    QTableWidget *m_tblMissed;
    QTableWidget *m_tblLetters;
    QPushButton *m_btnWeakSpellings;
    QPushButton *m_btnExport;
    QPushButton *m_btnClear;
    QPushButton *m_btnClose;
    QLabel *m_labMemoryFit;
    QProgressBar *m_barMemoryFit;
    QPushButton *m_btnOptimizeMemory;
    QPushButton *m_btnRestoreDefaults;
    TMemoryFitRun *m_memoryFit = nullptr;

    int m_dailyGoal = 100;
    double m_retentionTarget = 0.9;
    std::vector<TRetentionAchieved> m_retentionByMonth;
    std::map<int, TRetentionAchieved> m_recentRetention;  // per book id, last 30 days
    int m_streak = 0;
    TDayPlay m_today;
};
