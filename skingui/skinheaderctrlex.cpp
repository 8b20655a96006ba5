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
    PaintItems(
        p, h, [&](const QRect& item) { p.fillRect(item, bkColor_.ToQColor()); }, nullptr);
    if (Flags() & kFrame) {
        DrawRectFrame(p, 0, 0, w - 1, h - 1, LineColor());
    }
}

}  // namespace SKINGUI
