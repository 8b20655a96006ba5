#include "skingui/toolbarlayout.h"

namespace SKINGUI {

void ToolBarLayout::Layout(const std::vector<Entry>& entries, QSize buttonSize) {
    entries_ = entries;
    rects_.assign(entries.size(), QRect());
    int x = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].hidden) {
            continue;
        }
        const int w = entries[i].separator ? kSeparatorWidth : buttonSize.width();
        rects_[i] = QRect(x, 0, w, buttonSize.height());
        x += w;
    }
}

QRect ToolBarLayout::ItemRect(int index) const {
    if (index < 0 || index >= int(rects_.size())) {
        return QRect();
    }
    return rects_[index];
}

int ToolBarLayout::HitTest(QPoint point) const {
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (!entries_[i].separator && !entries_[i].hidden && rects_[i].contains(point)) {
            return int(i);
        }
    }
    return -1;
}

QSize ToolBarLayout::Extent() const {
    QRect all;
    for (const QRect& r : rects_) {
        all = all.united(r);
    }
    return QSize(all.right() + 1, all.bottom() + 1);
}

}  // namespace SKINGUI
