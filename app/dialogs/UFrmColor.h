#pragma once
// "背景色及字体颜色设置": the board's background, text and typed-letter colours.

#include <cstdint>

#include "SmallDialog.h"

class TColorSelector;

// The colours "恢复默认" brings back (0x00BBGGRR).
inline constexpr std::uint32_t kDefaultBackGroundColor = 11561288;  // red 72, green 105, blue 176
inline constexpr std::uint32_t kDefaultNormalColor = 16777215;      // white
inline constexpr std::uint32_t kDefaultTypeColor = 65280;           // green

class TFrmColor : public TSmallDialog {
    Q_OBJECT
public:
    explicit TFrmColor(QWidget *parent = nullptr);

    TColorSelector *csBack() const { return m_csBack; }
    TColorSelector *csNormalColor() const { return m_csNormalColor; }
    TColorSelector *csTypeColor() const { return m_csTypeColor; }
    QPushButton *sBitBtn1() const { return m_sBitBtn1; }

    // "恢复默认": the default colours, without closing.
    void sBitBtn1Click();

private:
    TColorSelector *m_csBack;
    TColorSelector *m_csNormalColor;
    TColorSelector *m_csTypeColor;
    QPushButton *m_sBitBtn1;
};
