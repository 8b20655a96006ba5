#include <gtest/gtest.h>

#include "skingui/outbarlayout.h"
#include "skingui/splittergeometry.h"
#include "skingui/toolbarlayout.h"

using namespace SKINGUI;

TEST(ToolBarLayout, ButtonsSitSideBySideAndSeparatorsAndHiddenButtonsAreNeverHit) {
    ToolBarLayout layout;
    std::vector<ToolBarLayout::Entry> entries(5);
    entries[1].separator = true;
    entries[3].hidden = true;
    layout.Layout(entries, QSize(50, 40));
    EXPECT_EQ(layout.ItemRect(0), QRect(0, 0, 50, 40));
    EXPECT_EQ(layout.ItemRect(1), QRect(50, 0, ToolBarLayout::kSeparatorWidth, 40));
    EXPECT_EQ(layout.ItemRect(2), QRect(58, 0, 50, 40));
    EXPECT_TRUE(layout.ItemRect(3).isNull());
    EXPECT_EQ(layout.ItemRect(4), QRect(108, 0, 50, 40));
    EXPECT_EQ(layout.HitTest(QPoint(49, 39)), 0);
    EXPECT_EQ(layout.HitTest(QPoint(52, 10)), -1);
    EXPECT_EQ(layout.HitTest(QPoint(110, 10)), 4);
    EXPECT_EQ(layout.HitTest(QPoint(160, 10)), -1);
    EXPECT_EQ(layout.HitTest(QPoint(10, 40)), -1);
    EXPECT_EQ(layout.Extent(), QSize(158, 40));
}

TEST(SplitterGeometry, ClampsKeepBothPanesAtTheirMinimumAndAGhostDragBelowMinimumPlusBarLandsOnIt) {
    SplitterGeometry g;
    g.length = 300;
    g.barWidth = 6;
    g.minPane = 20;
    EXPECT_EQ(g.Clamp(SplitterGeometry::kNotSet), 147);
    EXPECT_EQ(g.Clamp(5), 20);
    EXPECT_EQ(g.Clamp(100), 100);
    EXPECT_EQ(g.Clamp(290), 300 - 6 - 20);
    EXPECT_EQ(g.ClampGhost(25), 20);
    EXPECT_EQ(g.ClampGhost(26), 26);
    EXPECT_EQ(g.ClampGhost(280), 274);
    EXPECT_EQ(SplitterGeometry::DragPosition(50, 3), 47);
    EXPECT_EQ(SplitterGeometry::DragPosition(2, 3), -2);  // never the "not set" value
    g.position = 100;
    EXPECT_TRUE(g.OnBar(100));
    EXPECT_TRUE(g.OnBar(105));
    EXPECT_FALSE(g.OnBar(106));
    EXPECT_FALSE(g.OnBar(99));
}

TEST(OutBarLayout, ScrollingNeverLeavesTheContentAndResizeKeepsTheOffsetInRange) {
    OutBarLayout bar;
    bar.Resize(180, 245);  // view height 200
    bar.SetContentHeight(10 * OutBarLayout::kItemHeight);
    bar.Scroll(-120);  // wheel up at the top
    EXPECT_EQ(bar.Offset(), 0);
    bar.Scroll(100);
    EXPECT_EQ(bar.Offset(), -100);
    bar.Scroll(1000);
    EXPECT_EQ(bar.Offset(), 200 - 360 - 45);
    bar.Scroll(-10000);
    EXPECT_EQ(bar.Offset(), 0);
    EXPECT_TRUE(bar.NeedsScrollButtons());
    bar.Scroll(150);
    bar.Resize(180, 245);  // same size: nothing moves
    EXPECT_EQ(bar.Offset(), -150);
    bar.Resize(180, 265);  // 20 taller: content moves down with the bottom
    EXPECT_EQ(bar.Offset(), -130);
    bar.Resize(180, 1000);  // everything fits: back at the top
    EXPECT_EQ(bar.Offset(), 0);
    EXPECT_FALSE(bar.NeedsScrollButtons());
}

TEST(OutBarLayout, HitTestUsesLaidOutItemsInsideTheItemAreaOnly) {
    OutBarLayout bar;
    bar.Resize(180, 245);
    bar.SetContentHeight(8 * OutBarLayout::kItemHeight);
    bar.LayoutItems(8);
    EXPECT_EQ(bar.ItemRect(0), QRect(2, 49, 180, 36));
    EXPECT_EQ(bar.HitTest(QPoint(20, 50)), 0);
    EXPECT_EQ(bar.HitTest(QPoint(20, 49 + 36)), 1);
    EXPECT_EQ(bar.HitTest(QPoint(20, 40)), -1);  // gap under the band
    // Items beyond the view are not laid out and cannot be hit.
    EXPECT_TRUE(bar.ItemRect(7).isNull());

    // Scrolled by two items, item 0 lies under the header band: a click there hits nothing.
    bar.Scroll(72);
    bar.LayoutItems(8);
    EXPECT_EQ(bar.ItemRect(0).top(), 49 - 72);
    EXPECT_EQ(bar.HitTest(QPoint(20, 10)), -1);
    EXPECT_EQ(bar.HitTest(QPoint(20, 30)), -1);
    EXPECT_EQ(bar.HitTest(QPoint(20, 50)), 2);
}
