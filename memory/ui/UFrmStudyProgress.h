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
#include <memory>
#include <vector>

#include <QDialog>

#include "Records.h"
#include "StudyHabit.h"
#include "StudyProgress.h"
#include "StudyProgressWindow.h"

class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;
class TMemoryFitRun;
class TStudyCalendar;

class TFrmStudyProgress : public QDialog, public TStudyProgressWindow {
    Q_OBJECT
public:
    explicit TFrmStudyProgress(QWidget *parent = nullptr);

    QDialog &Dialog() override { return *this; }
    void SetDailyGoal(int goal) override { m_dailyGoal = goal; }
    // The tabs 学习习惯 and 易错单词 are read when next shown (now, if one of
    // them is).
    void LoadProgress(std::int64_t nowMs) override;
    void OnPracticeWeakSpellings(std::function<void(const TWordInfos &)> practice) override;
    // Shows every figure of Progress, the mistakes included.
    void ShowProgress(const TStudyProgress &Progress);
    const TStudyProgress &Progress() const { return m_progress; }

    void AttachMemoryFit(TMemoryFitRun *run) override;

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
    // Reads the shown tab's figures if they are not read since the last load.
    void readShownTab();
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
    QTabWidget *m_tabs = nullptr;
    QWidget *m_habitPage = nullptr;
    QWidget *m_mistakesPage = nullptr;
    bool m_habitRead = false;
    std::unique_ptr<TStudyLog> m_log;  // read at the load, until the habit tab is read
    bool m_mistakesRead = false;

    int m_dailyGoal = 100;
    double m_retentionTarget = 0.9;
    std::vector<TRetentionAchieved> m_retentionByMonth;
    std::map<int, TRetentionAchieved> m_recentRetention;  // per book id, last 30 days
    int m_streak = 0;
    TDayPlay m_today;
};
