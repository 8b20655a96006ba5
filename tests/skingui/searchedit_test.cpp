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
    // Rounded corners and the outside show the parent; the frame, then the white fill.
    const std::pair<QPoint, uint32_t> expected[] = {
        {{0, 0}, 0x0000FF},    {{199, 23}, 0x0000FF}, {{-1, 12}, 0x0000FF},
        {{100, 0}, 0xE0B693},  {{100, 23}, 0xE0B693}, {{0, 12}, 0xE0B693},
        {{199, 12}, 0xE0B693}, {{2, 12}, 0xFFFFFF},   {{100, 2}, 0xFFFFFF}};
    for (auto [point, colour] : expected)
        EXPECT_EQ(img.pixel(o + point), Rgb(colour)) << point.x() << "," << point.y();
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
