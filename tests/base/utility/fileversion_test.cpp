#include "base/utility/fileversion.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/strings.h"
#include "platform/versionnote.h"
#include "tests/support/testenvironment.h"

TEST(CompareVersion, FirstDifferingPartDecides) {
    const struct {
        WORD a[4], b[4];
        int expected;
    } cases[] = {
        {{1, 2, 3, 4}, {1, 2, 3, 5}, -1},     {{1, 2, 3, 4}, {1, 2, 3, 4}, 0},
        {{2, 0, 0, 0}, {1, 9, 9, 9}, 1},      {{1, 10, 0, 0}, {1, 9, 0, 0}, 1},
        {{0xFFFF, 0, 0, 0}, {1, 0, 0, 0}, 1}, {{1, 0, 0, 0}, {1, 0, 0, 1}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareVersion(c.a[0], c.a[1], c.a[2], c.a[3], c.b[0], c.b[1], c.b[2], c.b[3]), c.expected);
}

TEST(GetFileVersion, ReadsAStampedProgramAndLeavesPartsAloneOtherwise) {
    if (!pellux_test::HaveProgram("objcopy"))
        GTEST_SKIP() << "objcopy is not installed";
    std::string dir = pellux_test::MakeTempDir("fv");
    const uint16_t v[4] = {2, 5, 0, 17};
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/note", BuildVersionNote(v)));
    ASSERT_EQ(pellux_test::RunCommand("objcopy --add-section .note.pellux.version='" + dir +
                                      "/note' /bin/true '" + dir + "/\xe4\xb8\xad.bin'"),
              0);
    WORD a = 0, b = 0, c = 0, d = 0;
    EXPECT_NE(GetFileVersion(Utf8ToWide(dir + "/\xe4\xb8\xad.bin"), a, b, c, d), 0);
    EXPECT_EQ((std::vector<WORD>{a, b, c, d}), (std::vector<WORD>{2, 5, 0, 17}));
    a = b = c = d = 9;
    EXPECT_EQ(GetFileVersion(L"/bin/true", a, b, c, d), 0);
    EXPECT_EQ(GetFileVersion(Utf8ToWide(dir + "/missing"), a, b, c, d), 0);
    EXPECT_EQ(a + b + c + d, 36);
}

// This program carries the project version. Run once as usual, the test
// copies this program and runs the copy with the variable set; the copy
// replaces its own file, as an update does, and must still report the version
// it runs with.
TEST(GetVersionString, IsTheProjectVersionAndKeptAfterTheFileIsReplaced) {
    if (const char* self = getenv("PELLUX_REPLACE_SELF")) {
        std::string path = self;
        ASSERT_TRUE(pellux_test::WriteFile(path + ".new", "not a program"));
        ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
        std::wstring out;
        EXPECT_EQ(GetVersionString(out), PELLUX_TEST_VERSION);
        return;
    }
    WORD a, b, c, d;
    EXPECT_NE(GetModuleVersion(a, b, c, d), 0);
    std::wstring out = L"stale";
    EXPECT_EQ(GetVersionString(out), PELLUX_TEST_VERSION);
    std::string copy = pellux_test::MakeTempDir("self") + "/program";
    ASSERT_EQ(pellux_test::RunCommand("cp /proc/" + std::to_string(getpid()) + "/exe '" + copy + "'"), 0);
    std::string output;
    EXPECT_EQ(pellux_test::RunCommand(
                  "PELLUX_REPLACE_SELF='" + copy + "' '" + copy +
                      "' --gtest_filter=GetVersionString.IsTheProjectVersionAndKeptAfterTheFileIsReplaced",
                  &output),
              0)
        << output;
}
