#include "skingui/colorref.h"

#include <algorithm>

namespace SKINGUI {

namespace {

// Classic desktop defaults, so every machine draws the same.
constexpr uint32_t kSysColors[31] = {
    0xC8C8C8,  // scroll bar
    0x000000,  // background
    0xD1B499,  // active caption
    0xDBCDBF,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xFCF7F4,  // inactive border
    0xABABAB,  // app workspace
    0xFF9933,  // highlight
    0xFFFFFF,  // highlight text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x000000,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // 3D dark shadow
    0xE3E3E3,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background
    0x000000,  // (unused)
    0xCC6600,  // hot light
    0xEAD1B9,  // gradient active caption
    0xF2E4D7,  // gradient inactive caption
    0xFF9933,  // menu highlight
    0xF0F0F0,  // menu bar
};

constexpr int kHlsMax = 255;

struct Hls {
    int h, l, s;
};

Hls RgbToHls(ColorRef c) {
    const int r = c.Red(), g = c.Green(), b = c.Blue();
    const int maxc = std::max({r, g, b}), minc = std::min({r, g, b});
    Hls out{0, (maxc + minc) * kHlsMax / (2 * 255), 0};
    if (maxc == minc) {
        return out;
    }
    const int delta = maxc - minc;
    const int sum = maxc + minc;
    out.s = (sum <= 255) ? delta * kHlsMax / sum : delta * kHlsMax / (2 * 255 - sum);
    double h;
    if (r == maxc) {
        h = double(g - b) / delta;
    } else if (g == maxc) {
        h = 2.0 + double(b - r) / delta;
    } else {
        h = 4.0 + double(r - g) / delta;
    }
    h *= kHlsMax / 6.0;
    if (h < 0) {
        h += kHlsMax;
    }
    out.h = int(h + 0.5) % (kHlsMax + 1);
    return out;
}

double HueToChannel(double m1, double m2, double hue) {
    if (hue < 0) {
        hue += 1.0;
    }
    if (hue > 1) {
        hue -= 1.0;
    }
    if (hue < 1.0 / 6) {
        return m1 + (m2 - m1) * hue * 6;
    }
    if (hue < 0.5) {
        return m2;
    }
    if (hue < 2.0 / 3) {
        return m1 + (m2 - m1) * (2.0 / 3 - hue) * 6;
    }
    return m1;
}

ColorRef HlsToRgb(const Hls& hls) {
    const double l = double(hls.l) / kHlsMax, s = double(hls.s) / kHlsMax, h = double(hls.h) / kHlsMax;
    if (hls.s == 0) {
        const int v = int(l * 255 + 0.5);
        return ColorRef::FromRgb(v, v, v);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    auto ch = [&](double hue) { return std::clamp(int(HueToChannel(m1, m2, hue) * 255 + 0.5), 0, 255); };
    return ColorRef::FromRgb(ch(h + 1.0 / 3), ch(h), ch(h - 1.0 / 3));
}

int Adjust(int value, int percent) {
    if (percent >= 1) {
        return value + (kHlsMax - value) * percent / 100;
    }
    if (percent < 0) {
        return (percent + 100) * value / 100;
    }
    return value;
}

}  // namespace

ColorRef GetSysColor(int index) {
    if (index < 0 || index >= int(sizeof(kSysColors) / sizeof(kSysColors[0]))) {
        return ColorRef(0);
    }
    return ColorRef(kSysColors[index]);
}

ColorRef LightenColor(ColorRef color, int percent, int satPercent) {
    percent = std::clamp(percent, -100, 100);
    satPercent = std::clamp(satPercent, -100, 100);
    Hls hls = RgbToHls(color);
    hls.l = std::clamp(Adjust(hls.l, percent), 0, kHlsMax);
    hls.s = std::clamp(Adjust(hls.s, satPercent), 0, kHlsMax);
    return HlsToRgb(hls);
}

}  // namespace SKINGUI
