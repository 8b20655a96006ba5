// The local file operations on real files: a copy replaces whole or leaves no
// trace, emptying a folder never follows a link, and a state tells any change.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/localfileops.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {
namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LocalFileOpsTest, ACopyReplacesTheDestinationWholeOrLeavesNothingBehind) {
    EXPECT_EQ(LocalResultFromErrno(0), S_OK);
    struct Case {
        std::string source, target;
        HRESULT expected;
    };
    const std::vector<Case> cases = {
        {"src", "new", S_OK},
        {"src", "old", S_OK},
        {"none", "new", E_LOCAL_NOT_FOUND},
        {"dir", "new", E_FAIL},
        {"src", "no/new", E_LOCAL_NOT_FOUND},
        {"src", "dir", E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.target);
        const std::string f = MakeTempDir();
        ASSERT_TRUE(WriteFile(f + "/src", "fresh") && WriteFile(f + "/old", "old"));
        ASSERT_EQ(chmod((f + "/src").c_str(), 0640) + mkdir((f + "/dir").c_str(), 0700), 0);
        ASSERT_TRUE(WriteFile(f + "/dir/keep", "k"));
        EXPECT_EQ(CopyLocalFile(Utf8ToWide(f + "/" + c.source), Utf8ToWide(f + "/" + c.target)), c.expected);
        std::vector<std::string> names = {"dir", "old", "src"};
        if (c.target == "new" && c.expected == S_OK)
            names.insert(names.begin() + 1, "new");
        EXPECT_EQ(Names(f), names);
        EXPECT_EQ(ReadFile(f + "/old"), c.target == "old" ? "fresh" : "old");
        if (c.expected == S_OK) {
            EXPECT_EQ(ReadFile(f + "/" + c.target), "fresh");
            EXPECT_EQ(std::filesystem::status(f + "/" + c.target).permissions(),
                      std::filesystem::perms(0640));
        }
    }
}

TEST(LocalFileOpsTest, EmptyingAFolderRemovesLinksNotWhatTheyNameAndStopsAtTheDepthBound) {
    const std::string outside = MakeTempDir();
    ASSERT_TRUE(WriteFile(outside + "/precious", "p"));
    const std::string f = MakeTempDir();
    ASSERT_TRUE(WriteFile(f + "/a", "a"));
    std::filesystem::create_directories(f + "/sub/deeper");
    ASSERT_TRUE(WriteFile(f + "/sub/deeper/c", "c"));
    ASSERT_EQ(symlink(outside.c_str(), (f + "/toOut").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/precious").c_str(), (f + "/toFile").c_str()), 0);
    // 66 nested levels: the last two lie beyond the bound, so the chain stays.
    std::string chain = f;
    for (int i = 0; i < 66; ++i)
        chain += "/d";
    std::filesystem::create_directories(chain);

    EmptyFolderNoFollow(Utf8ToWide(f + "/toOut/"));
    EXPECT_EQ(Names(outside), std::vector<std::string>{"precious"});
    EmptyFolderNoFollow(Utf8ToWide(f + "//"));
    EXPECT_EQ(Names(f), std::vector<std::string>{"d"});
    EXPECT_TRUE(std::filesystem::is_directory(chain));
    EXPECT_EQ(Names(outside), std::vector<std::string>{"precious"});
}

TEST(LocalFileOpsTest, EveryFieldOfAFileStateTellsAChange) {
    const std::string folder = MakeTempDir();
    ASSERT_TRUE(WriteFile(folder + "/f", "abc"));
    FileState base, again;
    ASSERT_EQ(ReadFileState(Utf8ToWide(folder + "/f"), base), S_OK);
    ASSERT_EQ(ReadFileState(Utf8ToWide(folder + "/f"), again), S_OK);
    EXPECT_TRUE(SameFileState(base, again));
    EXPECT_EQ(ReadFileState(Utf8ToWide(folder), again), E_FAIL);
    const std::vector<std::function<void(FileState&)>> changes = {
        [](FileState& s) { ++s.device; },
        [](FileState& s) { ++s.inode; },
        [](FileState& s) { ++s.size; },
        [](FileState& s) { ++s.modified.tv_sec; },
        [](FileState& s) { s.modified.tv_nsec ^= 1; },
        [](FileState& s) { ++s.changed.tv_sec; },
        [](FileState& s) { s.changed.tv_nsec ^= 1; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        FileState changed = base;
        changes[i](changed);
        EXPECT_FALSE(SameFileState(base, changed)) << i;
    }
}

}  // namespace
}  // namespace pellux_test
