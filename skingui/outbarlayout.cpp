#include "skingui/outbarlayout.h"

#include <algorithm>

namespace SKINGUI {

void OutBarLayout::Resize(int width, int height) {
    if (offset_ < 0) {
        // Keep the bottom of scrolled content anchored; a resize to the same
        // height leaves the offset alone.
        offset_ += (height - kViewReserve) - ViewHeight();
    }
    width_ = width;
    height_ = height;
    // A taller window must not leave a gap under the last item.
    ClampOffset();
}

void OutBarLayout::SetContentHeight(int height) {
    contentHeight_ = std::max(0, height);
    ClampOffset();
}

void OutBarLayout::Scroll(int d) {
    offset_ -= d;
    ClampOffset();
}

void OutBarLayout::ClampOffset() {
    offset_ = std::max(offset_, ViewHeight() - contentHeight_ - kViewReserve);
    offset_ = std::min(offset_, 0);
}

void OutBarLayout::LayoutItems(int count) {
    rects_.assign(std::max(0, count), QRect());
    const QRect work = WorkRect();
    int y = offset_ + kFirstItemTop;
    for (int i = 0; i < count; ++i) {
        if (y > ViewHeight()) {
            break;
        }
        rects_[i] = QRect(work.left(), y, width_, kItemHeight);
        y += kItemHeight;
    }
}

QRect OutBarLayout::WorkRect() const {
    return QRect(2, 2, width_ - 4, height_ - 6);
}

QRect OutBarLayout::ItemArea() const {
    const QRect work = WorkRect();
    return QRect(work.left(), kBandLine + 1, work.width(), work.bottom() - kBandLine);
}

QRect OutBarLayout::ItemRect(int index) const {
    if (index < 0 || index >= int(rects_.size())) {
        return QRect();
    }
    return rects_[index];
}

int OutBarLayout::HitTest(QPoint point) const {
    if (!ItemArea().contains(point)) {
        return -1;
    }
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (rects_[i].contains(point)) {
            return int(i);
        }
    }
    return -1;
}

}  // namespace SKINGUI
