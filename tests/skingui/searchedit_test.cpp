#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>

#include "skingui/skinbitmapbutton.h"
#include "skingui/skinedit.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

TEST(SearchEdit, RoundedWhiteBoxWithItsFrameAndOneSignalPerClickOnTheButton) {
    RedParent parent(220, 40);
    CSkinEdit box(&parent);
    box.setGeometry(10, 10, 200, 24);
    parent.show();
    const QImage img = Grab(&parent);
    const QPoint o(10, 10);
    EXPECT_EQ(img.pixel(o + QPoint(0, 0)), QColor(Qt::red).rgb());  // rounded corner
    EXPECT_EQ(img.pixel(o + QPoint(199, 23)), QColor(Qt::red).rgb());
    EXPECT_EQ(img.pixel(o + QPoint(100, 0)), Rgb(0xE0B693));  // frame
    EXPECT_EQ(img.pixel(o + QPoint(100, 23)), Rgb(0xE0B693));
    EXPECT_EQ(img.pixel(o + QPoint(0, 12)), Rgb(0xE0B693));
    EXPECT_EQ(img.pixel(o + QPoint(199, 12)), Rgb(0xE0B693));
    EXPECT_EQ(img.pixel(o + QPoint(2, 12)), Rgb(0xFFFFFF));  // fill
    EXPECT_EQ(img.pixel(o + QPoint(100, 2)), Rgb(0xFFFFFF));
    EXPECT_EQ(img.pixel(o + QPoint(-1, 12)), QColor(Qt::red).rgb());  // nothing outside
    // The search icon on the button at the right end.
    const auto icon = [](QRgb p) { return p != Rgb(0xFFFFFF) && p != Rgb(0xE0B693); };
    EXPECT_GT(CountPixels(img, QRect(o + QPoint(171, 0), QSize(24, 24)), icon), 20);
    box.Edit()->setText("report");
    QSignalSpy spy(&box, &CSkinEdit::searchRequested);
    Click(box.Button(), QPoint(12, 12));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(box.Text(), "report");
    Press(box.Button(), QPoint(12, 12));
    Release(box.Button(), QPoint(60, 60));  // let go outside the button
    EXPECT_EQ(spy.count(), 1);
    Click(&box, QPoint(2, 12));  // the box itself is no button
    EXPECT_EQ(spy.count(), 1);
}
