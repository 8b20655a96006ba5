#include "base/utility/fileutil.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/utility/filetime.h"
#include "tests/base/basetestutil.h"
#include "tests/support/testenvironment.h"

namespace {

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SetTimeZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
}

}  // namespace

TEST(CreateFolderTree, SucceedsOnlyWhenADirectoryStandsThere) {
    std::string dir = pellux_test::MakeTempDir("cft");
    EXPECT_EQ(CreateFolderTree(W(dir)), S_OK);  // exists already
    EXPECT_EQ(CreateFolderTree(L"/"), S_OK);
    EXPECT_EQ(CreateFolderTree(W(dir + "/a/b/\u4e2d")), S_OK);
    EXPECT_TRUE(IsDir(dir + "/a/b/\xe4\xb8\xad"));
    EXPECT_EQ(CreateFolderTree(W(dir + "/x/y/")), S_OK);
    EXPECT_TRUE(IsDir(dir + "/x/y"));

    ASSERT_TRUE(pellux_test::WriteFile(dir + "/file", "x"));
    EXPECT_EQ(CreateFolderTree(W(dir + "/file")), E_FAIL);      // a file in the way
    EXPECT_EQ(CreateFolderTree(W(dir + "/file/sub")), E_FAIL);  // a file as a parent
    EXPECT_EQ(CreateFolderTree(L""), E_FAIL);
}

TEST(GetFileSize64, ReadsSizesBeyond32Bits) {
    std::string file = pellux_test::MakeTempDir("size") + "/big";
    int fd = open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (6ll << 30) + 1), 0);
    close(fd);
    uint64_t size = 0;
    EXPECT_EQ(GetFileSize64(W(file), size), S_OK);
    EXPECT_EQ(size, (6ull << 30) + 1);
    uint64_t untouched = 77;
    EXPECT_EQ(GetFileSize64(W(file + ".missing"), untouched), E_FAIL);
    EXPECT_EQ(untouched, 77u);
}

TEST(FormatFileTime, LocalTimeWithSevenDigitFraction) {
    std::string file = pellux_test::MakeTempDir("ft") + "/t";
    ASSERT_TRUE(pellux_test::WriteFile(file, "x"));
    // 2026-12-05 10:20:30.1234567 UTC
    struct timespec times[2] = {{1796466030, 0}, {1796466030, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    std::wstring created, written;
    SetTimeZone("JST-9");
    ASSERT_EQ(FormatFileTime(W(file), created, written), S_OK);
    EXPECT_EQ(written, L"2026-12-05 19:20:30.1234567");
    EXPECT_EQ(created.size(), written.size());
    EXPECT_EQ(created[4], L'-');
    EXPECT_EQ(created[19], L'.');
    SetTimeZone("UTC0");
    ASSERT_EQ(FormatFileTime(W(file), created, written), S_OK);
    EXPECT_EQ(written, L"2026-12-05 10:20:30.1234567");
    // 1601-01-01 00:00:00 plus 5 units: before the Unix epoch still formats.
    EXPECT_EQ(FormatLocalFileTime(5), L"1601-01-01 00:00:00.0000005");
    // A failure leaves the texts alone.
    const std::wstring before = created + written;
    EXPECT_EQ(FormatFileTime(L"/no/such/file", created, written), E_FAIL);
    EXPECT_EQ(created + written, before);
}
