#pragma once
// A list of equally sized images (cells) drawn by index, like an image list of old.
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <memory>
#include <vector>

class QPainter;

namespace SKINGUI {

class SkinImageList {
public:
    explicit SkinImageList(QSize iconSize);

    // Cuts a horizontal strip into cells of the icon size; a partial last cell is dropped.
    static std::shared_ptr<SkinImageList> FromStrip(const QPixmap& strip, QSize iconSize);

    QSize IconSize() const { return iconSize_; }
    int Count() const { return int(cells_.size()); }
    // Appends a cell scaled to the icon size when it differs; returns its index.
    int Add(const QPixmap& image);
    // Null for an index out of range.
    QPixmap Cell(int index) const;
    // Draws the cell with its transparency at `topLeft`; false for an index out of range.
    bool Draw(QPainter& painter, int index, QPoint topLeft) const;
    void Clear() { cells_.clear(); }

private:
    QSize iconSize_;
    std::vector<QPixmap> cells_;
};

}  // namespace SKINGUI
