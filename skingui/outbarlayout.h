#pragma once
// Geometry of the navigation bar: a header band on top, then a scrolled column
// of items 36 pixels high. Items are laid out here, not while painting, so hit
// tests always agree with what is on screen.
#include <QRect>
#include <vector>

namespace SKINGUI {

class OutBarLayout {
public:
    static constexpr int kItemHeight = 36;
    static constexpr int kBandBottom = 35;    // header band ends here
    static constexpr int kBandLine = 36;      // line under the band
    static constexpr int kFirstItemTop = 49;  // first item's top at scroll offset 0
    static constexpr int kViewReserve = 45;   // client height less the view height

    // Sizes the bar; keeps the bottom of scrolled content in place, then clamps the offset.
    void Resize(int width, int height);
    void SetContentHeight(int height);
    // Scrolls by d pixels (positive moves the content up) within the content.
    void Scroll(int d);
    // Lays out count items of the current group.
    void LayoutItems(int count);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int ViewHeight() const { return height_ - kViewReserve; }
    int ContentHeight() const { return contentHeight_; }
    int Offset() const { return offset_; }
    bool NeedsScrollButtons() const { return contentHeight_ > ViewHeight(); }

    // The client area inside the frame.
    QRect WorkRect() const;
    // The band below the header where items show; nothing outside it can be hit.
    QRect ItemArea() const;
    // Laid-out rectangle of an item; empty when the item is not shown.
    QRect ItemRect(int index) const;
    // Item under the point inside the item area; -1 when none.
    int HitTest(QPoint point) const;

private:
    void ClampOffset();

    int width_ = 0;
    int height_ = 0;
    int contentHeight_ = 0;
    int offset_ = 0;  // 0 or negative: how far the items are scrolled up
    std::vector<QRect> rects_;
};

}  // namespace SKINGUI
