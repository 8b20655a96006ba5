#pragma once
// Which rows of a grouped list are on screen. A group row owns the rows that
// follow it while their level is below its own; collapsing it hides them, and
// groups nest through their levels. The list view only ever sees the visible rows.
#include <vector>

namespace SKINGUI {

class ListGroupMap {
public:
    struct Row {
        int level = 0;         // group rows have a higher level than the rows under them
        bool expanded = true;  // false hides the rows under this row
    };

    // Recomputes the mapping; call after any change of rows, levels or expansion.
    void Rebuild(const std::vector<Row>& rows);

    int RowCount() const { return int(rows_.size()); }
    int VisibleCount() const { return int(visibleToRow_.size()); }
    // Visible index -> row index; -1 when out of range.
    int VisibleToRow(int visible) const;
    // Row index -> visible index; -1 when the row is hidden or out of range.
    int RowToVisible(int row) const;
    // The rows under the row (its children at every depth).
    int ChildCount(int row) const;
    // The group row that holds the row directly; -1 when none.
    int GroupOf(int row) const;

private:
    std::vector<Row> rows_;
    std::vector<int> visibleToRow_;
    std::vector<int> rowToVisible_;
};

}  // namespace SKINGUI
