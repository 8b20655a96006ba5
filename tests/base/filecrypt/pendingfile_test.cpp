#include "base/filecrypt/pendingfile.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "tests/support/testenvironment.h"

namespace {

size_t Entries(const std::string& folder) {
    size_t n = 0;
    DIR* d = opendir(folder.c_str());
    for (dirent* e; d && (e = readdir(d));)
        n += e->d_name[0] != '.' || (e->d_name[1] != 0 && e->d_name[1] != '.');
    if (d)
        closedir(d);
    return n;
}

// A destination that names no file, or a second Create, makes no temporary file.
TEST(PendingFile, RefusesFolderDestinationsAndASecondCreate) {
    const std::string folder = pellux_test::MakeTempDir("pending");
    for (const std::string& bad : {std::string(), folder + "/", folder + "/sub/"}) {
        PendingFile file;
        EXPECT_FALSE(file.Create(bad)) << bad;
        EXPECT_EQ(Entries(folder), 0u) << bad;
    }
    PendingFile file;
    ASSERT_TRUE(file.Create(folder + "/a"));
    EXPECT_FALSE(file.Create(folder + "/b"));
    ASSERT_TRUE(file.Write("x", 1));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(pellux_test::ReadFile(folder + "/a"), "x");
    EXPECT_EQ(Entries(folder), 1u);
}

}  // namespace
