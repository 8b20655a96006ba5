#pragma once
// Drawing helpers shared by the skin controls and the application panes. They keep
// the old device-context edge rules so frames and grips come out pixel-exact: a line
// leaves out its end point, a filled rectangle stops before its right and bottom edges.
// Each helper leaves the painter's state as it found it.
#include <QBrush>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "skingui/colorref.h"

class QPainter;

namespace SKINGUI {

// Pen styles (the classic PS_ numbers).
enum PenStyle { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
// Hatch styles (HS_ numbers); any negative value means a solid brush.
enum HatchStyle {
    HS_SOLID = -1,
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2,
    HS_BDIAGONAL = 3,
    HS_CROSS = 4,
    HS_DIAGCROSS = 5
};
// Raster operations understood by DrawBitmap.
enum RasterOp : unsigned {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
};
// Text formats (DT_ flags) understood by DrawTextInColor.
enum DrawTextFormat : unsigned {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Two-colour gradient over rect: the first row (column) has `from`, the last has `to`.
void FillGradient(QPainter& painter, const QRect& rect, ColorRef from, ColorRef to, bool vertical);

// Line from (x1, y1) towards (x2, y2); the end point itself is not drawn.
void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, ColorRef color, int penStyle = PS_SOLID,
              int penWidth = 1);

// `thickness` nested outlines: the first along the given edges (lines top, right,
// bottom, left, so both x = right and y = bottom are painted), each further one a
// pixel further inside.
void DrawRectFrame(QPainter& painter, int left, int top, int right, int bottom, ColorRef color,
                   int penStyle = PS_SOLID, int thickness = 1);

// Outlined and filled rectangle covering left..right-1, top..bottom-1; a hatch
// style of 0 or more hatches in the fill colour instead of filling solid.
void DrawFilledRect(QPainter& painter, int left, int top, int right, int bottom, ColorRef fill,
                    ColorRef penColor, int hatchStyle = HS_SOLID, int penStyle = PS_SOLID, int penWidth = 1);

// The whole bitmap at (x, y); returns 0 when it is null.
int DrawBitmap(QPainter& painter, int x, int y, const QPixmap& bitmap, unsigned rop = SRCCOPY);

// rect = x, y, width, height (right = x + width, bottom = y + height, exclusive).
void SetRectXYWH(QRect* rect, int x, int y, int width, int height);

// Text in a colour with a transparent background, in `font` when given. `format`
// takes the DT_ flags above.
void DrawTextInColor(QPainter& painter, const QRect& rect, const QString& text, unsigned format,
                     ColorRef color, const QFont* font = nullptr);

// Qt alignment and text flags for a DT_ format.
int DrawTextFlags(unsigned format);

// Border of a themed control drawn into its whole-window rectangle: a 1-pixel
// frame in the theme's border colour, and the band between that frame and the
// client area (the edge is 2 pixels) filled with `band` (the window colour when
// null). Returns false when the painter cannot draw.
bool DrawThemeBorder(QPainter& painter, const QRect& windowRect, const QBrush* band = nullptr);

// Frame colour of themed borders (list views, edit boxes).
constexpr uint32_t kThemeBorderColor = 0xB3ADAB;

}  // namespace SKINGUI
