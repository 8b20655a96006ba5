#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <functional>
#include <utility>
#include <vector>

#include "skingui/skinhyperlink.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using namespace skingui_test;

TEST(SkinHyperLinkToolTip, ShowsItsOwnTextElseTheAddressElseTheLabel) {
    CSkinHyperLink link(nullptr, "home");
    EXPECT_EQ(link.toolTip(), "home");
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
    CSkinHyperLink empty;
    QSignalSpy clicks(&empty, &CSkinHyperLink::clicked);
    EXPECT_FALSE(empty.Navigate());
    EXPECT_EQ(clicks.count(), 0);
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
    const auto key = [link](QEvent::Type type, int k) {
        QKeyEvent event(type, k, Qt::NoModifier);
        QApplication::sendEvent(link, &event);
    };
    const std::vector<std::pair<int, std::function<void()>>> steps = {
        {0, [&] { SendMouse(link, QEvent::MouseButtonPress, on, Qt::RightButton, Qt::RightButton); }},
        {0, [&] { Release(link, on); }},
        {0, [&] { Press(link, off); }},
        {0, [&] { Release(link, off); }},
        {0, [&] { key(QEvent::KeyPress, Qt::Key_A); }},
        {0, [&] { key(QEvent::KeyRelease, Qt::Key_A); }},
        {1, [&] { key(QEvent::KeyPress, Qt::Key_Enter); }},
        {2, [&] { key(QEvent::KeyPress, Qt::Key_Space); }},
        {2, [&] { Move(link, on); }},
        {2, [&] { Leave(link); }},
        {2, [&] { Leave(link); }},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        parent.painted = QRegion();
        steps[i].second();
        QApplication::processEvents();
        EXPECT_EQ(opened, steps[i].first);
        if (i != 4) {
            EXPECT_TRUE(parent.painted.contains(QRect(10, 5, 200, 30)));
        }
    }
    EXPECT_NE(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST(SkinHyperLinkPaint, UnderlinedInTheLinkColourUntilVisitedThenInThePurpleOne) {
    CSkinHyperLink link(nullptr, "home page");
    link.resize(120, 24);
    link.SetOpener([](const QUrl&) { return true; });
    const auto count = [&](ColorRef colour) {
        return CountPixels(Grab(&link), link.rect(), [&](QRgb p) { return p == Rgb(colour.Value()); });
    };
    const int underline = link.LinkRect().width() / 2;
    EXPECT_GT(count(CSkinHyperLink::kLinkColor), underline);
    EXPECT_EQ(count(CSkinHyperLink::kVisitedColor), 0);
    EXPECT_TRUE(link.Navigate());
    EXPECT_GT(count(CSkinHyperLink::kVisitedColor), underline);
    EXPECT_EQ(count(CSkinHyperLink::kLinkColor), 0);
}
