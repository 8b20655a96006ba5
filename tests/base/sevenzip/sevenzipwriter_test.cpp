#include "base/sevenzip/sevenzipwriter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "base/sevenzip/sevenzipreader.h"
#include "tests/base/sevenzip/sevenziptestutil.h"
#include "tests/platform/childprocess.h"

using namespace pellux_test;
using namespace sevenzip_test;

namespace {

// The address space the process holds now (bytes).
uint64_t AddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 7, "VmSize:") == 0)
            return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

// True when fn returns `expected` in a child process whose files may not
// grow beyond limit bytes.
template <class F>
bool ReturnsUnderFileSizeLimit(rlim_t limit, int expected, F fn) {
    ChildProcess child([&](ChildProcess&) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit bound{limit, limit};
        return setrlimit(RLIMIT_FSIZE, &bound) == 0 && fn() == expected;
    });
    return child.Started() && child.Wait() == 0;
}

}  // namespace

// Packing takes memory in proportion to the file, not to the largest
// dictionary; the archives read back, also with the reference tool.
TEST(SevenZipWriter, ArchivesPassTheReferenceToolAndExtractIdentically) {
    const std::string dir = MakeTempDir("7zw");
    ASSERT_EQ(mkdir((dir + "/private").c_str(), 0700), 0);
    // The dictionary is sized to the input: the method names its size in bits.
    // 128 is the first size stored as a two-byte number.
    const std::pair<size_t, const char*> cases[] = {{0, "LZMA:16"},      {1, "LZMA:16"},
                                                    {128, "LZMA:16"},    {1000, "LZMA:16"},
                                                    {100000, "LZMA:17"}, {1000000, "LZMA:20"}};
    for (const auto& [size, method] : cases) {
        SCOPED_TRACE(size);
        const std::string name = "\xe6\x8a\xa5\xe5\x91\x8a" + std::to_string(size) + ".bin";
        const std::string src = dir + "/private/" + name;
        const std::string bytes = MixedBytes(size, static_cast<unsigned>(size));
        ASSERT_TRUE(WriteFile(src, bytes));
        const std::string archive = dir + "/" + std::to_string(size) + ".7z";
        // The 16 MiB dictionary's tables alone take far more than this.
        ChildProcess child([&](ChildProcess&) {
            const rlim_t limit = AddressSpace() + (24u << 20);
            const rlimit bound{limit, limit};
            return setrlimit(RLIMIT_AS, &bound) == 0 && CompressFileTo7z(W(archive), W(src)) == 1;
        });
        ASSERT_TRUE(child.Started());
        ASSERT_EQ(child.Wait(), 0);

        const std::string ours = dir + "/ours" + std::to_string(size);
        ASSERT_EQ(ExtractFirstFileFrom7z(W(ours), W(archive)), 1);
        EXPECT_TRUE(ReadFile(ours) == bytes);
        uint64_t itemSize = 12345;
        EXPECT_EQ(Query7zArchive(W(archive), &itemSize), 1);
        EXPECT_EQ(itemSize, size);
        if (!HaveProgram("7z"))
            continue;
        std::string out;
        EXPECT_EQ(RunCommand("7z t " + Quote(archive), &out), 0) << out;
        int status = 0;
        const auto items = ListItems(archive, &status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].at("Path"), name);  // the base name only
        EXPECT_EQ(items[0].at("Attributes"), "A");
        EXPECT_EQ(items[0].at("Size"), std::to_string(size));
        EXPECT_EQ(items[0].at("Method"), method);
        const std::string outDir = MakeTempDir("7zx");
        ASSERT_EQ(RunCommand("7z x -y -o" + Quote(outDir) + " " + Quote(archive), &out), 0) << out;
        EXPECT_TRUE(ReadFile(outDir + "/" + name) == bytes);
    }
}

// The header's layout is left to the reference tool (above); here the start
// header's checksums and the stored time.
TEST(SevenZipWriter, ChecksumsAndTheArchivesOwnTime) {
    const std::string dir = MakeTempDir("7zl");
    const std::string src = dir + "/a.txt";
    ASSERT_TRUE(WriteFile(src, MixedBytes(1000, 2)));
    const std::string archive = dir + "/a.7z";
    ASSERT_EQ(CompressFileTo7z(W(archive), W(src)), 1);
    const std::string a = ReadFile(archive);
    ASSERT_GT(a.size(), 32u);

    EXPECT_EQ(a.substr(0, 8), std::string("7z\xBC\xAF\x27\x1C\x00\x03", 8));
    EXPECT_EQ(LeAt(a, 8, 4), Crc(a.substr(12, 20)));
    const uint64_t packSize = LeAt(a, 12, 8);
    const uint64_t headerSize = LeAt(a, 20, 8);
    ASSERT_EQ(a.size(), 32 + packSize + headerSize);
    ASSERT_GT(headerSize, 18u);
    EXPECT_EQ(LeAt(a, 28, 4), Crc(a.substr(32 + packSize, headerSize)));

    // The modification time (FILETIME) comes before the 10-byte attributes
    // block that ends the header: the archive's own.
    const uint64_t fileTime = LeAt(a, a.size() - 18, 8);
    struct stat st;
    ASSERT_EQ(stat(archive.c_str(), &st), 0);
    const int64_t storedUnix = static_cast<int64_t>(fileTime / 10000000ULL) - 11644473600LL;
    EXPECT_LE(std::llabs(storedUnix - static_cast<int64_t>(st.st_mtime)), 5);
}

TEST(SevenZipWriter, StoredSizeIsWhatTheEncoderRead) {
    // A pipe has no length: the size can only come from the bytes consumed.
    const std::string dir = MakeTempDir("7zp");
    const std::string bytes = MixedBytes(200000, 7);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread feeder([&] {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(fds[1], bytes.data() + done, std::min<size_t>(4096, bytes.size() - done));
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        close(fds[1]);
    });
    const std::string archive = dir + "/p.7z";
    const int out = open(archive.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(out, 0);
    EXPECT_EQ(Write7zSingleFileArchive(out, L"stream.bin", fds[0]), kSevenZipOk);
    feeder.join();
    close(fds[0]);
    close(out);

    uint64_t size = 0;
    EXPECT_EQ(Query7zArchive(W(archive), &size), 1);
    EXPECT_EQ(size, bytes.size());
    const std::string dest = dir + "/stream.out";
    ASSERT_EQ(ExtractFirstFileFrom7z(W(dest), W(archive)), 1);
    EXPECT_TRUE(ReadFile(dest) == bytes);
}

TEST(SevenZipWriter, FailedWritesAndSeeksAreFailures) {
    const std::string dir = MakeTempDir("7zf");
    const std::string src = dir + "/empty";
    ASSERT_TRUE(WriteFile(src, ""));
    const std::string ref = dir + "/ref.7z";
    ASSERT_EQ(CompressFileTo7z(W(ref), W(src)), 1);
    const uint64_t packSize = LeAt(ReadFile(ref), 12, 8);

    // Room for the packed stream but not for the header behind it (none of
    // it, or only a few bytes).
    const std::string target = dir + "/limited.7z";
    auto writeArchive = [&] {
        const int in = open(src.c_str(), O_RDONLY);
        const int out = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        return Write7zSingleFileArchive(out, L"empty", in);
    };
    for (rlim_t extra : {rlim_t(0), rlim_t(3)}) {
        SCOPED_TRACE(extra);
        EXPECT_TRUE(ReturnsUnderFileSizeLimit(32 + packSize + extra, kSevenZipErrorWrite, writeArchive));
        EXPECT_TRUE(ReturnsUnderFileSizeLimit(32 + packSize + extra, 0,
                                              [&] { return CompressFileTo7z(W(target), W(src)); }));
    }
    // The same harness with room to spare succeeds.
    EXPECT_TRUE(ReturnsUnderFileSizeLimit(1 << 20, kSevenZipOk, writeArchive));

    // No space at all, an output that cannot seek, missing or unusable inputs.
    EXPECT_EQ(CompressFileTo7z(L"/dev/full", W(src)), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int in = open(src.c_str(), O_RDONLY);
    EXPECT_EQ(Write7zSingleFileArchive(fds[1], L"empty", in), kSevenZipErrorWrite);
    close(in);
    close(fds[0]);
    close(fds[1]);
    EXPECT_EQ(CompressFileTo7z(W(dir + "/x.7z"), W(dir + "/missing")), 0);
    EXPECT_FALSE(FileExists(dir + "/x.7z"));
    EXPECT_EQ(CompressFileTo7z(W(dir + "/y.7z"), W(dir)), 0);
    EXPECT_FALSE(FileExists(dir + "/y.7z"));
    EXPECT_EQ(CompressFileTo7z(W(dir + "/no/such/folder.7z"), W(src)), 0);
    EXPECT_EQ(OpenHandles(src), 0);  // every way out closes the source
}
