#include <gtest/gtest.h>

#include <QPainter>

#include "skingui/imageregistry.h"
#include "skingui/markupparser.h"
#include "skingui/vformatcontrol.h"

using namespace SKINGUI;

namespace {

constexpr uint32_t kUnset = uint32_t(kNotSet);

// What one element should hold after parsing; kind 0 ends a case's list.
struct Expect {
    int kind;
    QString text;    // text run, or srcid of an image
    uint32_t mask;   // presence bits of a text run
    uint32_t color;  // when kHasColor
    uint32_t style;  // style bits
    int actionKind;  // -1: no action record
    QString actionName;
    int size = 0;  // when kHasSize
    int imageIndex = 0;
};

struct Case {
    const char* name;
    QString markup;
    std::vector<Expect> elements;
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
        {"plain text is one unset run", "abc", {{kElementText, "abc", 0, 0, 0, -1, ""}}},
        {"hex colour is 0xRRGGBB turned into 0x00BBGGRR",
         "<font color='0xff0000'>x</font>y",
         {{kElementText, "x", kHasColor, 0x0000FF, 0, -1, ""}, {kElementText, "y", 0, 0, 0, -1, ""}}},
        {"a link tag inside a font run is eaten as the font's closing tag",
         "<font bold='1'>a<a name='n'>b</a>",
         {{kElementText, "a", kHasBold, 0, kStyleBold, -1, ""},
          {kElementText, "b", 0, 0, 0, -1, ""},
          {kElementText, "/a>", 0, 0, 0, -1, ""}}},
        {"unknown tag keeps everything but its <", "<b>x", {{kElementText, "b>x", 0, 0, 0, -1, ""}}},
        {"missing closing tag ends parsing after the run",
         "<font color='1'>x",
         {{kElementText, "x", kHasColor, 1, 0, -1, ""}}},
        {"img with a registered srcid, then text starting with the blank",
         "<img srcid='item' index='3'/> name",
         {{kElementImage, "item", 0, 0, 0, -1, "", 0, 3}, {kElementText, " name", 0, 0, 0, -1, ""}}},
        {"img of an unregistered list adds nothing",
         "<img srcid='nope' index='0'/>x",
         {{kElementText, "x", 0, 0, 0, -1, ""}}},
        {"img without index and no alias adds nothing", "<img srcid='item'/>", {}},
        {"named img gets a named action",
         "<img name='icon' srcid='group' index='1'/>",
         {{kElementImage, "group", 0, 0, 0, kActionNamed, "icon", 0, 1}}},
        {"retry and delete links around a blank",
         "<a name='retry'>重试</a> <a name='delete'>清除</a>",
         {{kElementText, "重试", kHasColor, 0xFF0000, 0, kActionLink, "retry"},
          {kElementText, " ", 0, 0, 0, -1, ""},
          {kElementText, "清除", kHasColor, 0xFF0000, 0, kActionLink, "delete"}}},
        {"hex size is converted like a colour",
         "<font size='0x10'>s</font>",
         {{kElementText, "s", kHasSize, 0, 0, -1, "", 0x100000}}},
        {"a blank before = makes the name unknown",
         "<font color ='0x00ff00' bold='1'>x</font>",
         {{kElementText, "x", kHasBold, 0, kStyleBold, -1, ""}}},
        {"a missing closing quote gives -1 and ends the list",
         "<font bold='1' size='12>x</font>",
         {{kElementText, "x", kHasBold | kHasSize, 0, kStyleBold, -1, "", -1}}},
        {"named font run gets a named action",
         "<font name='who' italic='1'>x</font>",
         {{kElementText, "x", kHasItalic, 0, kStyleItalic, kActionNamed, "who"}}},
        {"empty link name still makes a link",
         "<a name=''>go</a>",
         {{kElementText, "go", kHasColor, 0xFF0000, 0, kActionLink, ""}}},
        {"a tag without a blank ends parsing", "x<font", {{kElementText, "x", 0, 0, 0, -1, ""}}},
        {"a double-quoted value is skipped up to the next single quotes, so bold is no name",
         "<font color=\"0xff0000\" bold='1'>x</font>",
         {{kElementText, "x", kHasColor, 1, 0, -1, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control_.SetText(c.markup);
        ASSERT_EQ(control_.ElementCount(), int(c.elements.size()));
        for (size_t i = 0; i < c.elements.size(); ++i) {
            SCOPED_TRACE(i);
            const Expect& want = c.elements[i];
            const MarkupElement* got = control_.Element(int(i));
            ASSERT_NE(got, nullptr);
            EXPECT_EQ(got->kind, want.kind);
            if (want.kind == kElementText) {
                EXPECT_EQ(got->text, want.text);
                EXPECT_EQ(got->mask, want.mask);
                if (want.mask & kHasColor) {
                    EXPECT_EQ(got->color, want.color);
                }
                if (want.mask & kHasSize) {
                    EXPECT_EQ(got->size, want.size);
                }
                EXPECT_EQ(got->style, want.style);
            } else {
                EXPECT_EQ(got->srcid, want.text);
                EXPECT_EQ(got->index, want.imageIndex);
                EXPECT_EQ(got->notDrawn, 0);
            }
            const ActionRecord* action = control_.FindAction(int(i));
            if (want.actionKind < 0) {
                EXPECT_EQ(action, nullptr);
            } else {
                ASSERT_NE(action, nullptr);
                EXPECT_EQ(action->kind, want.actionKind);
                EXPECT_EQ(action->name, want.actionName);
            }
        }
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
