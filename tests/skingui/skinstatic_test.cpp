#include <gtest/gtest.h>

#include <QSignalSpy>

#include "skingui/skinctlcolor.h"
#include "skingui/skinhyperlink.h"
#include "skingui/skinstatic.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using skingui_test::FakeMeasurer;
using skingui_test::Grab;
using skingui_test::Rgb;

namespace {

class WhiteParent : public QWidget, public ISkinCtlColor {
public:
    bool CtlColorStatic(QWidget*, ColorRef* background) override {
        *background = 0xFFFFFF;
        return true;
    }
};

}  // namespace

TEST(SkinStaticBackground, TakesTheParentsColourOrButtonFaceOrNoneOrItsOwnWithAFrame) {
    WhiteParent white;
    white.resize(100, 40);
    CSkinStatic onWhite(&white);
    EXPECT_EQ(onWhite.BackgroundColor().Value(), 0xFFFFFFu);
    QWidget plain;
    plain.resize(100, 40);
    CSkinStatic onPlain(&plain);
    EXPECT_EQ(onPlain.BackgroundColor().Value(), GetSysColor(COLOR_BTNFACE).Value());
    EXPECT_EQ(onPlain.TextColor().Value(), GetSysColor(COLOR_WINDOWTEXT).Value());
    onPlain.setGeometry(0, 0, 50, 20);
    EXPECT_EQ(Grab(&onPlain).pixel(25, 10), Rgb(0xF0F0F0));
    // No colour shows the parent; a colour fills the control inside its frame.
    skingui_test::RedParent parent(120, 60);
    auto* clear = new CSkinStatic(&parent);
    clear->setGeometry(10, 10, 40, 20);
    clear->SetBackgroundColor(kNoColor);
    auto* filled = new CSkinStatic(&parent);
    filled->setGeometry(60, 10, 40, 20);
    filled->SetBackgroundColor(0xFF0000);  // blue
    filled->SetFrameColor(0x00FF00);
    const QImage image = Grab(&parent);
    EXPECT_EQ(image.pixel(30, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(80, 20), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(60, 10), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(99, 29), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(100, 20), qRgb(255, 0, 0));
}

TEST(SkinStaticText, WindowTextIsCutTo1023UnitsWithoutSplittingACharacterAndPlainTextIsNotParsed) {
    const QString longText(2000, QChar('a'));
    CSkinStatic label(nullptr, longText);
    ASSERT_EQ(label.Format().ElementCount(), 1);
    EXPECT_EQ(label.Format().Element(0)->text.size(), 1023);
    QString pairs = QString(1022, QChar('b')) + QString::fromUtf8("\xF0\x9F\x98\x80");
    CSkinStatic cut(nullptr, pairs);
    EXPECT_EQ(cut.Format().Element(0)->text, QString(1022, QChar('b')));
    // Later texts are taken whole; plain text from users shows its tags literally.
    cut.SetWindowText(longText);
    EXPECT_EQ(cut.Format().Element(0)->text.size(), 2000);
    cut.SetPlainText("<a name='x'>nick</a>");
    ASSERT_EQ(cut.Format().ElementCount(), 1);
    EXPECT_EQ(cut.Format().FindAction(0), nullptr);
}

TEST(SkinStaticLinks, ClickOnALinkSignalsTheNameAndHoverUnderlinesWithTheHand) {
    QWidget parent;
    parent.resize(200, 40);
    CSkinStatic label(&parent);
    label.setGeometry(0, 0, 200, 14);
    label.Format().SetMeasurer(std::make_shared<FakeMeasurer>());
    label.SetText("<a name='x'>x</a> text", 0, kAlignTop);
    QSignalSpy clicked(&label, &CSkinStatic::linkClicked);

    skingui_test::Move(&label, QPoint(5, 5));
    EXPECT_TRUE(label.Format().Element(0)->style & kStyleUnderline);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    skingui_test::Leave(&label);
    EXPECT_FALSE(label.Format().Element(0)->style & kStyleUnderline);
    EXPECT_NE(label.cursor().shape(), Qt::PointingHandCursor);

    skingui_test::Click(&label, QPoint(50, 5));  // plain text: nothing
    EXPECT_EQ(clicked.count(), 0);
    skingui_test::Click(&label, QPoint(5, 5));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toUInt(), 0u);  // no button or key held after the release
    EXPECT_EQ(clicked.at(0).at(1).toString(), "x");
}

TEST(SkinHyperLinkOpen, ClickOrKeyOpensTheAddressThroughTheOpener) {
    QWidget parent;
    parent.resize(200, 40);
    CSkinHyperLink link(&parent, "home page", "https://example.invalid/home");
    link.setGeometry(0, 0, 200, 30);
    std::vector<QUrl> opened;
    link.SetOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    const QRect label = link.LinkRect();
    ASSERT_FALSE(label.isEmpty());
    skingui_test::Press(&link, QPoint(199, 29));  // pressed off the label: nothing to open
    skingui_test::Release(&link, label.center());
    skingui_test::Press(&link, label.center());
    skingui_test::Release(&link, QPoint(199, 29));  // released off the label: cancelled
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(link.IsVisited());
    skingui_test::Click(&link, label.center());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("https://example.invalid/home"));
    EXPECT_TRUE(link.IsVisited());
    skingui_test::Move(&link, label.center());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    skingui_test::Move(&link, QPoint(199, 29));
    EXPECT_NE(link.cursor().shape(), Qt::PointingHandCursor);
    // The keyboard opens it too; a label alone is the address, and one that cannot be opened is not visited.
    CSkinHyperLink bare(nullptr, "https://example.invalid/a");
    bare.resize(200, 30);
    bare.SetOpener([&](const QUrl& url) {
        opened.push_back(url);
        return false;
    });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&bare, &enter);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], QUrl("https://example.invalid/a"));
    EXPECT_FALSE(bare.IsVisited());
}
