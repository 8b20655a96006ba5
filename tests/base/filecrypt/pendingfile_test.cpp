#include "base/filecrypt/pendingfile.h"

#include "tests/base/filecrypt/filecrypttestsupport.h"

namespace filecrypttest {
namespace {

// A destination that names no file, or a second Create, makes no temporary file.
TEST_F(FileCryptTest, PendingFileRefusesFolderDestinationsAndASecondCreate) {
    for (const std::string& bad : {std::string(), folder_ + "/", Path("sub/")}) {
        PendingFile file;
        EXPECT_FALSE(file.Create(bad)) << bad;
        EXPECT_TRUE(Entries().empty()) << bad;
    }
    PendingFile file;
    ASSERT_TRUE(file.Create(Path("a")));
    EXPECT_FALSE(file.Create(Path("b")));
    ASSERT_TRUE(file.Write("x", 1));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(pellux_test::ReadFile(Path("a")), "x");
    EXPECT_EQ(Entries(), std::set<std::string>{"a"});
}

}  // namespace
}  // namespace filecrypttest
