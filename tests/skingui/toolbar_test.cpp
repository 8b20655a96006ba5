#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>

#include "skingui/toolbarctrlex.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

namespace {

// Three buttons 40x40, the middle one disabled, icons red (normal), green (hot), grey (disabled).
struct ToolBarFixture : ::testing::Test {
    void SetUp() override {
        bar.SetImageList(SolidList(QSize(16, 16), Qt::red, 3));
        bar.SetHotImageList(SolidList(QSize(16, 16), Qt::green, 3));
        bar.SetDisabledImageList(SolidList(QSize(16, 16), Qt::gray, 3));
        // Each addition answers its index.
        ASSERT_EQ(bar.AddButton(101, 0, QString()), 0);
        ASSERT_EQ(bar.AddButton(102, 1, QString()), 1);
        ASSERT_EQ(bar.AddSeparator(), 2);
        ASSERT_EQ(bar.AddButton(103, 2, QString()), 3);
        bar.SetButtonSize(QSize(40, 40));
        bar.EnableButton(102, false);
        bar.resize(200, 40);
    }
    // Centre of the icon of a button (drawn 5 pixels below the button's top).
    QRgb IconPixel(int id) {
        const QRect r = bar.ButtonRect(id);
        return Grab(&bar).pixel(r.left() + 20, r.top() + 5 + 8);
    }
    QPoint Centre(int id) { return bar.ButtonRect(id).center(); }
    CToolBarCtrlEx bar;
};

}  // namespace

TEST_F(ToolBarFixture, BackgroundIsTheVerticalGradientAndIconsComeFromTheListOfTheirState) {
    const QImage img = Grab(&bar);
    EXPECT_EQ(img.pixel(199, 0), Rgb(0xF9EDE3));
    EXPECT_EQ(img.pixel(199, 39), Rgb(0xF6DEC6));
    EXPECT_EQ(img.pixel(1, 0), Rgb(0xF9EDE3));
    EXPECT_EQ(IconPixel(101), QColor(Qt::red).rgb());
    EXPECT_EQ(IconPixel(102), QColor(Qt::gray).rgb());
    Move(&bar, Centre(101));
    EXPECT_EQ(bar.ButtonState(101), CToolBarCtrlEx::kStateHot);
    EXPECT_EQ(IconPixel(101), QColor(Qt::green).rgb());
    Press(&bar, Centre(101));
    EXPECT_EQ(bar.ButtonState(101), CToolBarCtrlEx::kStatePressed);
    EXPECT_EQ(IconPixel(101), QColor(Qt::green).rgb());
}

TEST_F(ToolBarFixture, CaptionsAreDrawnUnderTheIconInBlack) {
    bar.AddButton(104, 0, "MMMM");
    bar.SetButtonSize(QSize(60, 60));
    bar.resize(400, 60);
    const QRect r = bar.ButtonRect(104);
    const QImage img = Grab(&bar);
    EXPECT_GT(CountPixels(img, QRect(QPoint(r.left(), r.top() + 5 + 16), r.bottomRight()), IsDark), 10);
}

TEST(ToolBarSize, ButtonsWithoutAFixedSizeFollowTheirCaptionsFont) {
    CToolBarCtrlEx bar;
    bar.AddButton(1, 0, "Caption");
    QFont font = bar.font();
    font.setPixelSize(10);
    bar.setFont(font);
    const int narrow = bar.ButtonRect(1).width();
    font.setPixelSize(30);
    bar.setFont(font);
    EXPECT_GT(bar.ButtonRect(1).width(), narrow + 20);
}

TEST_F(ToolBarFixture, MovingBetweenButtonsResetsTheFirstAndOneTurnedOffWhileHotStaysOff) {
    Move(&bar, Centre(101));
    Move(&bar, Centre(103));
    EXPECT_EQ(bar.ButtonState(101), CToolBarCtrlEx::kStateNormal);
    EXPECT_EQ(bar.ButtonState(103), CToolBarCtrlEx::kStateHot);
    EXPECT_EQ(IconPixel(101), QColor(Qt::red).rgb());
    EXPECT_EQ(IconPixel(103), QColor(Qt::green).rgb());
    // A disabled button under the pointer never turns hot.
    Move(&bar, Centre(102));
    EXPECT_EQ(bar.ButtonState(103), CToolBarCtrlEx::kStateNormal);
    EXPECT_EQ(bar.ButtonState(102), CToolBarCtrlEx::kStateDisabled);
    // Leaving the bar repaints the hot button as normal.
    Move(&bar, Centre(103));
    Leave(&bar);
    EXPECT_EQ(IconPixel(103), QColor(Qt::red).rgb());
    // A button turned off while hot stays off after the mouse leaves.
    Move(&bar, Centre(101));
    bar.EnableButton(101, false);
    Leave(&bar);
    EXPECT_FALSE(bar.IsButtonEnabled(101));
    EXPECT_EQ(bar.ButtonState(101), CToolBarCtrlEx::kStateDisabled);
    EXPECT_EQ(IconPixel(101), QColor(Qt::gray).rgb());
    QSignalSpy spy(&bar, &CToolBarCtrlEx::commandTriggered);
    Click(&bar, Centre(101));
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(ToolBarFixture, ClickSendsTheCommandIdOnceAndOnlyWhenReleasedOnTheButton) {
    QSignalSpy spy(&bar, &CToolBarCtrlEx::commandTriggered);
    Click(&bar, Centre(103));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 103);

    Click(&bar, Centre(102));  // disabled
    EXPECT_EQ(spy.count(), 1);

    Press(&bar, Centre(101));
    Move(&bar, QPoint(190, 20), Qt::LeftButton);
    Release(&bar, QPoint(190, 20));  // let go outside every button
    EXPECT_EQ(spy.count(), 1);
    Press(&bar, Centre(101));
    Release(&bar, Centre(103));  // let go on another button
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(bar.ButtonState(101), CToolBarCtrlEx::kStateNormal);

    Click(&bar, QPoint(84, 20));  // separator
    EXPECT_EQ(spy.count(), 1);
}
