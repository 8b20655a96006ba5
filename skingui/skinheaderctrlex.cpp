#include "skingui/skinheaderctrlex.h"

#include <QPainter>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

CSkinHeaderCtrlEx::CSkinHeaderCtrlEx(QWidget* parent) : CHeaderCtrlBase(parent) {}

CSkinHeaderCtrlEx::~CSkinHeaderCtrlEx() = default;

void CSkinHeaderCtrlEx::SetBkColor(ColorRef color) {
    bkColor_ = color;
    viewport()->update();
}

void CSkinHeaderCtrlEx::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.setFont(font());
    const int w = viewport()->width(), h = viewport()->height();
    p.fillRect(QRect(0, 0, w, h), bkColor_.ToQColor());
    const ColorRef line = LineColor();
    bool first = true;
    for (int visual = 0; visual < count(); ++visual) {
        const int column = logicalIndex(visual);
        if (isSectionHidden(column)) {
            continue;
        }
        const int left = sectionViewportPosition(column);
        const int right = left + sectionSize(column);
        const QRect item(left, 0, right - left, h);
        p.fillRect(item, bkColor_.ToQColor());
        if (!first) {
            DrawLine(p, left, 0, left, h, line);
        }
        DrawLine(p, right, 0, right, h, line);
        DrawLine(p, left, h - 1, right, h - 1, line);
        DrawCaption(p, column, item);
        first = false;
    }
    if (Flags() & kFrame) {
        DrawRectFrame(p, 0, 0, w - 1, h - 1, line);
    }
}

}  // namespace SKINGUI
