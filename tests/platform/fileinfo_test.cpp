#include "platform/fileinfo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/testenvironment.h"

namespace {

bool FileSystemKeepsBirthTime(const std::string& path) {
    struct statx sx;
    return statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME);
}

}  // namespace

TEST(FileInfo, AttributesOfFilesAndFoldersAndWholeSizesBeyond4GiB) {
    std::string dir = pellux_test::MakeTempDir("fi");
    std::string file = dir + "/f.txt";
    ASSERT_TRUE(pellux_test::WriteFile(file, "hello"));
    FileAttributeData d;
    ASSERT_TRUE(GetFileAttributeData(file, &d));
    EXPECT_FALSE(d.isDirectory);
    EXPECT_FALSE(d.readOnly);
    EXPECT_EQ(d.size, 5u);
    ASSERT_TRUE(GetFileAttributeData(dir, &d));
    EXPECT_TRUE(d.isDirectory);
    EXPECT_EQ(d.size, 0u);
    EXPECT_TRUE(IsDirectoryPath(dir));
    EXPECT_FALSE(IsDirectoryPath(file));
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    EXPECT_TRUE(IsReadOnlyPath(file));
    EXPECT_FALSE(PathExists(dir + "/missing"));
    EXPECT_FALSE(GetFileAttributeData("", &d));
    // Sizes beyond 4 GiB are whole.
    const std::string big = dir + "/big";
    int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const off_t size = (5ll << 30) + 3;  // sparse: takes no space
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    ASSERT_TRUE(GetFileAttributeData(big, &d));
    EXPECT_EQ(d.size, static_cast<uint64_t>(size));
}

TEST(FileInfo, FileTimesCountFromTheWindowsEpochAndTheLastWriteTimeKeepsItsFraction) {
    EXPECT_EQ(UnixTimeToFileTime(0, 0), 116444736000000000ull);
    EXPECT_EQ(UnixTimeToFileTime(1, 999999999), 116444736000000000ull + 19999999);
    EXPECT_EQ(FileTimeToUnixSeconds(116444736000000000ull + 19999999), 1);
    EXPECT_EQ(FileTimeToUnixSeconds(116444736000000000ull - 1), -1);
    std::string file = pellux_test::MakeTempDir("fi") + "/t";
    ASSERT_TRUE(pellux_test::WriteFile(file, "x"));
    struct timespec times[2] = {{1000000000, 5}, {1765000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    FileAttributeData d;
    ASSERT_TRUE(GetFileAttributeData(file, &d));
    EXPECT_EQ(d.lastWriteTime, UnixTimeToFileTime(1765000000, 123456789));
    EXPECT_EQ(d.lastWriteTime % 10000000, 1234567u);
    EXPECT_EQ(d.lastAccessTime, UnixTimeToFileTime(1000000000, 0));
    if (FileSystemKeepsBirthTime(file)) {
        // The creation time is the birth time, not the changed write time.
        EXPECT_GT(d.creationTime, d.lastWriteTime);
    } else {
        EXPECT_EQ(d.creationTime, d.lastWriteTime);
    }
}
