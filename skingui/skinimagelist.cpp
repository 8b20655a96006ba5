#include "skingui/skinimagelist.h"

#include <QPainter>

namespace SKINGUI {

SkinImageList::SkinImageList(QSize iconSize) : iconSize_(iconSize) {}

std::shared_ptr<SkinImageList> SkinImageList::FromStrip(const QPixmap& strip, QSize iconSize) {
    auto list = std::make_shared<SkinImageList>(iconSize);
    if (iconSize.width() <= 0 || iconSize.height() <= 0) {
        return list;
    }
    for (int x = 0; x + iconSize.width() <= strip.width(); x += iconSize.width()) {
        list->Add(strip.copy(QRect(QPoint(x, 0), iconSize)));
    }
    return list;
}

int SkinImageList::Add(const QPixmap& image) {
    QPixmap cell = image;
    if (!cell.isNull() && cell.size() != iconSize_) {
        cell = cell.scaled(iconSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    cells_.push_back(cell);
    return int(cells_.size()) - 1;
}

QPixmap SkinImageList::Cell(int index) const {
    if (index < 0 || index >= Count()) {
        return QPixmap();
    }
    return cells_[size_t(index)];
}

bool SkinImageList::Draw(QPainter& painter, int index, QPoint topLeft) const {
    if (index < 0 || index >= Count()) {
        return false;
    }
    painter.drawPixmap(topLeft, cells_[size_t(index)]);
    return true;
}

}  // namespace SKINGUI
