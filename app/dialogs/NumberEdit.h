#pragma once
// A number field for small positive ranges. Unlike a plain spin box it lets
// the player type any digits, also a value beyond the range ("500" where 174
// is the most), and brings the value to the nearest bound when the field
// loses the focus or Enter is pressed. An empty field reads as the lowest
// value. Only digits can be typed; the arrows step by 1 within the range.

#include <QSpinBox>

class TNumberEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TNumberEdit(QWidget *parent = nullptr);

    // Takes what is typed, as leaving the field would, and returns the value:
    // always within the range, also for a range of a single value.
    int Value();

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
