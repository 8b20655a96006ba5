#pragma once
// Where the buttons of the command bar sit: left to right in one row, every
// button of the same size, separators narrower, hidden buttons taking no room.
#include <QRect>
#include <QSize>
#include <vector>

namespace SKINGUI {

class ToolBarLayout {
public:
    struct Entry {
        bool separator = false;  // a gap between groups of buttons, never hit
        bool hidden = false;     // takes no room and is never hit
    };

    static constexpr int kSeparatorWidth = 8;

    // Lays the entries out from the top-left corner.
    void Layout(const std::vector<Entry>& entries, QSize buttonSize);

    // Rectangle of the entry; empty for hidden entries and indices out of range.
    QRect ItemRect(int index) const;
    // The button (not a separator) under the point; -1 when none.
    int HitTest(QPoint point) const;
    // Width and height that hold every entry.
    QSize Extent() const;

private:
    std::vector<Entry> entries_;
    std::vector<QRect> rects_;
};

}  // namespace SKINGUI
