#include "core/remotestorage/remotestorage/filesha1.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::MakeTempDir;
using pellux_test::WriteFile;

std::wstring W(const std::string& text) {
    return Utf8ToWide(text);
}

TEST(FileSha1Hex, KnownDigestsInLowerCase) {
    const std::string dir = MakeTempDir("sha1");
    ASSERT_TRUE(WriteFile(dir + "/empty", ""));
    ASSERT_TRUE(WriteFile(dir + "/abc", "abc"));
    std::wstring hex;
    ASSERT_EQ(FileSha1Hex(W(dir + "/empty"), std::function<bool()>(), hex), S_OK);
    EXPECT_EQ(hex, L"da39a3ee5e6b4b0d3255bfef95601890afd80709");
    ASSERT_EQ(FileSha1Hex(W(dir + "/abc"), std::function<bool()>(), hex), S_OK);
    EXPECT_EQ(hex, L"a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(FileSha1Hex, FileOfSeveralChunksMatchesSha1sum) {
    if (!pellux_test::HaveProgram("sha1sum"))
        GTEST_SKIP() << "sha1sum not installed";
    const std::string path = MakeTempDir("sha1") + "/big";
    std::string bytes;
    for (size_t i = 0; i < 3 * kFileSha1ChunkBytes + 17; ++i)
        bytes += static_cast<char>((i * 131 + i / 7) & 0xFF);
    ASSERT_TRUE(WriteFile(path, bytes));
    std::string output;
    ASSERT_EQ(pellux_test::RunCommand("sha1sum '" + path + "'", &output), 0);
    std::wstring hex;
    ASSERT_EQ(FileSha1Hex(W(path), std::function<bool()>(), hex), S_OK);
    EXPECT_EQ(WideToUtf8(hex), output.substr(0, 40));
}

TEST(FileSha1Hex, MissingFileOrFolderFails) {
    const std::string dir = MakeTempDir("sha1");
    std::wstring hex = L"untouched";
    EXPECT_EQ(FileSha1Hex(W(dir + "/none"), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(FileSha1Hex(W(dir), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(hex, L"untouched");
}

TEST(FileSha1Hex, CallbackIsAskedOncePerChunkAndStopsHashing) {
    const std::string path = MakeTempDir("sha1") + "/three";
    ASSERT_TRUE(WriteFile(path, std::string(2 * kFileSha1ChunkBytes + 1, 'x')));
    int calls = 0;
    std::wstring hex;
    ASSERT_EQ(FileSha1Hex(
                  W(path), [&] { return ++calls > 0; }, hex),
              S_OK);
    EXPECT_EQ(calls, 3);
    calls = 0;
    EXPECT_EQ(FileSha1Hex(
                  W(path), [&] { return ++calls < 1; }, hex),
              E_FAIL);
    EXPECT_EQ(calls, 1);
    // The flag form stops the same way.
    std::atomic<bool> cancel{false};
    EXPECT_EQ(FileSha1Hex(W(path), cancel, hex), S_OK);
    cancel = true;
    EXPECT_EQ(FileSha1Hex(W(path), cancel, hex), E_FAIL);
}

}  // namespace
