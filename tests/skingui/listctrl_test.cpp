#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <functional>
#include <vector>

#include "skingui/skinheaderctrlex.h"
#include "skingui/skinlistviewctrlex.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

namespace {

using List = CSkinListViewCtrlEx;

// Three columns of 100 pixels, rows 24 high, shown.
void Dress(List& list, uint32_t style) {
    list.resize(400, 400);
    list.SetRowHeight(24);
    list.SetSkinStyle(style);
    for (int c = 0; c < 3; ++c)
        list.SetColumn(c, QString(), 100, 0, 0);
    list.show();
    QApplication::processEvents();
}

// Row 0 group (level 1) with rows 1-3, row 4 group with rows 5-9; each row's flags hold its name.
void FillGroups(List& list) {
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

struct TaskList : ::testing::Test {
    TaskList() {
        FillGroups(list);
        Dress(list, List::kSkinHeader | List::kFixedColumns | List::kTransparentHeader);
    }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&list, &press);
    }
    int CurrentRow() { return list.MapRowIndex(list.currentIndex().row(), 1); }
    void Select(int row) { list.setCurrentIndex(list.model()->index(list.MapRowIndex(row, 0), 0)); }
    List list;
};

}  // namespace

TEST_F(TaskList, ItemCountFollowsRowsAndCollapsedGroupsAndOutOfRangeChangesAreIgnored) {
    EXPECT_FALSE(list.DeleteRows(8, 5));
    EXPECT_FALSE(list.DeleteRows(-1, 1));
    EXPECT_FALSE(list.SetRowAttributes(10, 0, 0, 0));
    EXPECT_FALSE(list.InsertRows(11, 1));
    EXPECT_EQ(list.SetCellText(0, 3, "no such column", 0, 0), 0);
    EXPECT_EQ(list.RowCount(), 10);
    EXPECT_EQ(list.ItemCount(), 10);
    EXPECT_EQ(list.model()->rowCount(), 10);
    EXPECT_EQ(list.ExpandGroup(0, false), 3);
    EXPECT_EQ(list.ItemCount(), 7);
    EXPECT_EQ(list.model()->rowCount(), 7);
    EXPECT_EQ(list.MapRowIndex(1, 1), 4);      // the item after the group is the row after its children
    EXPECT_EQ(list.ExpandGroup(0, false), 0);  // no change
    // A cell set on the row after the last one creates exactly that row.
    list.SetCellText(10, 1, "new", 0, 0);
    EXPECT_EQ(list.RowCount(), 11);
    EXPECT_EQ(list.ItemCount(), 8);
    EXPECT_EQ(list.model()->rowCount(), 8);
    // Rows set well past the end are created on the way; every item maps to a real row.
    list.SetRowFlags(14, 7);
    EXPECT_EQ(list.RowCount(), 15);
    EXPECT_EQ(list.model()->rowCount(), 12);
    for (int i = 0; i < list.model()->rowCount(); ++i) {
        EXPECT_NE(list.GetRow(list.MapRowIndex(i, 1)), nullptr) << i;
    }
    EXPECT_EQ(list.GetRow(14)->flags, 7u);
    EXPECT_EQ(list.GetRow(15), nullptr);
    // Deleting the collapsed group with two of its children shows the third.
    EXPECT_TRUE(list.DeleteRows(0, 3));
    EXPECT_EQ(list.RowCount(), 12);
    EXPECT_EQ(list.model()->rowCount(), 12);
}

TEST_F(TaskList, LeftSelectsTheGroupAndCollapsesItRightExpandsIt) {
    Select(6);
    Key(Qt::Key_Left);
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_TRUE(list.selectionModel()->isRowSelected(list.MapRowIndex(4, 0), QModelIndex()));
    EXPECT_EQ(list.GetRow(4)->expanded, 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(list.GetRow(4)->expanded, 0);
    EXPECT_EQ(list.ItemCount(), 5);
    Key(Qt::Key_Right);
    EXPECT_EQ(list.GetRow(4)->expanded, 1);
    EXPECT_EQ(list.ItemCount(), 10);
}

TEST_F(TaskList, LinkClickInACellReportsRowColumnAndName) {
    list.SetCellText(5, 2, "<a name='open'>Open file</a>", 0, 0);
    list.SetCellText(5, 1, "plain text", 0, 0);
    QSignalSpy spy(&list, &List::linkClicked);
    const QRect cell = list.CellRect(5, 2);
    ASSERT_FALSE(cell.isEmpty());
    Click(list.viewport(), cell.topLeft() + QPoint(2, 12));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 5);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 2);
    EXPECT_EQ(spy.at(0).at(2).toString(), "open");
    Click(list.viewport(), list.CellRect(5, 1).topLeft() + QPoint(2, 12));
    EXPECT_EQ(spy.count(), 1);

    // With row 0 collapsed the same row sits three items higher and still reports row 5.
    list.ExpandGroup(0, false);
    QApplication::processEvents();
    Click(list.viewport(), list.CellRect(5, 2).topLeft() + QPoint(2, 12));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 5);
    // The first column reports as well.
    list.SetCellText(6, 0, "<a name='first'>First</a>", 0, 0);
    Click(list.viewport(), list.CellRect(6, 0).topLeft() + QPoint(2, 12));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(2).at(1).toInt(), 0);
}

TEST_F(TaskList, HoverUnderlineIsClearedWhenTheMouseLeaves) {
    list.SetCellText(2, 1, "<a name='retry'>Retry</a>", 0, 0);
    const QRect cell = list.CellRect(2, 1);
    Move(list.viewport(), cell.topLeft() + QPoint(2, 12));
    const MarkupElement* link = list.GetRow(2)->cells[1].page->Element(0);
    EXPECT_TRUE(link->style & kStyleUnderline);
    Leave(list.viewport());
    EXPECT_FALSE(link->style & kStyleUnderline);
    // Moving to another cell also drops the underline.
    Move(list.viewport(), cell.topLeft() + QPoint(2, 12));
    EXPECT_TRUE(link->style & kStyleUnderline);
    Move(list.viewport(), list.CellRect(3, 2).center());
    EXPECT_FALSE(link->style & kStyleUnderline);
    // New text in another cell of the row keeps the hover, so leaving still drops it.
    Move(list.viewport(), cell.topLeft() + QPoint(2, 12));
    list.SetCellText(2, 2, "other", 0, 0);
    Leave(list.viewport());
    EXPECT_FALSE(link->style & kStyleUnderline);
}

TEST_F(TaskList, RowColoursSelectionAndGroupLines) {
    list.SetBkColor(0xF0F0F0);
    list.SetRowAttributes(7, 0x00FFFF, 0, 0);  // yellow
    Select(2);
    QApplication::processEvents();
    const QImage img = Grab(list.viewport());
    const auto at = [&](int row, int column, QPoint offset) {
        return img.pixel(list.CellRect(row, column).topLeft() + offset);
    };
    EXPECT_EQ(at(2, 1, QPoint(50, 12)), Rgb(0xDCBEAA));  // selected
    EXPECT_EQ(at(3, 1, QPoint(50, 12)), Rgb(0xF0F0F0));  // colour not set: the list's
    EXPECT_EQ(at(7, 1, QPoint(50, 12)), Rgb(0x00FFFF));  // the row's own colour
    // Group rows end in a horizontal grid line.
    EXPECT_EQ(at(4, 0, QPoint(250, 23)), Rgb(0xC0C0C0));
    EXPECT_EQ(at(4, 0, QPoint(250, 22)), Rgb(0xF0F0F0));
    EXPECT_EQ(list.RowBkColor(3, true), ColorRef(0xDCBEAA));
    list.SetSkinStyle(List::kNoSelection);
    EXPECT_EQ(list.RowBkColor(3, true), ColorRef(0xF0F0F0));
}

TEST_F(TaskList, CaptionsAndTheSelectionFrameAreDrawn) {
    EXPECT_EQ(list.SetColumn(-1, "x", 50, 0, 0), 0);
    EXPECT_NE(list.SetColumn(0, "<font color='0xff0000' bold='1'>MMMM</font>", 120, 0, 0), 0);
    EXPECT_EQ(list.SkinHeader()->sectionSize(0), 120);
    list.SetSelectionColor(0x00FF00);
    list.SetSelectionFrameColor(0xFF0000);
    Select(2);
    QApplication::processEvents();
    const QImage head = Grab(list.SkinHeader());
    const auto red = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 80; };
    EXPECT_GT(CountPixels(head, QRect(0, 0, 120, head.height()), red), 10);
    const QImage img = Grab(list.viewport());
    const QRect first = list.CellRect(2, 0), last = list.CellRect(2, 2);
    EXPECT_EQ(img.pixel(first.left() + 50, first.top() + 12), Rgb(0x00FF00));
    for (QPoint edge : {QPoint(first.left() + 50, first.top()), QPoint(last.left() + 50, first.bottom()),
                        QPoint(first.left(), first.top() + 12), QPoint(last.right(), last.top() + 12)})
        EXPECT_EQ(img.pixel(edge), Rgb(0xFF0000)) << edge.x() << "," << edge.y();
    // A gradient selection fills each cell inside a one-pixel margin.
    list.SetGradientSelection(true);
    const QImage gradient = Grab(list.viewport());
    const QPoint edge(list.CellRect(2, 1).left(), first.top() + 12);
    EXPECT_EQ(gradient.pixel(edge), Rgb(0x00FF00));
    EXPECT_NE(gradient.pixel(edge + QPoint(1, 0)), Rgb(0x00FF00));
}

TEST_F(TaskList, GridLinesAndBorderFollowTheStyle) {
    list.SetSkinStyle(List::kBorder | List::kHorzGrid | List::kVertGrid);
    QApplication::processEvents();
    const QImage whole = Grab(&list);
    EXPECT_EQ(whole.pixel(0, 200), Rgb(0xC0C0C0));  // border
    EXPECT_EQ(whole.pixel(399, 200), Rgb(0xC0C0C0));
    const QImage img = Grab(list.viewport());
    const QRect cell = list.CellRect(6, 1);
    EXPECT_EQ(img.pixel(cell.left() + 50, cell.bottom()), Rgb(0xC0C0C0));
    EXPECT_EQ(img.pixel(cell.left(), cell.top() + 5), Rgb(0xC0C0C0));
    EXPECT_EQ(img.pixel(cell.left() + 50, cell.top() + 5), Rgb(0xFFFFFF));
}

TEST_F(TaskList, HeaderTakesTheListsHeightAndColoursAndKeepsWidthsFixed) {
    CSkinHeaderCtrlEx* header = list.SkinHeader();
    EXPECT_EQ(header->HeaderHeight(), list.RowHeight());
    EXPECT_EQ(header->height(), list.RowHeight());
    EXPECT_EQ(header->Flags(), uint32_t(List::kFixedColumns | List::kTransparentHeader));
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_TRUE(list.SetSkinBkColor(0xEEEEEE));
    const QImage img = Grab(header);
    EXPECT_EQ(img.pixel(50, 5), Rgb(0xEEEEEE));
    EXPECT_EQ(img.pixel(100, 5), Rgb(0xC0C0C0));  // line between items
    EXPECT_EQ(img.pixel(0, 5), Rgb(0xEEEEEE));    // no left line on the first item
    EXPECT_EQ(img.pixel(50, 23), Rgb(0xC0C0C0));  // bottom line

    List plain;
    EXPECT_FALSE(plain.SetSkinBkColor(0xEEEEEE));
    // Without a set height rows take the font's; the header takes the list's colour when attached.
    plain.InsertRows(0, 1);
    plain.SetColumn(0, "", 100, 0, 0);
    EXPECT_EQ(plain.visualRect(plain.model()->index(0, 0)).height(), plain.RowHeight());
    plain.SetBkColor(0xF0F0F0);
    plain.SetSkinStyle(List::kSkinHeader);
    EXPECT_EQ(plain.SkinHeader()->BkColor(), ColorRef(0xF0F0F0));
}

TEST_F(TaskList, ColumnWidthResizesEveryCellPageButDraggingADividerOnlyWithoutTheFixedFlag) {
    list.SetCellText(3, 1, "x", 0, 0);
    list.SetCellText(0, 0, "group", 0, 0);
    list.SetColumnWidth(1, 150);
    EXPECT_EQ(list.GetRow(3)->cells[1].page->Width(), 150);
    EXPECT_EQ(list.GetRow(0)->cells[0].page->Width(), 350);  // a group's first cell spans the row
    EXPECT_EQ(list.GetRow(3)->cells[1].page->Height(), 24);
    list.SetCellText(3, 0, "x", 0, 0);
    QWidget* header = list.SkinHeader()->viewport();
    auto drag = [&] {
        Press(header, QPoint(99, 5));
        Move(header, QPoint(140, 5), Qt::LeftButton);
        Release(header, QPoint(140, 5));
    };
    Move(header, QPoint(99, 5));
    EXPECT_NE(list.SkinHeader()->cursor().shape(), Qt::SplitHCursor);
    drag();
    EXPECT_EQ(list.SkinHeader()->sectionSize(0), 100);
    EXPECT_EQ(list.GetRow(3)->cells[0].page->Width(), 100);

    List loose;
    Dress(loose, List::kSkinHeader);
    loose.SetCellText(0, 0, "x", 0, 0);
    header = loose.SkinHeader()->viewport();
    Move(header, QPoint(99, 5));
    EXPECT_EQ(loose.SkinHeader()->cursor().shape(), Qt::SplitHCursor);
    drag();
    EXPECT_EQ(loose.SkinHeader()->sectionSize(0), 141);
    EXPECT_EQ(loose.GetRow(0)->cells[0].page->Width(), 141);
}

// The highlight stays on the task the user chose when rows are inserted, deleted
// or hidden around it, so a cancel or open acts on it.
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
        FillGroups(list);
        Dress(list, 0);
        list.setCurrentIndex(list.model()->index(list.MapRowIndex(5, 0), 0));
        ASSERT_EQ((std::vector<uint32_t>{105, 105}), Chosen(list));
        c.change(list);
        EXPECT_EQ(c.expected, Chosen(list));
    }
}
