// Which folders a log-out may delete.
#include "core/coreapp/userdatafolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {
namespace {

TEST(UserDataFolderTest, OnlyFoldersThatHoldNothingOfTheProgramsOwnMayGo) {
    const std::string home = MakeTempDir("home");
    const std::string data = home + "/data";
    RunCommand("mkdir -p '" + data + "/u1/Cache' '" + home + "/elsewhere/Root'");
    RunCommand("ln -s / '" + data + "/u1/rootlink'");
    const std::string oldHome = getenv("HOME");
    setenv("HOME", home.c_str(), 1);
    const std::vector<std::pair<std::string, bool>> cases = {
        {data + "/u1", true},
        {home + "/elsewhere/Root", true},
        {"", false},
        {"/", false},
        {home, false},
        {home + "/", false},
        {data, false},
        {data + "/u1/..", false},
        {data + "/u1/rootlink", false},
        {home + "/missing", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(IsDeletableUserFolder(Utf8ToWide(c.first), Utf8ToWide(data)), c.second);
    }
    setenv("HOME", oldHome.c_str(), 1);
}

TEST(UserDataFolderTest, DeletesTheUsersFolderAndAnOutsideRootButNotTheirParents) {
    const std::string home = MakeTempDir("del");
    const std::string data = home + "/data";
    const std::string root = home + "/elsewhere/Root";
    RunCommand("mkdir -p '" + data + "/u1/Cache/sub' '" + root + "/sub'");
    ASSERT_TRUE(WriteFile(data + "/u1/norle.db", "x"));
    ASSERT_TRUE(WriteFile(root + "/sub/file", "x"));
    ASSERT_TRUE(WriteFile(data + "/sentinel", "x"));
    ASSERT_TRUE(WriteFile(home + "/elsewhere/sentinel", "x"));
    RunCommand("chmod 0500 '" + root + "/sub'");
    DeleteUserDataFolders(Utf8ToWide(data + "/u1"), Utf8ToWide(root), Utf8ToWide(data));
    EXPECT_FALSE(PathExists(data + "/u1"));
    EXPECT_FALSE(PathExists(root));
    EXPECT_TRUE(PathExists(data + "/sentinel"));
    EXPECT_TRUE(PathExists(home + "/elsewhere/sentinel"));
}

}  // namespace
}  // namespace pellux_test
