#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include "tests/skingui/controlsgallery2.h"
#include "tests/support/testenvironment.h"

TEST(ControlsGallery2, ScreenshotIsSavedForReview) {
    skingui_test::ControlsGallery2 gallery;
    gallery.window->show();
    QApplication::processEvents();
    const QString dir = QString::fromStdString(pellux_test::BinaryDir()) + "/screenshots";
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString path = dir + "/skin-controls-2.png";
    const QImage shot = gallery.window->grab().toImage();
    ASSERT_TRUE(shot.save(path));
    const QImage back(path);
    EXPECT_EQ(back.size(), QSize(900, 560));
    // The toolbar's gradient starts the picture.
    EXPECT_EQ(back.pixel(899, 0), qRgb(0xE3, 0xED, 0xF9));
}
