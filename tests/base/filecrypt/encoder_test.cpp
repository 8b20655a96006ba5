#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

#include "tests/base/filecrypt/filecrypttestsupport.h"

// Reads of at most this many bytes while set: a source that delivers short
// reads before its end, as pipes and network file systems do.
static std::atomic<size_t> g_readCap{0};

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    const size_t cap = g_readCap.load();
    if (cap != 0 && count > cap)
        count = cap;
    return syscall(SYS_read, fd, buffer, count);
}

namespace filecrypttest {
namespace {

constexpr size_t kChunk = 65536;

// The bytes the decoder returns, or "<failed>".
std::string Decode(const std::string& path, const std::string& out) {
    if (!DecryptFileWithHeader(kKey, 32, W(path), W(out)))
        return "<failed>";
    return pellux_test::ReadFile(out);
}

// The pause comes before the 20th chunk is read: 19 chunks are in by then.
TEST_F(FileCryptTest, SourceChangingWhileEncodedDecodesToWhatWasRead) {
    const std::string original = SomeBytes(1363149, 21);
    const std::string extra = SomeBytes(70001, 22);
    struct Case {
        const char* what;
        std::function<void()> change;
        std::string expected;
    };
    const Case cases[] = {
        {"grows",
         [&] {
             int fd = open(Path("plain").c_str(), O_WRONLY | O_APPEND);
             ASSERT_EQ(write(fd, extra.data(), extra.size()), static_cast<ssize_t>(extra.size()));
             close(fd);
         },
         original + extra},
        {"shrinks", [&] { ASSERT_EQ(truncate(Path("plain").c_str(), 1300001), 0); },
         original.substr(0, 1300001)},
        {"cut below what was read", [&] { ASSERT_EQ(truncate(Path("plain").c_str(), 1000), 0); },
         original.substr(0, 19 * kChunk)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), original));
        onPause_ = c.change;
        ASSERT_NE(EncryptFileWithHeader(kKey, 32, W(Path("plain")), W(Path("enc"))), 0);
        const std::string encoded = pellux_test::ReadFile(Path("enc"));
        EXPECT_EQ(Le32(encoded, 39), c.expected.size());
        EXPECT_EQ(Le32(encoded, 43), Padded(c.expected.size()));
        EXPECT_EQ(encoded.size(), 47 + Padded(c.expected.size()));
        EXPECT_TRUE(Decode(Path("enc"), Path("back")) == c.expected);
    }
}

TEST_F(FileCryptTest, ShortReadsAreNotTakenForTheEndOfTheFile) {
    const std::string plain = SomeBytes(3 * kChunk + 1234, 25);
    ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), plain));
    g_readCap = 4093;
    const BOOL encoded = EncryptFileWithHeader(kKey, 32, W(Path("plain")), W(Path("enc")));
    const std::string decoded = Decode(Path("enc"), Path("back"));
    g_readCap = 0;
    ASSERT_NE(encoded, 0);
    EXPECT_EQ(Le32(pellux_test::ReadFile(Path("enc")), 39), plain.size());
    EXPECT_TRUE(decoded == plain);
}

TEST_F(FileCryptTest, SourcesTooLargeForTheSizeFieldsAreRefused) {
    for (uint64_t size : {uint64_t{0xFFFFFFF0u}, uint64_t{0xFFFFFFFFu}, uint64_t{5} << 30}) {
        // Sparse: no disk space needed.
        ASSERT_TRUE(pellux_test::WriteFile(Path("huge"), ""));
        ASSERT_EQ(truncate(Path("huge").c_str(), static_cast<off_t>(size)), 0);
        EXPECT_EQ(EncryptFileWithHeader(kKey, 32, W(Path("huge")), W(Path("enc"))), 0) << size;
        EXPECT_FALSE(FileExists(Path("enc")));
    }
    EXPECT_EQ(Entries(), std::set<std::string>{"huge"});
}

TEST_F(FileCryptTest, LongRunsPauseEvery20Chunks) {
    // 41 chunks and a bit: rounds 20 and 40 pause, in both directions.
    ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), SomeBytes(41 * kChunk + 5, 26)));
    ASSERT_NE(EncryptFileWithHeader(kKey, 32, W(Path("plain")), W(Path("enc"))), 0);
    EXPECT_EQ(pauses_.load(), 2);
    pauses_ = 0;
    ASSERT_NE(DecryptFileWithHeader(kKey, 32, W(Path("enc")), W(Path("back"))), 0);
    EXPECT_EQ(pauses_.load(), 2);
}

TEST_F(FileCryptTest, EncodingAFileOntoItselfKeepsItsContents) {
    const std::string plain = SomeBytes(2 * 1024 * 1024 + 3, 27);
    ASSERT_TRUE(pellux_test::WriteFile(Path("file"), plain));
    ASSERT_NE(EncryptFileWithHeader(kKey, 32, W(Path("file")), W(Path("file"))), 0);
    ASSERT_NE(DecryptFileWithHeader(kKey, 32, W(Path("file")), W(Path("file"))), 0);
    EXPECT_TRUE(pellux_test::ReadFile(Path("file")) == plain);
}

TEST_F(FileCryptTest, SeveralCallsAtOnceDoNotDisturbEachOther) {
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([this, i, &good] {
            const std::string n = std::to_string(i);
            const std::string plain = SomeBytes(1500000 + 17 * static_cast<size_t>(i), 30 + i);
            if (!pellux_test::WriteFile(Path("plain" + n), plain))
                return;
            if (!EncryptFileWithHeader(kKey, 32, W(Path("plain" + n)), W(Path("enc" + n))))
                return;
            if (!DecryptFileWithHeader(kKey, 32, W(Path("enc" + n)), W(Path("back" + n))))
                return;
            if (pellux_test::ReadFile(Path("back" + n)) == plain)
                ++good;
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(good.load(), 4);
}

}  // namespace
}  // namespace filecrypttest
