#pragma once
// "难度时间设置": the milliseconds per pixel of each level.

#include <array>

#include "SmallDialog.h"

class TNumberEdit;

class TFrmLevelIntSet : public TSmallDialog {
    Q_OBJECT
public:
    static constexpr int kMinInterval = 10;
    static constexpr int kMaxInterval = 2000;

    explicit TFrmLevelIntSet(QWidget *parent = nullptr);

    TNumberEdit *speLevelInterval1() const { return m_fields[0]; }
    TNumberEdit *speLevelInterval2() const { return m_fields[1]; }
    TNumberEdit *speLevelInterval3() const { return m_fields[2]; }

private:
    std::array<TNumberEdit *, 3> m_fields{};
};
