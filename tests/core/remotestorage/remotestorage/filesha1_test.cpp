#include "core/remotestorage/remotestorage/filesha1.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::WriteFile;

// Several chunks and a short tail; a missing file or a folder fails and leaves hex alone.
TEST(FileSha1Hex, DigestsInLowerCaseAcrossChunksAndMissingFilesFail) {
    const std::string dir = pellux_test::MakeTempDir("sha1");
    std::string big;
    for (size_t i = 0; i < 3 * kFileSha1ChunkBytes + 17; ++i)
        big += static_cast<char>((i * 131 + i / 7) & 0xFF);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {big, "c6fbc115686de21dbe4f4e6f7fa697f60fc043c4"},  // as sha1sum gives it
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFile(dir + "/f", c.first));
        std::wstring hex;
        ASSERT_EQ(FileSha1Hex(Utf8ToWide(dir + "/f"), std::function<bool()>(), hex), S_OK);
        EXPECT_EQ(WideToUtf8(hex), c.second) << c.first.size();
    }
    std::wstring hex = L"untouched";
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(dir + "/none"), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(dir), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(hex, L"untouched");
}

TEST(FileSha1Hex, CallbackIsAskedOncePerChunkAndStopsHashing) {
    const std::string path = pellux_test::MakeTempDir("sha1") + "/three";
    ASSERT_TRUE(WriteFile(path, std::string(2 * kFileSha1ChunkBytes + 1, 'x')));
    int calls = 0;
    std::wstring hex;
    ASSERT_EQ(FileSha1Hex(
                  Utf8ToWide(path), [&] { return ++calls > 0; }, hex),
              S_OK);
    EXPECT_EQ(calls, 3);
    calls = 0;
    EXPECT_EQ(FileSha1Hex(
                  Utf8ToWide(path), [&] { return ++calls < 1; }, hex),
              E_FAIL);
    EXPECT_EQ(calls, 1);
    // The flag form stops the same way.
    std::atomic<bool> cancel{false};
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(path), cancel, hex), S_OK);
    cancel = true;
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(path), cancel, hex), E_FAIL);
}

}  // namespace
