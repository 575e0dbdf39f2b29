#pragma once
// "选择关卡": the toll gate to play from.

#include "SmallDialog.h"

class QLabel;
class TNumberEdit;

class TFrmTollGate : public TSmallDialog {
    Q_OBJECT
public:
    explicit TFrmTollGate(QWidget *parent = nullptr);

    // The number of toll gates of the book.
    QLabel *labCount() const { return m_labCount; }
    // The toll gate to start at.
    TNumberEdit *speTollGate() const { return m_speTollGate; }

private:
    QLabel *m_labCount;
    TNumberEdit *m_speTollGate;
};
