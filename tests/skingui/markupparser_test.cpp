#include <gtest/gtest.h>

#include <QPainter>

#include "skingui/imageregistry.h"
#include "skingui/markupparser.h"
#include "skingui/vformatcontrol.h"

using namespace SKINGUI;

namespace {

constexpr uint32_t kUnset = uint32_t(kNotSet);

// One element as the cases spell it: the run's text or "img:<list>#<index>", each attribute the run
// carries as name=value, then its action.
QString Describe(const MultiLineFormatControl& page, int i) {
    const MarkupElement* e = page.Element(i);
    QString d = e->kind == kElementImage ? QString("img:%1#%2").arg(e->srcid).arg(e->index) : e->text;
    if (e->kind == kElementImage && e->notDrawn)
        d += " notDrawn";
    if (e->mask & kHasColor)
        d += QString(" color=%1").arg(e->color, 6, 16, QChar('0'));
    if (e->mask & kHasSize)
        d += QString(" size=%1").arg(e->size);
    if (e->mask & kHasBold)
        d += QString(" bold=%1").arg(e->style & kStyleBold);
    if (e->mask & kHasItalic)
        d += QString(" italic=%1").arg((e->style & kStyleItalic) / kStyleItalic);
    const uint32_t shown = kHasColor | kHasSize | kHasBold | kHasItalic;
    const uint32_t styled = (e->mask & kHasBold ? kStyleBold : 0) | (e->mask & kHasItalic ? kStyleItalic : 0);
    if ((e->mask & ~shown) || (e->style & ~styled))
        d += QString(" mask=%1 style=%2").arg(e->mask).arg(e->style);
    if (const ActionRecord* action = page.FindAction(i)) {
        const char* kind = action->kind == kActionLink    ? "link"
                           : action->kind == kActionNamed ? "named"
                                                          : "?";
        d += QString(" %1:%2").arg(kind, action->name);
    }
    return d;
}

struct Case {
    const char* name;
    QString markup;
    QStringList elements;
};

class MarkupParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry_.Register("item", std::make_shared<SkinImageList>(QSize(16, 16)));
        registry_.Register("group", std::make_shared<SkinImageList>(QSize(18, 18)));
        control_.SetImageRegistry(&registry_);
    }
    ImageRegistry registry_;
    MultiLineFormatControl control_;
};

}  // namespace

TEST_F(MarkupParserTest, ElementListsOfTheMarkupLanguage) {
    const std::vector<Case> cases = {
        {"plain text is one unset run", "abc", {"abc"}},
        {"hex colour is 0xRRGGBB turned into 0x00BBGGRR",
         "<font color='0xff0000'>x</font>y",
         {"x color=0000ff", "y"}},
        {"a link tag inside a font run is eaten as the font's closing tag",
         "<font bold='1'>a<a name='n'>b</a>",
         {"a bold=1", "b", "/a>"}},
        {"unknown tag keeps everything but its <", "<b>x", {"b>x"}},
        {"missing closing tag ends parsing after the run", "<font color='1'>x", {"x color=000001"}},
        {"img with a registered srcid, then text starting with the blank",
         "<img srcid='item' index='3'/> name",
         {"img:item#3", " name"}},
        {"img of an unregistered list adds nothing", "<img srcid='nope' index='0'/>x", {"x"}},
        {"img without index and no alias adds nothing", "<img srcid='item'/>", {}},
        {"named img gets a named action",
         "<img name='icon' srcid='group' index='1'/>",
         {"img:group#1 named:icon"}},
        {"retry and delete links around a blank",
         "<a name='retry'>重试</a> <a name='delete'>清除</a>",
         {"重试 color=ff0000 link:retry", " ", "清除 color=ff0000 link:delete"}},
        {"hex size is converted like a colour", "<font size='0x10'>s</font>", {"s size=1048576"}},
        {"a blank before = makes the name unknown",
         "<font color ='0x00ff00' bold='1'>x</font>",
         {"x bold=1"}},
        {"a missing closing quote gives -1 and ends the list",
         "<font bold='1' size='12>x</font>",
         {"x size=-1 bold=1"}},
        {"named font run gets a named action",
         "<font name='who' italic='1'>x</font>",
         {"x italic=1 named:who"}},
        {"empty link name still makes a link", "<a name=''>go</a>", {"go color=ff0000 link:"}},
        {"a tag without a blank ends parsing", "x<font", {"x"}},
        {"a double-quoted value is skipped up to the next single quotes, so bold is no name",
         "<font color=\"0xff0000\" bold='1'>x</font>",
         {"x color=000001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control_.SetText(c.markup);
        QStringList got;
        for (int i = 0; i < control_.ElementCount(); ++i)
            got << Describe(control_, i);
        EXPECT_EQ(got.join(" | ").toStdString(), c.elements.join(" | ").toStdString());
    }
}

TEST_F(MarkupParserTest, ImageTakesItsSizeFromTheListAndAliasFillsAMissingIndex) {
    control_.SetText("<img srcid='group' index='2'/>");
    ASSERT_EQ(control_.ElementCount(), 1);
    EXPECT_EQ(control_.Element(0)->width, 18);
    EXPECT_EQ(control_.Element(0)->height, 18);
    registry_.SetAlias("fav", "item", 2);
    control_.SetText("<img srcid='fav'/>");
    ASSERT_EQ(control_.ElementCount(), 1);
    EXPECT_EQ(control_.Element(0)->srcid, "item");
    EXPECT_EQ(control_.Element(0)->index, 2);
}

TEST(MarkupIntValues, HexAnywhereIsReadAsRgbAndDecimalLikeWcstol) {
    EXPECT_EQ(MarkupParser::ParseIntValue("0x2b353f"), 0x3F352B);
    EXPECT_EQ(MarkupParser::ParseIntValue("0x10"), 0x100000);
    EXPECT_EQ(MarkupParser::ParseIntValue("0xAbCdEF"), 0xEFCDAB);
    EXPECT_EQ(MarkupParser::ParseIntValue("0x9G"), 0x090000);       // the digits end at the first non-digit
    EXPECT_EQ(MarkupParser::ParseIntValue("0x1ffa10c"), 0x0CA1FF);  // above bit 23 dropped
    EXPECT_EQ(MarkupParser::ParseIntValue("12"), 12);
    EXPECT_EQ(MarkupParser::ParseIntValue("-3"), -3);
    EXPECT_EQ(MarkupParser::ParseIntValue("abc"), 0);
    EXPECT_EQ(MarkupParser::ParseIntValue(" 7x"), 7);
    EXPECT_EQ(MarkupParser::ParseIntValue("99999999999"), 0x7FFFFFFF);
}

TEST(MarkupAttrs, ValueReadingMovesPastTheClosingQuoteOrEndsTheList) {
    const QString attrs = "a = x'1' b='two'";
    int pos = 1;
    EXPECT_EQ(MarkupParser::GetIntAttr(attrs, &pos), 1);
    EXPECT_EQ(pos, 8);
    pos = 10;
    EXPECT_EQ(MarkupParser::GetStringAttr(attrs, &pos), "two");
    EXPECT_EQ(pos, int(attrs.size()));
    pos = 0;
    EXPECT_EQ(MarkupParser::GetIntAttr("='5", &pos), -1);
    EXPECT_EQ(pos, -1);
}

TEST(FormatControlText, PlainTextAndLinksFromUsersAreNeverParsedAndSetTextStartsAfresh) {
    MultiLineFormatControl control;
    control.SetPlainText("<font color='0xff0000'>me</font>");
    ASSERT_EQ(control.ElementCount(), 1);
    EXPECT_EQ(control.Element(0)->text, "<font color='0xff0000'>me</font>");
    EXPECT_EQ(control.Element(0)->mask, 0u);
    const int link = control.AddLink("a'b<c>", "file <a>.txt");
    EXPECT_EQ(control.Element(link)->text, "file <a>.txt");
    EXPECT_EQ(control.Element(link)->color, 0xFF0000u);
    ASSERT_NE(control.FindAction(link), nullptr);
    EXPECT_EQ(control.FindAction(link)->kind, kActionLink);
    EXPECT_EQ(control.FindAction(link)->name, "a'b<c>");
    // SetText empties elements, actions and lines.
    control.SetText("<a name='x'>x</a>");
    EXPECT_NE(control.FindAction(0), nullptr);
    control.SetText("plain");
    EXPECT_EQ(control.ElementCount(), 1);
    EXPECT_EQ(control.FindAction(0), nullptr);
    EXPECT_FALSE(control.IsLaidOut());
    // Only a different context font undoes the layout.
    QFont font;
    font.setPixelSize(12);
    control.SetContext(font, 0);
    control.Layout();
    control.SetContext(font, 0x0000FF);
    EXPECT_TRUE(control.IsLaidOut());
    font.setPixelSize(20);
    control.SetContext(font, 0);
    EXPECT_FALSE(control.IsLaidOut());
}

TEST(ElementAttrs, NotSetLeavesFieldsAndFlagsStoreOnlyBitZero) {
    SingleLineFormatControl control;
    const QString face = "A face name that is much longer than thirty-one units";
    const int e = control.AddTextRun("t", 0x123456, 9, 3, 2, kNotSet, kNotSet, 5, &face);
    const MarkupElement* el = control.Element(e);
    EXPECT_EQ(el->mask, uint32_t(kHasColor | kHasSize | kHasBold | kHasItalic | kHasSpare | kHasFace));
    EXPECT_EQ(el->style, uint32_t(kStyleBold));  // 3 -> on, 2 -> off
    EXPECT_EQ(el->face.size(), kMaxFixedName);
    control.SetTextElementAttrs(e, nullptr, kUnset, kNotSet, 0, kNotSet, 1, 1, kNotSet, nullptr);
    EXPECT_EQ(el->text, "t");
    EXPECT_EQ(el->color, 0x123456u);
    EXPECT_EQ(el->style, uint32_t(kStyleUnderline | kStyleFourth));
    EXPECT_TRUE(el->Has(kHasUnderline) && el->Has(kHasFourth));
}
