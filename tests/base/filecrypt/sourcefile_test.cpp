#include "base/filecrypt/sourcefile.h"

#include <gtest/gtest.h>

#include "tests/support/testenvironment.h"

// A closed file reads nothing; an open one reads short at its end, never past it at an offset.
TEST(SourceFile, ReadsOfOpenAndClosedFilesReportWhatArrived) {
    const std::string path = pellux_test::MakeTempDir("src") + "/f";
    ASSERT_TRUE(pellux_test::WriteFile(path, "abcdef"));
    SourceFile closed, file;
    char buf[8] = {};
    size_t got = 0;
    uint64_t size = 0;
    EXPECT_FALSE(closed.Read(buf, 4, &got) || closed.ReadAt(0, buf, 4) || closed.Seek(0));
    ASSERT_TRUE(file.Open(path));
    EXPECT_FALSE(file.Open(path) || file.ReadAt(2, buf, 5));
    EXPECT_TRUE(file.ReadAt(1, buf, 5) && file.Size(&size) && file.Seek(4) && file.Read(buf + 5, 3, &got));
    EXPECT_EQ(std::string(buf, 5 + got) + std::to_string(size), "bcdefef6");
}
