#pragma once
// "学习设置": the memory retention the scheduler aims for, with what it means
// for a familiar word.

#include "FsrsScheduler.h"
#include "SmallDialog.h"

class QDoubleSpinBox;
class QLabel;

class TFrmLearningSettings : public TSmallDialog {
    Q_OBJECT
public:
    // Weights: the learner's, for the example's interval.
    explicit TFrmLearningSettings(const TFsrsParameters &parameters, QWidget *parent = nullptr);

    QDoubleSpinBox *speRetention() const { return m_retention; }
    QLabel *labRetentionMeaning() const { return m_meaning; }
    // The parameters with the retention as now chosen.
    TFsrsParameters Parameters() const;

private:
    void showMeaning();

    TFsrsParameters m_parameters;
    QDoubleSpinBox *m_retention;
    QLabel *m_meaning;
};
