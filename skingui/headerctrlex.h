#pragma once
// Header of the explorer's file list: gradient items with markup captions, a
// sort arrow after the caption of the sorted column, and a line colour frame.
#include "skingui/headerctrlbase.h"

namespace SKINGUI {

class CHeaderCtrlEx : public CHeaderCtrlBase {
    Q_OBJECT
public:
    explicit CHeaderCtrlEx(QWidget* parent = nullptr);
    ~CHeaderCtrlEx() override;

    // Colour the gradients pass through at mid height.
    void SetMiddleColor(ColorRef color);
    ColorRef MiddleColor() const { return middleColor_; }
    // Inserts caption slots first..last (inclusive) with empty text.
    void InsertBlankItems(int first, int last);
    // x of the sort arrow's tip column in a column's item (header coordinates).
    int SortArrowX(int column) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintGradient(QPainter& painter, const QRect& rect);
    void PaintSortArrow(QPainter& painter, int x, int height, bool up);

    ColorRef middleColor_ = 0xFFFFFF;
};

}  // namespace SKINGUI
