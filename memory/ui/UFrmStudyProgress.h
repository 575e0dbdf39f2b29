#pragma once
// The progress window "学习进度": per book, the words met, learnt, learning,
// due and never seen, the toll gates played and their accuracy; charts of the
// words learnt over time and of each toll gate's accuracy; the words missed
// most and the letters mistyped most ("薄弱拼写"); export and clearing of the
// learning memory; fitting the memory parameters to the learner's reviews
// ("优化记忆参数", on the program's worker: the window may close meanwhile)
// and going back to the defaults.

#include <cstdint>

#include <QDialog>

#include "Records.h"
#include "StudyProgress.h"

class QChartView;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TMemoryFitRun;

class TFrmStudyProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFrmStudyProgress(QWidget *parent = nullptr);

    // Reads the memory as it is at NowMs and shows it.
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

    TStudyProgress m_progress;
    std::int64_t m_now = 0;
    QTableWidget *m_tblBooks;
    QChartView *m_chartLearnt;
    QChartView *m_chartAccuracy;
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
};
