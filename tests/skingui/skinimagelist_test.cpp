#include <gtest/gtest.h>

#include <QPainter>

#include "skingui/skinimagelist.h"

using namespace SKINGUI;

TEST(SkinImageListCells, AStripIsCutIntoCellsAddedImagesAreScaledAndCellsDrawByIndex) {
    QImage strip(48, 1, QImage::Format_RGB32), canvas(48, 1, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int x = 0; x < 48; ++x)
        strip.setPixel(x, 0, colours[x / 16]);
    EXPECT_EQ(SkinImageList::FromStrip(QPixmap::fromImage(strip), QSize(16, 0))->Count(), 0);
    auto list = SkinImageList::FromStrip(QPixmap::fromImage(strip), QSize(16, 1));
    ASSERT_EQ(list->Count(), 3);
    EXPECT_TRUE(list->Cell(-1).isNull() && list->Cell(3).isNull());
    QPainter painter(&canvas);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(list->Draw(painter, i, QPoint(16 * i, 0)));
    EXPECT_FALSE(list->Draw(painter, 3, QPoint(0, 0)) || list->Draw(painter, -1, QPoint(0, 0)));
    painter.end();
    EXPECT_EQ(canvas, strip);
    EXPECT_EQ(list->Add(QPixmap(8, 2)), 3);
    EXPECT_EQ(list->Cell(3).size(), QSize(16, 1));
}
