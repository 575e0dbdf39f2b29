#include "NumberEdit.h"

#include <QLineEdit>

namespace {

// More digits than any range needs; keeps the number within 32 bits.
constexpr int kMaxDigits = 9;

bool allDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

}  // namespace

TNumberEdit::TNumberEdit(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setAccelerated(true);
    lineEdit()->setMaxLength(kMaxDigits);
}

int TNumberEdit::Value()
{
    interpretText();
    return qBound(minimum(), value(), maximum());
}

QValidator::State TNumberEdit::validate(QString &input, int &) const
{
    if (input.isEmpty())
        return QValidator::Intermediate;
    if (input.size() > kMaxDigits || !allDigits(input))
        return QValidator::Invalid;
    const int n = input.toInt();
    return n >= minimum() && n <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TNumberEdit::fixup(QString &input) const
{
    int n = minimum();
    if (!input.isEmpty() && input.size() <= kMaxDigits && allDigits(input))
        n = qBound(minimum(), input.toInt(), maximum());
    input = textFromValue(n);
}
