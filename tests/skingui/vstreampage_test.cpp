#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "skingui/imageregistry.h"
#include "skingui/vformatcontrol.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using skingui_test::FakeMeasurer;
using skingui_test::SolidList;

namespace {

std::vector<PageRun> AllRuns(const VStreamPageBase& page) {
    std::vector<PageRun> runs;
    for (const PageLine& line : page.Lines()) {
        runs.insert(runs.end(), line.runs.begin(), line.runs.end());
    }
    return runs;
}

// Lays the markup out on a page of the given size and alignment with the fake measurer
// (and the process-wide image registry when none is given).
template <class Control>
std::vector<PageRun> LayOut(Control& page, int width, int height, uint32_t alignment, const QString& markup,
                            ImageRegistry* registry = nullptr) {
    page.SetMeasurer(std::make_shared<FakeMeasurer>());
    page.SetImageRegistry(registry);
    page.SetSize(width, height);
    page.SetAlignment(alignment);
    page.SetText(markup);
    EXPECT_TRUE(page.Layout());
    return AllRuns(page);
}

}  // namespace

TEST(SingleLineLayout, TextWiderThanThePageIsCutWithAPixelToSpareAndLaterElementsAreDropped) {
    SingleLineFormatControl page;
    const auto runs = LayOut(page, 100, 30, kAlignTop, "abcdefghijklmno<font bold='1'>later</font>");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].count, 9);  // the tenth character would leave 0 pixels
    EXPECT_EQ(runs[0].rect, QRect(0, 0, 100, 14));
}

TEST(SingleLineLayout, AnImageAsTallAsThePageOrPastItsRightEdgeEndsTheLine) {
    ImageRegistry registry;
    registry.Register("item", SolidList(QSize(16, 16), Qt::red));
    SingleLineFormatControl page;
    EXPECT_TRUE(LayOut(page, 100, 16, 0, "<img srcid='item' index='0'/>ab", &registry).empty());
    ASSERT_EQ(page.ElementCount(), 2);
    page.SetSize(100, 17);
    page.Layout();
    EXPECT_EQ(AllRuns(page).size(), 2u);
    // An image past the right edge is clipped and ends the line.
    const auto runs = LayOut(page, 40, 20, kAlignTop, "abc<img srcid='item' index='0'/>d", &registry);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].rect, QRect(30, 0, 10, 16));
}

TEST(PageAlignment, CentreRightAndVerticalOffsetsComeFromThePageAndTheRun) {
    SingleLineFormatControl page;
    EXPECT_EQ(LayOut(page, 100, 30, kAlignCenter | kAlignVCenter, "abcdef")[0].rect, QRect(20, 8, 60, 14));
    page.SetAlignment(kAlignRight | kAlignBottom);
    page.Layout();
    EXPECT_EQ(AllRuns(page)[0].rect, QRect(40, 16, 60, 14));
    page.SetAlignment(7 | 0x700);  // unknown values act as left and top
    page.Layout();
    EXPECT_EQ(AllRuns(page)[0].rect, QRect(0, 0, 60, 14));
}

TEST(MultiLineLayout, BreakingThatRunsOutOfHeightGivesUpAndSkipsAlignment) {
    MultiLineFormatControl page;
    const auto runs = LayOut(page, 100, 30, kAlignCenter | kAlignVCenter, QString(25, QChar('x')));
    ASSERT_EQ(page.Lines().size(), 2u);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].count, 9);
    EXPECT_EQ(runs[0].rect, QRect(0, 0, 100, 14));  // not centred: breaking gave up
    EXPECT_EQ(runs[1].first, 9);
    EXPECT_EQ(runs[1].count, 9);
    EXPECT_EQ(runs[1].rect, QRect(0, 14, 100, 14));
    // A character wider than an empty line gives up too.
    EXPECT_TRUE(LayOut(page, 5, 100, 0, "abc").empty());
}

TEST(MultiLineLayout, StartXAppliesToTheFirstLineOnlyAndCompletedBreaksAreAligned) {
    MultiLineFormatControl page;
    page.SetStartX(20);
    const auto runs = LayOut(page, 100, 100, kAlignTop, "abcdefghijklmn<font bold='1'>z</font>");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].rect, QRect(20, 0, 80, 14));
    EXPECT_EQ(runs[0].count, 7);
    EXPECT_EQ(runs[1].rect.topLeft(), QPoint(0, 14));
    EXPECT_EQ(runs[1].count, 7);
    // The broken line counts as full: the next element starts a new line.
    EXPECT_EQ(runs[2].rect.topLeft(), QPoint(0, 28));
}

// Kerning-like measurer: a whole run is 5 pixels wider than its characters.
class KerningMeasurer : public ITextMeasurer {
public:
    QSize Measure(const QFont&, const QString& text) const override {
        return QSize(10 * int(text.size()) + (text.size() > 1 ? 5 : 0), 14);
    }
};

TEST(MultiLineLayout, ALineFilledByTheLastPieceOfABrokenRunTakesNoMoreElements) {
    MultiLineFormatControl page;
    page.SetMeasurer(std::make_shared<KerningMeasurer>());
    page.SetSize(60, 100);
    page.SetAlignment(kAlignTop);
    page.SetStartX(29);
    // "abc" does not fit whole (29 + 35 > 60) but its characters do, on the first line.
    page.SetText("abc<font bold='1'>d</font>");
    page.Layout();
    const auto runs = AllRuns(page);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].rect, QRect(29, 0, 31, 14));
    EXPECT_EQ(runs[0].count, 3);
    EXPECT_EQ(runs[1].rect.topLeft(), QPoint(0, 14));  // not on top of "abc"
}

TEST(MultiLineLayout, ARunExactlyAsWideAsTheLineStaysWhole) {
    MultiLineFormatControl page;
    const auto runs = LayOut(page, 60, 100, 0, "abcdef");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].count, -1);  // not broken into characters
    EXPECT_EQ(runs[0].rect.width(), 60);
    page.SetSize(100, 100);
    page.SetAlignment(kAlignCenter);
    page.Layout();
    EXPECT_EQ(AllRuns(page)[0].rect.topLeft(), QPoint(20, 43));  // lines laid out whole are aligned
}

TEST(MultiLineLayout, ImagesWrapToTheNextLineAndStopAtThePageBottom) {
    ImageRegistry registry;
    registry.Register("g", SolidList(QSize(18, 18), Qt::red));
    MultiLineFormatControl page;
    QString images;
    for (int i = 0; i < 6; ++i)
        images += "<img srcid='g' index='0'/>";
    const auto runs = LayOut(page, 40, 36, kAlignTop, images, &registry);
    // Two fit on the first line, the third wraps; the fourth would end exactly at
    // the page bottom, and an image must end above it.
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].rect.topLeft(), QPoint(18, 0));
    EXPECT_EQ(runs[2].rect.topLeft(), QPoint(0, 18));
}

TEST(MultiLineLayout, BreaksNeverSplitASurrogatePairOrAGrapheme) {
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two units
    const QString accented = QString::fromUtf8("e\xCC\x81");      // e + combining acute
    MultiLineFormatControl page;
    const QString text = "a" + smile + smile + accented + smile;
    int covered = 0;
    for (const PageRun& run : LayOut(page, 25, 1000, kAlignTop, text)) {
        EXPECT_FALSE(text.at(run.first).isLowSurrogate());
        EXPECT_NE(text.at(run.first), QChar(0x0301));
        EXPECT_GT(run.count, 0);
        covered += run.count;
    }
    EXPECT_EQ(covered, int(text.size()));

    SingleLineFormatControl line;
    EXPECT_EQ(LayOut(line, 35, 20, 0, "ab" + smile + "cd")[0].count,
              2);  // the pair does not fit: neither half is kept
    line.SetSize(45, 20);
    line.Layout();
    EXPECT_EQ(AllRuns(line)[0].count, 4);
}

TEST(PageHitTest, PointsBetweenRunsOrBeyondThePageHitNothing) {
    ImageRegistry registry;
    registry.Register("i", SolidList(QSize(10, 10), Qt::red));
    SingleLineFormatControl page;
    LayOut(page, 100, 30, 0, "<img srcid='i' index='0'/><a name='go'>go</a>", &registry);
    // Image at (0,10)-(10,20), link at (10,8)-(30,22).
    QString name;
    EXPECT_EQ(page.HitTest(QPoint(5, 9), &name), 0);
    EXPECT_EQ(page.HitTest(QPoint(5, 12)), kElementImage);
    EXPECT_EQ(page.HitTest(QPoint(12, 10), &name), kActionLink);
    EXPECT_EQ(name, "go");
    EXPECT_EQ(page.HitTest(QPoint(50, 15)), 0);
    EXPECT_EQ(page.HitTest(QPoint(101, 15)), 0);
}

TEST(LinkHover, HoveringUnderlinesWithTheHandLeavingRestoresBothAndHoverBelongsToOneControl) {
    QWidget host;
    host.setCursor(Qt::IBeamCursor);
    MultiLineFormatControl page;
    page.SetCursorWidget(&host);
    LayOut(page, 200, 14, kAlignTop, "<a name='retry'>retry</a> <a name='delete'>delete</a>");
    // retry 0-50, blank 50-60, delete 60-120.
    EXPECT_EQ(page.TrackLinkHover(QPoint(10, 5)), kLinkHoverChanged);
    EXPECT_TRUE(page.Element(0)->style & kStyleUnderline);
    EXPECT_EQ(host.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(page.TrackLinkHover(QPoint(20, 5)), 0);  // same link: nothing to redraw
    EXPECT_EQ(page.TrackLinkHover(QPoint(70, 5)), kLinkHoverChanged);
    EXPECT_FALSE(page.Element(0)->style & kStyleUnderline);  // only one link stays underlined
    EXPECT_TRUE(page.Element(2)->style & kStyleUnderline);
    EXPECT_EQ(page.TrackLinkHover(QPoint(55, 5)), kLinkHoverChanged);
    EXPECT_FALSE(page.Element(2)->style & kStyleUnderline);
    EXPECT_EQ(host.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(page.HoveredLink(), -1);
    EXPECT_EQ(page.TrackLinkHover(QPoint(55, 5)), 0);
    // Hover belongs to one control and ends on leave and on new text.
    MultiLineFormatControl first, second;
    for (auto* one : {&first, &second})
        LayOut(*one, 100, 14, kAlignTop, "<a name='x'>xx</a> plain");
    first.TrackLinkHover(QPoint(5, 5));
    second.TrackLinkHover(QPoint(80, 5));  // the other page sees plain text
    EXPECT_TRUE(first.Element(0)->style & kStyleUnderline);
    EXPECT_EQ(first.HoveredLink(), 0);
    EXPECT_EQ(first.LeaveLinks(), kLinkHoverChanged);
    EXPECT_FALSE(first.Element(0)->style & kStyleUnderline);
    first.TrackLinkHover(QPoint(5, 5));
    first.SetText("<a name='y'>yy</a>");
    EXPECT_EQ(first.HoveredLink(), -1);
    EXPECT_FALSE(first.Element(0)->Has(kHasUnderline));
}

TEST(LinkClick, ClickOnALinkReportsFlagsAndNameOnlyWithANotifyTarget) {
    SingleLineFormatControl page;
    LayOut(page, 100, 14, kAlignTop, "<a name='x'>x</a> y");
    EXPECT_EQ(page.HandleMouseMessage(kPageLButtonDown, QPoint(5, 5), 0), 0);
    EXPECT_EQ(page.NotifyLinkClick(QPoint(5, 5), 0), 0);  // nobody to tell
    std::vector<std::pair<quint32, QString>> heard;
    page.SetNotify([&](quint32 flags, const QString& name) { heard.emplace_back(flags, name); });
    EXPECT_EQ(page.HandleMouseMessage(kPageLButtonDown, QPoint(5, 5), 0), 1);
    EXPECT_EQ(page.HandleMouseMessage(kPageLButtonUp, QPoint(5, 5), 0x0004), 1);
    EXPECT_EQ(page.NotifyLinkClick(QPoint(25, 5), 0), 0);  // plain text
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first, 0x0004u);
    EXPECT_EQ(heard[0].second, "x");
}

TEST(PageDrawing, ImagesAreLookedUpAtEachDrawAndReplacedListsAreUsed) {
    ImageRegistry registry;
    registry.Register("item", SolidList(QSize(8, 8), Qt::red, 2));
    SingleLineFormatControl page;
    LayOut(page, 40, 20, kAlignTop, "<img srcid='item' index='1'/>", &registry);
    auto draw = [&] {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        EXPECT_EQ(page.Draw(painter, QRect(5, 3, 40, 20)), 1);
        return image;
    };
    EXPECT_EQ(draw().pixel(5, 3), qRgb(255, 0, 0));
    EXPECT_EQ(draw().pixel(4, 3), qRgb(255, 255, 255));
    EXPECT_FALSE(registry.Register("item", SolidList(QSize(8, 8), Qt::blue, 2)));
    EXPECT_EQ(draw().pixel(12, 10), qRgb(0, 0, 255));
    std::weak_ptr<SkinImageList> old = registry.Lookup("item");
    registry.Unregister("item");
    EXPECT_TRUE(old.expired());  // the registry owned it; nothing dangles
    EXPECT_EQ(draw().pixel(5, 3), qRgb(255, 255, 255));
}

TEST(PageFonts, HexSizeIsStoredButDrawnClampedAndPointsBecomePixels) {
    SingleLineFormatControl page;
    page.SetText("<font size='0x10'>a</font><font size='9' bold='1' italic='1'>b</font>");
    EXPECT_EQ(page.Element(0)->size, 0x100000);
    EXPECT_EQ(page.ElementFont(*page.Element(0)).pixelSize(), 96);
    const QFont font = page.ElementFont(*page.Element(1));
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
}
