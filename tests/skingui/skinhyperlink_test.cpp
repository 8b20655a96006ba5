#include <gtest/gtest.h>

#include <QTest>

#include "skingui/skinhyperlink.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

TEST(SkinHyperLinkToolTip, ShowsItsOwnTextElseTheAddressElseTheLabel) {
    CSkinHyperLink link(nullptr, "home");
    link.SetLabel("start");
    EXPECT_EQ(link.toolTip(), "start");
    link.SetHyperLink("https://example.invalid/x");
    link.SetLabel("again");
    EXPECT_EQ(link.toolTip(), "https://example.invalid/x");
    link.SetToolTipText("Open it");
    link.SetHyperLink("https://example.invalid/y");
    EXPECT_EQ(link.toolTip(), "Open it");
    link.SetToolTipText("");
    EXPECT_EQ(link.toolTip(), "https://example.invalid/y");
    EXPECT_EQ(CSkinHyperLink(nullptr, "home").toolTip(), "home");
    EXPECT_FALSE(CSkinHyperLink().Navigate());  // nothing to open
}

TEST(SkinHyperLinkInput, OnlyALeftClickOnTheLabelOrEnterOrSpaceOpensAndEveryStateChangeRepaintsTheParent) {
    RecordingParent parent;
    parent.resize(220, 40);
    auto* link = new CSkinHyperLink(&parent, "home page", "https://example.invalid/home");
    link->setGeometry(10, 5, 200, 30);
    int opened = 0;
    link->SetOpener([&](const QUrl&) { return ++opened, false; });
    parent.show();
    QApplication::processEvents();
    const QPoint on = link->LinkRect().center(), off(199, 29);
    const std::pair<int, std::function<void()>> steps[] = {
        {0, [&] { SendMouse(link, QEvent::MouseButtonPress, on, Qt::RightButton, Qt::RightButton); }},
        {0, [&] { Release(link, on); }},
        {0, [&] { Press(link, off); }},
        {0, [&] { Release(link, off); }},
        {0, [&] { QTest::keyPress(link, Qt::Key_A); }},  // the only step that changes nothing
        {0, [&] { QTest::keyRelease(link, Qt::Key_A); }},
        {1, [&] { QTest::keyPress(link, Qt::Key_Enter); }},
        {2, [&] { QTest::keyPress(link, Qt::Key_Space); }},
        {2, [&] { Move(link, on); }},
        {2, [&] { Leave(link); }},
        {2, [&] { Leave(link); }},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        parent.painted = QRegion();
        steps[i].second();
        QApplication::processEvents();
        EXPECT_EQ(opened, steps[i].first);
        EXPECT_TRUE(i == 4 || parent.painted.contains(QRect(10, 5, 200, 30)));
    }
    EXPECT_NE(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST(SkinHyperLinkPaint, UnderlinedInTheLinkColourUntilVisitedThenInThePurpleOne) {
    CSkinHyperLink link(nullptr, "home page");
    link.resize(120, 24);
    link.SetOpener([](const QUrl&) { return true; });
    const auto count = [&](ColorRef c) {
        return CountPixels(Grab(&link), link.rect(), [&](QRgb p) { return p == Rgb(c.Value()); });
    };
    const int underline = link.LinkRect().width() / 2;
    EXPECT_GT(count(CSkinHyperLink::kLinkColor), underline);
    EXPECT_EQ(count(CSkinHyperLink::kVisitedColor), 0);
    EXPECT_TRUE(link.Navigate());
    EXPECT_GT(count(CSkinHyperLink::kVisitedColor), underline);
    EXPECT_EQ(count(CSkinHyperLink::kLinkColor), 0);
}
