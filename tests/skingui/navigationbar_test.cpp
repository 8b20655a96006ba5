#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QToolButton>

#include "skingui/simpleoutbar.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

namespace {

// A 180 x 245 bar (view height 200) with eight items in its only group.
struct OutBar : ::testing::Test {
    OutBar() {
        bar.AddGroup("Places", -1);
        for (int i = 0; i < 8; ++i) {
            bar.AddItem(0, -1, QString());
        }
        bar.SetContentHeight(8 * OutBarLayout::kItemHeight);
        bar.resize(180, 245);
        bar.show();
    }
    QPoint InItem(int i) { return bar.ItemRect(i).topLeft() + QPoint(20, 10); }
    CSimpleOutBar bar;
};

}  // namespace

TEST_F(OutBar, ReleaseOnAnotherItemSelectsThatOneAndReleaseOutsideEveryItemOnlyEndsThePress) {
    QSignalSpy spy(&bar, &CSimpleOutBar::itemClicked);
    Press(&bar, InItem(0));
    Release(&bar, QPoint(50, 20));  // header band
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(bar.PressedItem(), -1);
    EXPECT_EQ(bar.SelectedItem(), -1);
    Press(&bar, InItem(1));
    EXPECT_EQ(bar.PressedItem(), 1);
    Release(&bar, InItem(2));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    EXPECT_EQ(bar.SelectedItem(), 2);
    EXPECT_EQ(bar.PressedItem(), -1);
}

TEST_F(OutBar, ClickOnTheHeaderBandNeverSelectsAnItemScrolledUnderIt) {
    bar.Scroll(72);  // items 0 and 1 now lie under the band
    QSignalSpy spy(&bar, &CSimpleOutBar::itemClicked);
    Click(&bar, QPoint(50, 15));
    EXPECT_EQ(spy.count(), 0);
    Click(&bar, QPoint(50, 55));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
}

TEST_F(OutBar, ScrollButtonsFollowTheContentHeight) {
    EXPECT_FALSE(bar.ScrollUpButton()->isHidden());
    EXPECT_FALSE(bar.ScrollDownButton()->isHidden());
    EXPECT_EQ(bar.ScrollUpButton()->geometry(), QRect(160, 45, 20, 20));
    EXPECT_EQ(bar.ScrollDownButton()->geometry(), QRect(160, 245 - 12, 20, 20));
    bar.ScrollDownButton()->click();
    EXPECT_EQ(bar.ScrollOffset(), -20);
    bar.ScrollUpButton()->click();
    EXPECT_EQ(bar.ScrollOffset(), 0);
    bar.resize(180, 400);
    EXPECT_TRUE(bar.ScrollUpButton()->isHidden());
    EXPECT_TRUE(bar.ScrollDownButton()->isHidden());
}

TEST_F(OutBar, HoverFollowsThePointerAndIsClearedOnLeave) {
    Move(&bar, InItem(3));
    EXPECT_EQ(bar.HoveredItem(), 3);
    CSimpleOutBar other;  // hover belongs to each bar alone
    EXPECT_EQ(other.HoveredItem(), -1);
    Leave(&bar);
    EXPECT_EQ(bar.HoveredItem(), -1);
}

TEST_F(OutBar, FrameBandAndItemStateColours) {
    bar.SetSelectedItem(0);
    Move(&bar, InItem(1));
    Press(&bar, InItem(2));
    const QImage img = Grab(&bar);
    const int w = 180, h = 245;
    // Outer frame, white inner outline, two shadow lines, frame fill, the band's gradient ends and its line.
    const std::pair<QPoint, uint32_t> frame[] = {
        {{0, 100}, 0xBFA972},    {{w - 1, 100}, 0xBFA972}, {{50, h - 3}, 0xBFA972}, {{1, 100}, 0xFFFFFF},
        {{50, h - 2}, 0xE1D0BD}, {{50, h - 1}, 0xE1D0BD},  {{3, 45}, 0xF8F4EF},     {{150, 2}, 0xF9EDE1},
        {{150, 34}, 0xFBDFC7},   {{150, 36}, 0xC4B4A7}};
    for (auto [point, colour] : frame)
        EXPECT_EQ(img.pixel(point), Rgb(colour)) << point.x() << "," << point.y();
    EXPECT_GT(CountPixels(img, QRect(40, 2, 100, 32), IsDark), 10);  // the caption, centred in the band
    // Item 0 selected: solid fill from (x + 2, y + 3).
    const QRect r0 = bar.ItemRect(0);
    EXPECT_EQ(img.pixel(r0.left() + 2, r0.top() + 3), Rgb(0xF8F4EF));
    // Item 1 hovered: gradient from 0xFDF4EA at the top to 0xF9E4CE at the bottom.
    const QRect r1 = bar.ItemRect(1);
    EXPECT_EQ(img.pixel(r1.left() + 2, r1.top() + 3), Rgb(0xFDF4EA));
    EXPECT_EQ(img.pixel(r1.left() + 2, r1.top() + 35), Rgb(0xF9E4CE));
    // Item 2 pressed: the reverse gradient.
    const QRect r2 = bar.ItemRect(2);
    EXPECT_EQ(img.pixel(r2.left() + 2, r2.top() + 3), Rgb(0xF9E4CE));
    EXPECT_EQ(img.pixel(r2.left() + 2, r2.top() + 35), Rgb(0xFDF4EA));
    EXPECT_EQ(img.pixel(r2.left() + 1, r2.top() + 10), Rgb(0xF8F4EF));
}
