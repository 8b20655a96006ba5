#include "skingui/listgroupmap.h"

namespace SKINGUI {

void ListGroupMap::Rebuild(const std::vector<Row>& rows) {
    rows_ = rows;
    visibleToRow_.clear();
    rowToVisible_.assign(rows_.size(), -1);
    // While hiding, rows below hideLevel belong to a collapsed group.
    bool hiding = false;
    int hideLevel = 0;
    for (int i = 0; i < int(rows_.size()); ++i) {
        const Row& r = rows_[i];
        if (hiding && r.level < hideLevel) {
            continue;
        }
        hiding = false;
        rowToVisible_[i] = int(visibleToRow_.size());
        visibleToRow_.push_back(i);
        if (!r.expanded) {
            hiding = true;
            hideLevel = r.level;
        }
    }
}

int ListGroupMap::VisibleToRow(int visible) const {
    if (visible < 0 || visible >= int(visibleToRow_.size())) {
        return -1;
    }
    return visibleToRow_[visible];
}

int ListGroupMap::RowToVisible(int row) const {
    if (row < 0 || row >= int(rowToVisible_.size())) {
        return -1;
    }
    return rowToVisible_[row];
}

int ListGroupMap::ChildCount(int row) const {
    if (row < 0 || row >= int(rows_.size())) {
        return 0;
    }
    const int level = rows_[row].level;
    int n = 0;
    for (int i = row + 1; i < int(rows_.size()) && rows_[i].level < level; ++i) {
        ++n;
    }
    return n;
}

int ListGroupMap::GroupOf(int row) const {
    if (row < 0 || row >= int(rows_.size())) {
        return -1;
    }
    // Rows between a group and its child all sit below the child's level, so the
    // first higher row going back is the direct group.
    const int level = rows_[row].level;
    for (int i = row - 1; i >= 0; --i) {
        if (rows_[i].level > level) {
            return i;
        }
    }
    return -1;
}

}  // namespace SKINGUI
