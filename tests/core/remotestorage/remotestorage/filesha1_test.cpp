#include "core/remotestorage/remotestorage/filesha1.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <chrono>
#include <cstdio>
#include <thread>

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
}

// A pipe that never ends shows that the flag, not the end of the data, stops
// the hashing: without the check the read would wait for the writer forever.
TEST(FileSha1Hex, CancelFlagFromAnotherThreadStopsWithinOneChunk) {
    const std::string fifo = MakeTempDir("sha1") + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The writer may still write after the reader has gone.
    signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        FILE* out = std::fopen(fifo.c_str(), "wb");
        if (!out)
            return;
        const std::string chunk(kFileSha1ChunkBytes, 'p');
        std::fwrite(chunk.data(), 1, chunk.size(), out);
        std::fflush(out);
        cancel = true;
        std::fwrite(chunk.data(), 1, chunk.size(), out);
        std::fflush(out);
        // Keep the pipe open well past the hashing; a reader that waits for
        // the end only gets it after this.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::fclose(out);
    });
    std::wstring hex;
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = FileSha1Hex(W(fifo), cancel, hex);
    const bool beforeEnd = std::chrono::steady_clock::now() - start < std::chrono::seconds(8);
    done = true;
    writer.join();
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_TRUE(beforeEnd);
}

}  // namespace
