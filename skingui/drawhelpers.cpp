#include "skingui/drawhelpers.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace SKINGUI {

namespace {

// On/off pixel runs of the cosmetic dashed pens.
std::vector<int> DashPattern(int penStyle) {
    switch (penStyle) {
        case PS_DASH:
            return {18, 6};
        case PS_DOT:
            return {3, 3};
        case PS_DASHDOT:
            return {9, 6, 3, 6};
        case PS_DASHDOTDOT:
            return {9, 3, 3, 3, 3, 3};
        default:
            return {};
    }
}

Qt::PenStyle QtPenStyle(int penStyle) {
    switch (penStyle) {
        case PS_DASH:
            return Qt::DashLine;
        case PS_DOT:
            return Qt::DotLine;
        case PS_DASHDOT:
            return Qt::DashDotLine;
        case PS_DASHDOTDOT:
            return Qt::DashDotDotLine;
        case PS_NULL:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

Qt::BrushStyle QtHatch(int hatch) {
    switch (hatch) {
        case HS_HORIZONTAL:
            return Qt::HorPattern;
        case HS_VERTICAL:
            return Qt::VerPattern;
        case HS_FDIAGONAL:
            return Qt::FDiagPattern;
        case HS_BDIAGONAL:
            return Qt::BDiagPattern;
        case HS_CROSS:
            return Qt::CrossPattern;
        case HS_DIAGCROSS:
            return Qt::DiagCrossPattern;
        default:
            return Qt::SolidPattern;
    }
}

// One-pixel line without its end point, walking the pixels so the result does
// not depend on how the paint engine rasterises lines.
void ThinLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& color, int penStyle) {
    const std::vector<int> pattern = DashPattern(penStyle);
    if (pattern.empty() && (x1 == x2 || y1 == y2)) {
        if (x1 == x2 && y1 == y2) {
            return;
        }
        if (y1 == y2) {
            const int from = x1 < x2 ? x1 : x2 + 1;
            painter.fillRect(QRect(from, y1, std::abs(x2 - x1), 1), color);
        } else {
            const int from = y1 < y2 ? y1 : y2 + 1;
            painter.fillRect(QRect(x1, from, 1, std::abs(y2 - y1)), color);
        }
        return;
    }
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    size_t segment = 0;
    int left = pattern.empty() ? 0 : pattern[0];
    while (x != x2 || y != y2) {
        if (pattern.empty() || segment % 2 == 0) {
            painter.fillRect(QRect(x, y, 1, 1), color);
        }
        if (!pattern.empty() && --left == 0) {
            segment = (segment + 1) % pattern.size();
            left = pattern[segment];
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace

void FillGradient(QPainter& painter, const QRect& rect, ColorRef from, ColorRef to, bool vertical) {
    if (rect.isEmpty()) {
        return;
    }
    const int steps = vertical ? rect.height() : rect.width();
    auto mix = [&](int a, int b, int i) { return steps <= 1 ? a : a + (b - a) * i / (steps - 1); };
    for (int i = 0; i < steps; ++i) {
        const QColor c(mix(from.Red(), to.Red(), i), mix(from.Green(), to.Green(), i),
                       mix(from.Blue(), to.Blue(), i));
        if (vertical) {
            painter.fillRect(QRect(rect.left(), rect.top() + i, rect.width(), 1), c);
        } else {
            painter.fillRect(QRect(rect.left() + i, rect.top(), 1, rect.height()), c);
        }
    }
}

void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, ColorRef color, int penStyle, int penWidth) {
    if (penStyle == PS_NULL) {
        return;
    }
    if (penWidth <= 1) {
        ThinLine(painter, x1, y1, x2, y2, color.ToQColor(), penStyle);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(color.ToQColor(), penWidth, QtPenStyle(penStyle), Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    painter.restore();
}

void DrawRectFrame(QPainter& painter, int left, int top, int right, int bottom, ColorRef color, int penStyle,
                   int thickness) {
    for (int i = 0; i < thickness; ++i) {
        const int l = left + i, t = top + i, r = right - i, b = bottom - i;
        if (l > r || t > b) {
            break;
        }
        DrawLine(painter, l, t, r, t, color, penStyle);
        DrawLine(painter, r, t, r, b, color, penStyle);
        DrawLine(painter, r, b, l, b, color, penStyle);
        DrawLine(painter, l, b, l, t, color, penStyle);
        if (l == r && t == b) {
            painter.fillRect(QRect(l, t, 1, 1), color.ToQColor());
        }
    }
}

void DrawFilledRect(QPainter& painter, int left, int top, int right, int bottom, ColorRef fill,
                    ColorRef penColor, int hatchStyle, int penStyle, int penWidth) {
    QRect area(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (penStyle == PS_NULL) {
        // Without a pen the filled area is one pixel smaller, as before.
        area.adjust(0, 0, -1, -1);
    }
    if (area.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrushOrigin(0, 0);
    painter.fillRect(area, QBrush(fill.ToQColor(), hatchStyle >= 0 ? QtHatch(hatchStyle) : Qt::SolidPattern));
    painter.restore();
    if (penStyle == PS_NULL) {
        return;
    }
    const int w = std::max(penWidth, 1);
    for (int i = 0; i < w; ++i) {
        const int l = left + i, t = top + i, r = right - 1 - i, b = bottom - 1 - i;
        if (l > r || t > b) {
            break;
        }
        DrawLine(painter, l, t, r, t, penColor, penStyle);
        DrawLine(painter, r, t, r, b, penColor, penStyle);
        DrawLine(painter, r, b, l, b, penColor, penStyle);
        DrawLine(painter, l, b, l, t, penColor, penStyle);
    }
}

int DrawBitmap(QPainter& painter, int x, int y, const QPixmap& bitmap, unsigned rop) {
    if (bitmap.isNull()) {
        return 0;
    }
    painter.save();
    switch (rop) {
        case SRCPAINT:
            painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            break;
        case SRCAND:
            painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            break;
        case SRCINVERT:
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        default:
            break;
    }
    painter.drawPixmap(x, y, bitmap);
    painter.restore();
    return 1;
}

void SetRectXYWH(QRect* rect, int x, int y, int width, int height) {
    if (rect != nullptr) {
        *rect = QRect(x, y, width, height);
    }
}

int DrawTextFlags(unsigned format) {
    int flags = 0;
    if (format & DT_CENTER) {
        flags |= Qt::AlignHCenter;
    } else if (format & DT_RIGHT) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER) {
            flags |= Qt::AlignVCenter;
        } else if (format & DT_BOTTOM) {
            flags |= Qt::AlignBottom;
        } else {
            flags |= Qt::AlignTop;
        }
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & DT_WORDBREAK) {
        flags |= Qt::TextWordWrap;
    }
    if (format & DT_EXPANDTABS) {
        flags |= Qt::TextExpandTabs;
    }
    if (format & DT_NOCLIP) {
        flags |= Qt::TextDontClip;
    }
    flags |= (format & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic;
    return flags;
}

void DrawTextInColor(QPainter& painter, const QRect& rect, const QString& text, unsigned format,
                     ColorRef color, const QFont* font) {
    painter.save();
    if (font != nullptr) {
        painter.setFont(*font);
    }
    painter.setPen(color.ToQColor());
    painter.setBackgroundMode(Qt::TransparentMode);
    QString shown = text;
    if ((format & DT_END_ELLIPSIS) != 0) {
        shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    }
    if ((format & DT_NOCLIP) == 0) {
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    painter.drawText(rect, DrawTextFlags(format), shown);
    painter.restore();
}

bool DrawThemeBorder(QPainter& painter, const QRect& windowRect, const QBrush* band) {
    if (!painter.isActive() || windowRect.isEmpty()) {
        return false;
    }
    const QRect r = windowRect;
    DrawRectFrame(painter, r.left(), r.top(), r.right(), r.bottom(), ColorRef(kThemeBorderColor));
    // The edge is 2 pixels and the theme's frame 1: fill the ring between them.
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (inner.width() > 2 && inner.height() > 2) {
        const QBrush brush = band != nullptr ? *band : QBrush(GetSysColor(COLOR_WINDOW).ToQColor());
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), brush);
        painter.fillRect(QRect(inner.left(), inner.bottom(), inner.width(), 1), brush);
        painter.fillRect(QRect(inner.left(), inner.top() + 1, 1, inner.height() - 2), brush);
        painter.fillRect(QRect(inner.right(), inner.top() + 1, 1, inner.height() - 2), brush);
    }
    return true;
}

}  // namespace SKINGUI
