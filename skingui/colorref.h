#pragma once
// Colours of the skin controls are 0x00BBGGRR values fixed in the code; the
// system colours come from one fixed table so drawing never follows the Qt style.
#include <QColor>
#include <cstdint>

namespace SKINGUI {

// Attribute not given in the markup: the drawing context's font and colour apply.
constexpr int kNotSet = 99999999;
// Background or frame colour of a static text that is not drawn at all.
constexpr uint32_t kNoColor = 999998;

// A 0x00BBGGRR colour value.
class ColorRef {
public:
    constexpr ColorRef() = default;
    constexpr ColorRef(uint32_t value) : value_(value) {}  // NOLINT: plain colour values convert freely
    static constexpr ColorRef FromRgb(int r, int g, int b) {
        return ColorRef(uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16));
    }
    static ColorRef FromQColor(const QColor& color) {
        return FromRgb(color.red(), color.green(), color.blue());
    }

    constexpr uint32_t Value() const { return value_; }
    constexpr int Red() const { return int(value_ & 0xFF); }
    constexpr int Green() const { return int((value_ >> 8) & 0xFF); }
    constexpr int Blue() const { return int((value_ >> 16) & 0xFF); }
    QColor ToQColor() const { return QColor(Red(), Green(), Blue()); }
    constexpr operator uint32_t() const { return value_; }

private:
    uint32_t value_ = 0;
};

// System colour indices (the classic COLOR_ numbers).
enum SysColorIndex {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
};

// The fixed system colour; unknown indices give black.
ColorRef GetSysColor(int index);

// Lightens (percent > 0) or darkens (percent < 0) in hue/lightness/saturation
// space with 0-255 components; 100 gives white. satPercent changes saturation the same way.
ColorRef LightenColor(ColorRef color, int percent, int satPercent = 0);

}  // namespace SKINGUI
