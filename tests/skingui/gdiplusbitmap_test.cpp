#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "skingui/gdiplusbitmap.h"
#include "skingui/skinresources.h"
#include "tests/support/testenvironment.h"

using namespace SKINGUI;

TEST(GdiPlusBitmapResource, AReloadReplacesBitmapAndMemoryAndAFailedOneLeavesItEmpty) {
    CGdiPlusBitmapResource bitmap;
    // The banner, then the frame in the same object.
    for (const auto& [id, size] : {std::pair(288, QSize(250, 330)), std::pair(377, QSize(40, 40))}) {
        ASSERT_TRUE(bitmap.LoadResourceImage(id));
        ASSERT_NE(bitmap.Bitmap(), nullptr);
        EXPECT_EQ(bitmap.Bitmap()->size(), size);
        EXPECT_TRUE(bitmap.HasMemory());
        QFile file(SkinResourcePath("RCDATA", id));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(bitmap.Memory(), file.readAll());
    }
    // Missing or undecodable resources leave the object empty.
    EXPECT_FALSE(bitmap.LoadResourceImage(99999));
    EXPECT_EQ(bitmap.Bitmap(), nullptr);
    EXPECT_FALSE(bitmap.HasMemory());

    const std::string module = pellux_test::MakeTempDir("res");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(module + "/RCDATA")));
    ASSERT_TRUE(pellux_test::WriteFile(module + "/RCDATA/5", "this is not a picture"));
    ASSERT_TRUE(pellux_test::WriteFile(module + "/RCDATA/6", ""));
    EXPECT_FALSE(bitmap.LoadResourceImage(5, "RCDATA", QString::fromStdString(module)));
    EXPECT_EQ(bitmap.Bitmap(), nullptr);
    EXPECT_FALSE(bitmap.HasMemory());
    EXPECT_FALSE(bitmap.LoadResourceImage(6, "RCDATA", QString::fromStdString(module)));
    EXPECT_FALSE(bitmap.HasMemory());
    bitmap.Empty();
    EXPECT_EQ(bitmap.Bitmap(), nullptr);
}
