#include "skingui/headerctrlex.h"

#include <QFontMetrics>
#include <QPainter>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

namespace {

constexpr ColorRef kTop = 0xFFFFFF;
constexpr ColorRef kBottom = 0xFFF5E1;
constexpr ColorRef kArrow = 0x98806C;
constexpr int kArrowGap = 15;

}  // namespace

CHeaderCtrlEx::CHeaderCtrlEx(QWidget* parent) : CHeaderCtrlBase(parent) {}

CHeaderCtrlEx::~CHeaderCtrlEx() = default;

void CHeaderCtrlEx::SetMiddleColor(ColorRef color) {
    middleColor_ = color;
    viewport()->update();
}

void CHeaderCtrlEx::InsertBlankItems(int first, int last) {
    for (int c = first; c <= last; ++c) {
        if (ColumnPage(c) == nullptr) {
            SetItemMarkup(c, QString(), -1, 0, 0);
        }
    }
}

int CHeaderCtrlEx::SortArrowX(int column) const {
    int textWidth = 0;
    int startX = 0;
    if (SingleLineFormatControl* page = ColumnPage(column)) {
        startX = page->StartX();
        page->SetContext(font(), GetSysColor(COLOR_WINDOWTEXT));
        for (int i = 0; i < page->ElementCount(); ++i) {
            const MarkupElement* e = page->Element(i);
            if (e->kind == kElementText) {
                textWidth += QFontMetrics(page->ElementFont(*e)).horizontalAdvance(e->text);
            }
        }
    }
    return sectionViewportPosition(column) + startX + textWidth + kArrowGap;
}

void CHeaderCtrlEx::PaintGradient(QPainter& p, const QRect& r) {
    const int half = r.height() / 2;
    FillGradient(p, QRect(r.left(), r.top(), r.width(), half), kTop, middleColor_, true);
    FillGradient(p, QRect(r.left(), r.top() + half, r.width(), r.height() - half), middleColor_, kBottom,
                 true);
}

void CHeaderCtrlEx::PaintSortArrow(QPainter& p, int x, int h, bool up) {
    // Rows 1, 3, 5, 7 and 9 pixels wide centred on x, pointing up or down.
    const int dir = up ? 1 : -1;
    const int tip = up ? h / 2 - 3 : h / 2 + 2;
    DrawLine(p, x, tip, x + 1, tip, kArrow);
    for (int i = 1; i <= 4; ++i) {
        const int y = tip + dir * i;
        DrawLine(p, x - i, y, x + i + 1, y, kArrow);
    }
}

void CHeaderCtrlEx::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.setFont(font());
    const int h = viewport()->height();
    const ColorRef line = LineColor();
    const int lastRight = PaintItems(
        p, h, [&](const QRect& item) { PaintGradient(p, item); },
        [&](int column, const QRect&) {
            if (isSortIndicatorShown() && sortIndicatorSection() == column) {
                PaintSortArrow(p, SortArrowX(column), h, sortIndicatorOrder() == Qt::AscendingOrder);
            }
        });
    // The rest of the band right of the last item looks like an empty item.
    const int restLeft = lastRight + 1;
    if (restLeft < viewport()->width()) {
        PaintGradient(p, QRect(restLeft, 0, viewport()->width() - restLeft, h));
        DrawLine(p, restLeft, h - 1, viewport()->width(), h - 1, line);
    }
    if (Flags() & kFrame) {
        DrawRectFrame(p, 0, 0, viewport()->width() - 1, h - 1, line);
    }
}

}  // namespace SKINGUI
