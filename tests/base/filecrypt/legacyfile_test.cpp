#include <cstring>

#include "base/crypto/aes.h"
#include "tests/base/filecrypt/filecrypttestsupport.h"

namespace filecrypttest {
namespace {

// An older-format file: "QTR", 0, version, flags, filler, padCount, filler,
// then the plaintext and `padCount` pad bytes encrypted by openssl in ECB.
class LegacyFileTest : public FileCryptTest {
protected:
    void SetUp() override {
        FileCryptTest::SetUp();
        if (!pellux_test::HaveProgram("openssl"))
            GTEST_SKIP() << "no openssl";
    }
    std::string BuildLegacy(const std::string& plain, uint8_t flags, uint8_t padCount, uint8_t version = 1) {
        std::string header = SomeBytes(64, 77);
        header.replace(0, 4, std::string("QTR\0", 4));
        header[4] = static_cast<char>(version);
        header[5] = static_cast<char>(flags);
        header[40] = static_cast<char>(padCount);
        std::string body;
        if (!plain.empty() || padCount != 0) {
            EXPECT_TRUE(pellux_test::WriteFile(Path("legacy-plain"), plain + std::string(padCount, '\x5a')));
            EXPECT_TRUE(OpenSslEcb(false, Path("legacy-plain"), Path("legacy-body")));
            body = pellux_test::ReadFile(Path("legacy-body"));
        }
        return header + body;
    }
};

TEST_F(LegacyFileTest, FixturesDecodeAndReportThePackedFlag) {
    struct Case {
        size_t size;
        uint8_t flags;
    };
    uint8_t longKey[64];
    std::memcpy(longKey, kKey, 32);
    std::memset(longKey + 32, 0xee, 32);
    for (Case c : {Case{0, 0}, Case{1, 0x40}, Case{16, 0}, Case{17, 0xff}, Case{65536 + 5, 0x40},
                   Case{1300000, 0x01}}) {
        SCOPED_TRACE(c.size);
        const std::string plain = SomeBytes(c.size, 40 + static_cast<uint32_t>(c.size));
        const uint8_t padCount = static_cast<uint8_t>((16 - c.size % 16) % 16);
        ASSERT_TRUE(pellux_test::WriteFile(Path("old"), BuildLegacy(plain, c.flags, padCount)));

        int kind = -1;
        ASSERT_NE(ProbeEncryptedFileFormat(W(Path("old")), &kind), 0);
        EXPECT_EQ(kind, kEncryptedFileLegacy);

        // Only the first 32 bytes of a longer key count.
        int packed = -1;
        ASSERT_NE(DecryptLegacyFile(W(Path("old")), W(Path("out")), longKey, 64, &packed), 0);
        EXPECT_EQ(packed, c.flags & 0x40);
        EXPECT_TRUE(pellux_test::ReadFile(Path("out")) == plain);

        int format = -1;
        ASSERT_NE(DecryptFileAnyFormat(kKey, 32, W(Path("old")), W(Path("any")), &format), 0);
        EXPECT_EQ(format, (c.flags & 0x40) ? kDecodedLegacyPacked : kDecodedLegacyPlain);
        EXPECT_TRUE(pellux_test::ReadFile(Path("any")) == plain);
    }
}

TEST_F(LegacyFileTest, DamagedOrHostileFilesAndShortKeysFail) {
    const std::string plain = SomeBytes(100, 50);
    struct Bad {
        const char* what;
        std::string file;
        size_t keyLength;
    };
    const std::string good = BuildLegacy(plain, 0x40, 12);
    const Bad bads[] = {
        {"padCount 20", BuildLegacy(SomeBytes(108, 51), 0, 20), 32},
        {"padCount 16", BuildLegacy(plain.substr(0, 96), 0, 16), 32},
        {"body of 40 bytes", good.substr(0, 64 + 40), 32},
        {"padCount above the body", BuildLegacy("", 0, 0).substr(0, 64).replace(40, 1, "\x05"), 32},
        {"version 2", BuildLegacy(plain, 0, 12, 2), 32},
        {"shorter than the header", good.substr(0, 63), 32},
        {"16-byte key", good, 16},
        {"31-byte key", good, 31},
        {"no key", good, 0},
    };
    for (const Bad& bad : bads) {
        SCOPED_TRACE(bad.what);
        ASSERT_TRUE(pellux_test::WriteFile(Path("bad"), bad.file));
        int packed = -1;
        EXPECT_EQ(DecryptLegacyFile(W(Path("bad")), W(Path("out")), kKey, bad.keyLength, &packed), 0);
        EXPECT_FALSE(FileExists(Path("out")));
        int format = -1;
        EXPECT_EQ(DecryptFileAnyFormat(kKey, bad.keyLength, W(Path("bad")), W(Path("out")), &format), 0);
        EXPECT_FALSE(FileExists(Path("out")));
    }
    // The good one passes with the same set-up.
    ASSERT_TRUE(pellux_test::WriteFile(Path("good"), good));
    int packed = -1;
    ASSERT_NE(DecryptLegacyFile(W(Path("good")), W(Path("out")), kKey, 32, &packed), 0);
    EXPECT_TRUE(pellux_test::ReadFile(Path("out")) == plain);
    EXPECT_EQ(packed, 0x40);
}

TEST_F(FileCryptTest, FilesOfNeitherFormatAreNotProbedAndNotDecoded) {
    const std::string texts[] = {"just a plain text file\n", "", "QTR", "Velmoran_FileHeade",
                                 std::string("QTR\x01", 4) + std::string(100, 'x')};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(pellux_test::WriteFile(Path("text"), text));
        int kind = -1;
        EXPECT_EQ(ProbeEncryptedFileFormat(W(Path("text")), &kind), 0);
        int format = -1;
        EXPECT_EQ(DecryptFileAnyFormat(kKey, 32, W(Path("text")), W(Path("out")), &format), 0);
        EXPECT_FALSE(FileExists(Path("out")));
    }
    int kind = -1;
    EXPECT_EQ(ProbeEncryptedFileFormat(W(Path("missing")), &kind), 0);
    EXPECT_EQ(ProbeEncryptedFileFormat(W(folder_), &kind), 0);
    EXPECT_EQ(Entries(), std::set<std::string>{"text"});
}

}  // namespace
}  // namespace filecrypttest
