#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <QStandardItemModel>

#include "skingui/headerctrlex.h"
#include "skingui/listviewctrlex.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

namespace {

// The explorer list with three columns of 120 pixels and a dressed header.
bool Near(QRgb got, uint32_t colorRef) {
    const QRgb want = Rgb(colorRef);
    return std::abs(qRed(got) - qRed(want)) < 32 && std::abs(qGreen(got) - qGreen(want)) < 32 &&
           std::abs(qBlue(got) - qBlue(want)) < 32;
}

struct ExplorerList : ::testing::Test {
    ExplorerList() : model(0, 3) {
        list.setModel(&model);
        list.resize(500, 200);
        list.SetSkinStyle(CListViewCtrlEx::kSkinHeader | CListViewCtrlEx::kTransparentHeader);
        for (int c = 0; c < 3; ++c) {
            list.SetColumn(c, QString(), 120, 0, 0);
        }
        list.SetHeaderHeight(24);
        list.show();
        QApplication::processEvents();
    }
    QStandardItemModel model;
    CListViewCtrlEx list;
};

}  // namespace

TEST_F(ExplorerList, SortArrowIsSymmetricWithRowsOfOneToNinePixels) {
    CHeaderCtrlEx* header = list.SkinHeader();
    const uint32_t arrow = 0x98806C;
    for (bool up : {true, false}) {
        header->setSortIndicatorShown(true);
        header->setSortIndicator(1, up ? Qt::AscendingOrder : Qt::DescendingOrder);
        const QImage img = Grab(header);
        const int x = header->SortArrowX(1), h = header->height();
        EXPECT_EQ(x, 120 + 15);  // empty caption at start x 0
        const int tip = up ? h / 2 - 3 : h / 2 + 2;
        const int dir = up ? 1 : -1;
        for (int i = 0; i <= 4; ++i) {
            const int y = tip + dir * i;
            EXPECT_EQ(img.pixel(x - i, y), Rgb(arrow)) << up << i;
            EXPECT_EQ(img.pixel(x + i, y), Rgb(arrow)) << up << i;
            EXPECT_NE(img.pixel(x - i - 1, y), Rgb(arrow)) << up << i;
            EXPECT_NE(img.pixel(x + i + 1, y), Rgb(arrow)) << up << i;
        }
        EXPECT_NE(img.pixel(x, tip - dir), Rgb(arrow));
        EXPECT_NE(img.pixel(x, tip + 5 * dir), Rgb(arrow));
    }
}

TEST_F(ExplorerList, HeaderGradientsLinesEmptyAreaAndBorder) {
    list.SetSkinBkColor(0x0000FF);  // red middle makes the halves easy to tell apart
    CHeaderCtrlEx* header = list.SkinHeader();
    ASSERT_EQ(header->height(), 24);
    const QImage img = Grab(header);
    EXPECT_EQ(img.pixel(60, 0), Rgb(0xFFFFFF));      // top of the upper half
    EXPECT_EQ(img.pixel(60, 11), Rgb(0x0000FF));     // end of the upper half
    EXPECT_EQ(img.pixel(60, 12), Rgb(0x0000FF));     // start of the lower half
    EXPECT_TRUE(Near(img.pixel(60, 22), 0xFFF5E1));  // towards the bottom colour (its last row is the line)
    EXPECT_EQ(img.pixel(60, 23), Rgb(0xE1D0BD));     // bottom line in the border colour
    EXPECT_EQ(img.pixel(120, 5), Rgb(0xE1D0BD));     // line between items
    EXPECT_EQ(img.pixel(0, 5), img.pixel(60, 5));    // first item has no left line
    EXPECT_EQ(img.pixel(450, 0), Rgb(0xFFFFFF));     // area right of the last item
    EXPECT_TRUE(Near(img.pixel(450, 22), 0xFFF5E1));
    EXPECT_EQ(img.pixel(450, 5), img.pixel(60, 5));
    EXPECT_EQ(img.pixel(450, 23), Rgb(0xE1D0BD));
    // The border flag draws a one-pixel frame round the list.
    list.SetSkinStyle(CListViewCtrlEx::kBorder);
    const QImage whole = Grab(&list);
    EXPECT_EQ(whole.pixel(0, 100), Rgb(0xE1D0BD));
    EXPECT_EQ(whole.pixel(499, 100), Rgb(0xE1D0BD));
    EXPECT_EQ(whole.pixel(250, 199), Rgb(0xE1D0BD));
    EXPECT_EQ(whole.pixel(250, 100), Rgb(0xFFFFFF));
}

TEST_F(ExplorerList, SkinOperationsNeedTheDressedHeader) {
    CListViewCtrlEx bare;
    EXPECT_FALSE(bare.SetHeaderHeight(40));
    EXPECT_FALSE(bare.SetSkinBkColor(0));
    EXPECT_EQ(bare.SkinHeader()->HeaderHeight(), 30);
    bare.SetSkinStyle(CListViewCtrlEx::kSkinHeader | CListViewCtrlEx::kFixedColumns | 0x10);
    EXPECT_EQ(bare.SkinHeader()->HeaderHeight(), 18);
    EXPECT_EQ(bare.SkinHeader()->Flags(), uint32_t(CListViewCtrlEx::kFixedColumns));
    EXPECT_TRUE(bare.SetHeaderHeight(40));
    EXPECT_EQ(bare.SkinHeader()->HeaderHeight(), 40);
}

TEST_F(ExplorerList, CaptionPagesFollowColumnWidths) {
    CHeaderCtrlEx* header = list.SkinHeader();
    EXPECT_EQ(header->ColumnCount(), 3);
    list.SetColumn(5, "<font bold='1'>Size</font>", 80, 4, 0);
    EXPECT_EQ(header->ColumnCount(), 6);
    ASSERT_NE(header->ColumnPage(4), nullptr);  // blank items up to the column
    EXPECT_EQ(header->ColumnPage(5)->Width(), 80);
    EXPECT_EQ(header->ColumnPage(5)->Height(), 24);
    model.setColumnCount(6);
    EXPECT_EQ(header->sectionSize(5), 80);  // the stored width lands once the column exists
}
