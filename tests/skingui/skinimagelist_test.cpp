#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "skingui/skinimagelist.h"

using namespace SKINGUI;

TEST(SkinImageListCells, AStripIsCutIntoCellsAddedImagesAreScaledAndCellsDrawByIndex) {
    QImage strip(48, 4, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int x = 0; x < 48; ++x) {
        for (int y = 0; y < 4; ++y)
            strip.setPixel(x, y, colours[x / 16]);
    }
    const QPixmap pixmap = QPixmap::fromImage(strip);
    EXPECT_EQ(SkinImageList::FromStrip(pixmap, QSize(16, 0))->Count(), 0);
    EXPECT_EQ(SkinImageList::FromStrip(pixmap.copy(0, 0, 40, 4), QSize(16, 4))->Count(), 2);
    auto list = SkinImageList::FromStrip(pixmap, QSize(16, 4));
    ASSERT_EQ(list->Count(), 3);
    EXPECT_TRUE(list->Cell(-1).isNull());
    EXPECT_TRUE(list->Cell(3).isNull());
    QImage canvas(50, 4, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list->Cell(i).toImage().pixel(15, 3), colours[i]);
        EXPECT_TRUE(list->Draw(painter, i, QPoint(16 * i, 0)));
    }
    EXPECT_FALSE(list->Draw(painter, 3, QPoint(0, 0)));
    EXPECT_FALSE(list->Draw(painter, -1, QPoint(0, 0)));
    painter.end();
    EXPECT_EQ(canvas.copy(0, 0, 48, 4), strip);
    EXPECT_EQ(canvas.pixel(48, 0), qRgb(255, 255, 255));
    EXPECT_EQ(list->Add(QPixmap(8, 2)), 3);
    EXPECT_EQ(list->Cell(3).size(), QSize(16, 4));
    EXPECT_EQ(list->Add(QPixmap()), 4);
    EXPECT_TRUE(list->Cell(4).isNull());
}
