#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>

#include "skingui/colorref.h"
#include "skingui/drawhelpers.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using skingui_test::CountPixels;
using skingui_test::Rgb;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

QImage Canvas(int w = 20, int h = 20) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The pixels of a run from `from`, one letter each: . white, R red, G green, B blue, K black, ? other.
std::string Pixels(const QImage& image, QPoint from, int count, QPoint step = QPoint(1, 0)) {
    const QRgb colours[] = {kWhite, qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)};
    std::string run;
    for (QPoint p = from; count-- > 0; p += step)
        run += ".RGBK?"[std::find(std::begin(colours), std::end(colours), image.pixel(p)) - colours];
    return run;
}

}  // namespace

TEST(ColorRefValues, ByteOrderIsBlueGreenRedAndUnknownSystemColoursAreBlack) {
    const ColorRef c(0x3F352B);
    EXPECT_EQ(c.Red(), 0x2B);
    EXPECT_EQ(c.Green(), 0x35);
    EXPECT_EQ(c.Blue(), 0x3F);
    EXPECT_EQ(ColorRef::FromRgb(0x2B, 0x35, 0x3F).Value(), 0x3F352Bu);
    EXPECT_EQ(ColorRef::FromQColor(c.ToQColor()).Value(), c.Value());
    EXPECT_EQ(GetSysColor(-1).Value(), 0u);
    EXPECT_EQ(GetSysColor(COLOR_MENUBAR + 1).Value(), 0u);  // one past the table
}

TEST(ColorLightening, HundredIsWhiteZeroKeepsTheColourAndMinusHundredIsBlack) {
    for (uint32_t value : {0x4080FFu, 0x6D6D6Du, 0x123456u, 0x00A5FFu}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(LightenColor(value, 100).Value(), 0xFFFFFFu);
        EXPECT_EQ(LightenColor(value, -100).Value(), 0u);
        const ColorRef same = LightenColor(value, 0);
        EXPECT_NEAR(same.Red(), ColorRef(value).Red(), 2);
        EXPECT_NEAR(same.Green(), ColorRef(value).Green(), 2);
        EXPECT_NEAR(same.Blue(), ColorRef(value).Blue(), 2);
    }
    // Grey 0x6D (lightness 109) lightened by 80: 109 + 146 * 80 / 100 = 225.
    const ColorRef pale = LightenColor(0x6D6D6D, 80);
    EXPECT_EQ(pale.Red(), pale.Blue());
    EXPECT_NEAR(pale.Red(), 225, 1);
    // Lightening keeps the hue: the face colour stays orange.
    const ColorRef face = LightenColor(0x4080FF, 50);
    EXPECT_GT(face.Red(), face.Green());
    EXPECT_GT(face.Green(), face.Blue());
}

TEST(DrawLineHelper, TheEndPointIsLeftOutInEveryDirectionDotsLeaveGapsAndANullPenDrawsNothing) {
    QImage image = Canvas();
    QPainter painter(&image);
    DrawLine(painter, 0, 0, 5, 0, 0x0000FF);
    DrawLine(painter, 10, 2, 5, 2, 0x0000FF);
    DrawLine(painter, 0, 5, 4, 9, 0x0000FF);
    DrawLine(painter, 0, 12, 12, 12, 0, PS_DOT);
    DrawLine(painter, 0, 16, 12, 16, 0, PS_NULL);
    painter.end();
    EXPECT_EQ(Pixels(image, QPoint(0, 0), 7), "RRRRR..");
    EXPECT_EQ(Pixels(image, QPoint(4, 2), 8), "..RRRRR.");
    EXPECT_EQ(Pixels(image, QPoint(0, 5), 6, QPoint(1, 1)), "RRRR..");
    EXPECT_EQ(Pixels(image, QPoint(0, 12), 13), "KKK...KKK....");
    EXPECT_EQ(Pixels(image, QPoint(0, 16), 13), ".............");
}

TEST(DrawRectFrameHelper, ThicknessTwoDrawsTheGivenOutlineAndOneInside) {
    QImage image = Canvas();
    QPainter painter(&image);
    DrawRectFrame(painter, 0, 0, 10, 10, 0x00FF00, PS_SOLID, 2);
    painter.end();
    for (int i : {0, 1, 10}) {
        EXPECT_EQ(Pixels(image, QPoint(0, i), 12), "GGGGGGGGGGG.") << i;
        EXPECT_EQ(Pixels(image, QPoint(i, 0), 12, QPoint(0, 1)), "GGGGGGGGGGG.") << i;
    }
    EXPECT_EQ(Pixels(image, QPoint(0, 2), 12), "GG.......GG.");
    EXPECT_EQ(Pixels(image, QPoint(0, 8), 12), "GG.......GG.");
}

TEST(DrawFilledRectHelper, NegativeHatchFillsSolidAndZeroHatchesInsideTheOutline) {
    QImage image = Canvas(40, 20);
    QPainter painter(&image);
    DrawFilledRect(painter, 0, 0, 16, 16, 0x0000FF, 0x000000, HS_SOLID);
    DrawFilledRect(painter, 20, 0, 36, 16, 0x0000FF, 0x000000, HS_HORIZONTAL);
    DrawFilledRect(painter, 0, 18, 10, 19, 0x0000FF, 0x000000, HS_SOLID);  // one pixel high: all outline
    painter.end();
    EXPECT_EQ(Pixels(image, QPoint(0, 18), 11), "KKKKKKKKKK.");
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
    // The outline stops before the right and bottom edges.
    EXPECT_EQ(image.pixel(0, 0), black);
    EXPECT_EQ(image.pixel(15, 15), black);
    EXPECT_EQ(image.pixel(16, 5), kWhite);
    EXPECT_EQ(image.pixel(5, 16), kWhite);
    const auto isRed = [red](QRgb p) { return p == red; };
    EXPECT_EQ(CountPixels(image, QRect(1, 1, 14, 14), isRed), 14 * 14);
    const int hatchRed = CountPixels(image, QRect(21, 1, 14, 14), isRed);
    EXPECT_GT(hatchRed, 0);
    EXPECT_GT(CountPixels(image, QRect(21, 1, 14, 14), [](QRgb p) { return p == kWhite; }), hatchRed);
    // Horizontal hatch: whole rows of the fill colour.
    for (int y = 1; y < 15; ++y) {
        const bool row = image.pixel(21, y) == red;
        for (int x = 1; x < 15; ++x) {
            EXPECT_EQ(image.pixel(20 + x, y) == red, row);
        }
    }
}

TEST(FillGradientHelper, VerticalRunsFromTheFirstColourAtTheTopToTheSecondAtTheBottom) {
    QImage image = Canvas(30, 30);
    QPainter painter(&image);
    FillGradient(painter, QRect(2, 3, 20, 24), 0xF9EDE3, 0xF6DEC6, true);
    FillGradient(painter, QRect(0, 28, 30, 2), 0x000000, 0xFFFFFF, false);
    painter.end();
    EXPECT_EQ(image.pixel(2, 3), Rgb(0xF9EDE3));
    EXPECT_EQ(image.pixel(21, 3), Rgb(0xF9EDE3));
    EXPECT_EQ(image.pixel(2, 26), Rgb(0xF6DEC6));
    EXPECT_EQ(image.pixel(2, 27), kWhite);
    EXPECT_EQ(image.pixel(22, 10), kWhite);
    const QColor mid(image.pixel(10, 15));
    EXPECT_LT(mid.red(), 0xE3);
    EXPECT_GT(mid.red(), 0xC6);
    EXPECT_EQ(image.pixel(0, 28), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(29, 29), kWhite);
}

TEST(DrawBitmapHelper, DrawsTheWholeBitmapAndRefusesANullOne) {
    QImage image = Canvas();
    QPainter painter(&image);
    EXPECT_EQ(DrawBitmap(painter, 0, 0, QPixmap()), 0);
    QPixmap bitmap(4, 3);
    bitmap.fill(Qt::blue);
    EXPECT_EQ(DrawBitmap(painter, 5, 6, bitmap), 1);
    painter.end();
    EXPECT_EQ(Pixels(image, QPoint(4, 6), 6), ".BBBB.");
    EXPECT_EQ(Pixels(image, QPoint(8, 5), 5, QPoint(0, 1)), ".BBB.");
    QRect rect;
    SetRectXYWH(&rect, 5, 6, 4, 3);
    EXPECT_EQ(rect, QRect(QPoint(5, 6), QPoint(8, 8)));
}

TEST(DrawThemeBorderHelper, FrameInTheThemeColourAndBandInTheBrush) {
    QImage image = Canvas();
    QPainter painter(&image);
    const QBrush band(Qt::green);
    EXPECT_TRUE(DrawThemeBorder(painter, QRect(0, 0, 20, 20), &band));
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), Rgb(kThemeBorderColor));
    EXPECT_EQ(image.pixel(19, 19), Rgb(kThemeBorderColor));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 255, 0));
    for (QPoint ring : {QPoint(10, 1), QPoint(10, 18), QPoint(1, 10), QPoint(18, 10)})
        EXPECT_EQ(image.pixel(ring), qRgb(0, 255, 0)) << ring.x() << "," << ring.y();
    EXPECT_EQ(image.pixel(2, 2), kWhite);
    QPainter idle;
    EXPECT_FALSE(DrawThemeBorder(idle, QRect(0, 0, 20, 20)));
}

TEST(DrawTextInColorHelper, TextStaysInsideItsRectangleUnlessNoClipIsAsked) {
    QImage image = Canvas(60, 20);
    QPainter painter(&image);
    const QString wide = QString(40, QChar('W'));
    DrawTextInColor(painter, QRect(0, 0, 10, 20), wide, DT_LEFT | DT_VCENTER | DT_SINGLELINE, 0);
    painter.end();
    EXPECT_EQ(CountPixels(image, QRect(10, 0, 50, 20), [](QRgb p) { return p != kWhite; }), 0);
    QImage unclipped = Canvas(60, 20);
    QPainter other(&unclipped);
    DrawTextInColor(other, QRect(0, 0, 10, 20), wide, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP, 0);
    other.end();
    EXPECT_NE(unclipped.copy(10, 0, 50, 20), image.copy(10, 0, 50, 20));
    EXPECT_EQ(DrawTextFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
              int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic));
}
