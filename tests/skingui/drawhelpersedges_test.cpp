#include <gtest/gtest.h>

#include <QPainter>

#include "skingui/drawhelpers.h"

using namespace SKINGUI;

TEST(DrawHelperEdges, ThickPensPenlessFillsNarrowFramesOnePixelFramesAndRasterOps) {
    QImage image(12, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPixmap grey(1, 1);
    grey.fill(QColor(15, 15, 15));
    QPainter painter(&image);
    DrawLine(painter, -5, 0, 20, 0, 0x0000FF, PS_SOLID, 2);
    DrawFilledRect(painter, 0, 3, 4, 6, 0x00FF00, 0, HS_SOLID, PS_NULL);  // without a pen: 3 x 2
    DrawRectFrame(painter, 0, 6, 10, 7, 0, PS_SOLID, 4);  // two rows high: no room for the inner outlines
    DrawRectFrame(painter, 11, 8, 11, 8, 0xFF0000);
    for (unsigned rop : {SRCAND, SRCPAINT, SRCINVERT})
        DrawBitmap(painter, rop == SRCAND ? 5 : rop == SRCPAINT ? 7 : 9, 3, grey, rop);
    painter.end();
    const QRgb white = qRgb(255, 255, 255);
    const std::pair<QPoint, QRgb> expected[] = {
        {{5, 0}, qRgb(255, 0, 0)}, {{2, 4}, qRgb(0, 255, 0)},    {{3, 3}, white},
        {{5, 8}, white},           {{11, 8}, qRgb(0, 0, 255)},   {{5, 3}, qRgb(15, 15, 15)},
        {{7, 3}, white},           {{9, 3}, qRgb(240, 240, 240)}};
    for (auto [point, rgb] : expected)
        EXPECT_EQ(image.pixel(point), rgb) << point.x() << "," << point.y();
}
