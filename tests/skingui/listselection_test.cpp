// The task list keeps the highlight on the task the user chose when rows are
// inserted, deleted or hidden around it, so a cancel or open acts on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <functional>
#include <vector>

#include "skingui/skinlistviewctrlex.h"

using namespace SKINGUI;

namespace {

using List = CSkinListViewCtrlEx;

// Row 0 a group over rows 1-3, row 4 one over rows 5-9; each row's flags hold its name.
void Fill(List& list) {
    list.SetColumn(0, QString(), 100, 0, 0);
    list.SetColumn(1, QString(), 100, 0, 0);
    list.InsertRows(0, 10);
    for (int group : {0, 4})
        list.SetRowAttributes(group, uint32_t(kNotSet), 1, List::kRowGroup);
    for (int row = 0; row < 10; ++row)
        list.SetRowFlags(row, uint32_t(100 + row));
}

// The names of the selected rows and of the current row.
std::vector<uint32_t> Chosen(List& list) {
    std::vector<uint32_t> names;
    for (const QModelIndex& index : list.selectionModel()->selectedRows())
        names.push_back(list.GetRow(list.MapRowIndex(index.row(), 1))->flags);
    const QModelIndex current = list.currentIndex();
    names.push_back(current.isValid() ? list.GetRow(list.MapRowIndex(current.row(), 1))->flags : 0);
    return names;
}

TEST(ListSelection, StaysWithTheChosenRow) {
    struct Case {
        const char* what;
        std::function<void(List&)> change;
        std::vector<uint32_t> expected;  // selected names, then the current one
    };
    const std::vector<Case> cases = {
        {"insert at the top", [](List& l) { l.InsertRows(0, 2); }, {105, 105}},
        {"delete above", [](List& l) { l.DeleteRows(1, 2); }, {105, 105}},
        {"collapse the group above", [](List& l) { l.ExpandGroup(0, false); }, {105, 105}},
        {"delete the chosen row", [](List& l) { l.DeleteRow(5); }, {0}},
        {"insert below", [](List& l) { l.InsertRows(8, 1); }, {105, 105}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        List list;
        list.resize(300, 400);
        Fill(list);
        list.show();
        QApplication::processEvents();
        list.setCurrentIndex(list.model()->index(list.MapRowIndex(5, 0), 0));
        ASSERT_EQ((std::vector<uint32_t>{105, 105}), Chosen(list));
        c.change(list);
        EXPECT_EQ(c.expected, Chosen(list));
    }
}

}  // namespace
