#pragma once
// "学习设置": the memory retention the scheduler aims for, with what it means
// for a familiar word, the words to play a day, and the login reminder of the
// words due.

#include "FsrsScheduler.h"
#include "SmallDialog.h"

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;
class QLabel;

// The daily goal's range, in words played.
inline constexpr int kMinDailyGoal = 10;
inline constexpr int kMaxDailyGoal = 2000;

class TFrmLearningSettings : public TSmallDialog {
    Q_OBJECT
public:
    // Weights: the learner's, for the example's interval.
    TFrmLearningSettings(const TFsrsParameters &parameters, int dailyGoal, bool remindDaily,
                         QWidget *parent = nullptr);

    QDoubleSpinBox *speRetention() const { return m_retention; }
    QLabel *labRetentionMeaning() const { return m_meaning; }
    QSpinBox *speDailyGoal() const { return m_dailyGoal; }
    QCheckBox *cbRemindDaily() const { return m_remindDaily; }
    // The parameters with the retention as now chosen.
    TFsrsParameters Parameters() const;
    int DailyGoal() const;
    bool RemindDaily() const;

private:
    void showMeaning();

    TFsrsParameters m_parameters;
    QDoubleSpinBox *m_retention;
    QLabel *m_meaning;
    QSpinBox *m_dailyGoal;
    QCheckBox *m_remindDaily;
};
