#include <gtest/gtest.h>

#include <QSignalSpy>

#include "skingui/skinsplitterwindow.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

namespace {

struct Splitters : ::testing::Test {
    Splitters() {
        vert.resize(300, 200);
        vert.SetBarWidth(6);
        vert.SetMinPaneSize(20);
        vert.SetSplitterPanes(&left, &right);
        vert.SetSplitterPos(100);
        horz.resize(200, 300);
        horz.SetBarWidth(6);
        horz.SetMinPaneSize(20);
        horz.SetSplitterPanes(&top, &bottom);
        horz.SetSplitterPos(100);
    }
    CSkinSplitterWindowT<1> vert;
    CSkinSplitterWindowT<0> horz;
    QWidget left, right, top, bottom;
};

}  // namespace

TEST_F(Splitters, PanesSitOnEitherSideOfTheBar) {
    EXPECT_EQ(left.geometry(), QRect(0, 0, 100, 200));
    EXPECT_EQ(right.geometry(), QRect(106, 0, 194, 200));
    EXPECT_EQ(top.geometry(), QRect(0, 0, 200, 100));
    EXPECT_EQ(bottom.geometry(), QRect(0, 106, 200, 194));
    EXPECT_EQ(vert.GetSplitterPane(1), &right);
    EXPECT_EQ(vert.GetSplitterPane(2), nullptr);
}

TEST_F(Splitters, PressReleaseIsAClickPressMoveReleaseAMoveAndNothingElseIsReported) {
    QSignalSpy clicked(&vert, &CSkinSplitterWindowImpl::barClicked);
    QSignalSpy moved(&vert, &CSkinSplitterWindowImpl::barMoved);
    Click(&vert, QPoint(102, 50));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(vert.GetSplitterPos(), 100);

    Press(&vert, QPoint(102, 50));
    Move(&vert, QPoint(152, 60), Qt::LeftButton);
    Release(&vert, QPoint(152, 60));
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 150);
    EXPECT_EQ(vert.GetSplitterPos(), 150);
    EXPECT_EQ(left.width(), 150);
    // Nothing is reported without a press on the bar.
    QSignalSpy horzClicked(&horz, &CSkinSplitterWindowImpl::barClicked);
    QSignalSpy horzMoved(&horz, &CSkinSplitterWindowImpl::barMoved);
    Release(&horz, QPoint(50, 103));  // a release that began elsewhere
    SendMouse(&horz, QEvent::MouseButtonDblClick, QPoint(50, 103), Qt::LeftButton, Qt::LeftButton);
    Release(&horz, QPoint(50, 103));
    Click(&horz, QPoint(50, 150));  // not on the bar
    EXPECT_EQ(horzClicked.count(), 0);
    EXPECT_EQ(horzMoved.count(), 0);
    EXPECT_EQ(horz.GetSplitterPos(), 100);
}

TEST_F(Splitters, DraggingBelowTheMinimumLandsOnTheMinimumInBothModes) {
    Press(&horz, QPoint(50, 101));
    Move(&horz, QPoint(50, 5), Qt::LeftButton);
    Release(&horz, QPoint(50, 5));
    EXPECT_EQ(horz.GetSplitterPos(), 20);
    EXPECT_NE(horz.cursor().shape(), Qt::SplitVCursor);  // let go off the bar

    vert.SetFullDrag(false);
    QSignalSpy moved(&vert, &CSkinSplitterWindowImpl::barMoved);
    Press(&vert, QPoint(101, 50));
    Move(&vert, QPoint(24, 50), Qt::LeftButton);  // 23 is below minimum + bar width
    EXPECT_EQ(left.width(), 100);                 // ghost mode: panes wait for the release
    Release(&vert, QPoint(24, 50));
    EXPECT_EQ(vert.GetSplitterPos(), 20);
    EXPECT_EQ(left.width(), 20);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 20);

    // At the far end the second pane keeps its minimum.
    Press(&vert, QPoint(21, 50));
    Move(&vert, QPoint(299, 50), Qt::LeftButton);
    Release(&vert, QPoint(299, 50));
    EXPECT_EQ(vert.GetSplitterPos(), 300 - 20 - 6);
}

TEST_F(Splitters, VerticalBarAndGripColoursAndFlatAfterLeaving) {
    vert.SetSplitterPanes(nullptr, nullptr);
    left.hide();
    right.hide();
    const QImage img = Grab(&vert);
    // Pane background, the bar's light edge, the bar and the grip round the middle (y 100),
    // which ends at left + 4.
    const std::pair<QPoint, uint32_t> expected[] = {
        {{10, 10}, 0xF6EFE6},   {{100, 0}, 0xFEFDFF},   {{100, 199}, 0xFEFDFF}, {{105, 10}, 0xF5EFE6},
        {{101, 97}, 0xB7977A},  {{104, 98}, 0xFDFFFF},  {{102, 100}, 0xB7977A}, {{102, 101}, 0xFDFFFF},
        {{102, 102}, 0xFDFFFF}, {{102, 103}, 0xB7977A}, {{105, 100}, 0xF5EFE6}, {{102, 99}, 0xF5EFE6}};
    for (auto [point, colour] : expected)
        EXPECT_EQ(img.pixel(point), Rgb(colour)) << point.x() << "," << point.y();
    // Leaving shows the bar flat until the next paint.
    Leave(&vert);
    const QImage flat = Grab(&vert);
    EXPECT_EQ(flat.pixel(100, 0), Rgb(0xF3E5D9));
    EXPECT_EQ(flat.pixel(101, 97), Rgb(0xF3E5D9));
    EXPECT_EQ(Grab(&vert).pixel(101, 97), Rgb(0xB7977A));
}

TEST_F(Splitters, HorizontalBarLinesAndGripTriangle) {
    horz.SetSplitterPanes(nullptr, nullptr);
    top.hide();
    bottom.hide();
    const QImage img = Grab(&horz);
    const int mid = 100, bottomEdge = 106;
    EXPECT_EQ(img.pixel(0, 100), Rgb(0xF6EFE6));
    EXPECT_EQ(img.pixel(1, 100), Rgb(0x98806C));
    EXPECT_EQ(img.pixel(198, 100), Rgb(0x98806C));
    EXPECT_EQ(img.pixel(199, 100), Rgb(0xF6EFE6));
    EXPECT_EQ(img.pixel(1, 101), Rgb(0xFFFFFF));
    // Rows of 1, 3, 5 and 7 pixels centred on mid, widest at the top.
    const int widths[] = {7, 5, 3, 1};
    for (int row = 0; row < 4; ++row) {
        const int y = bottomEdge - 5 + row, half = widths[row] / 2;
        EXPECT_EQ(img.pixel(mid - half, y), Rgb(0x98806C)) << row;
        EXPECT_EQ(img.pixel(mid + half, y), Rgb(0x98806C)) << row;
        // The top row shares its line with the white highlight under the dark line.
        const uint32_t beside = row == 0 ? 0xFFFFFF : 0xF6EFE6;
        EXPECT_EQ(img.pixel(mid - half - 1, y), Rgb(beside)) << row;
        EXPECT_EQ(img.pixel(mid + half + 1, y), Rgb(beside)) << row;
    }
}
