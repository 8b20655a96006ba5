#include "base/filecrypt/encryptedstreamreader.h"
#include "tests/base/crypto/cryptopaths.h"
#include "tests/base/filecrypt/filecrypttestsupport.h"

namespace filecrypttest {
namespace {

const size_t kSizes[] = {0, 1, 15, 16, 17, 65535, 65536, 65537, 1300000 + 3};

// Decodes the bytes as a download brings them, in pieces of `piece` bytes.
bool StreamDecode(const std::string& encoded, size_t piece, const std::string& destination) {
    EncryptedStreamReader reader;
    if (!reader.Begin(kKey, 32, W(destination), nullptr, nullptr))
        return false;
    for (size_t at = 0; at < encoded.size(); at += piece) {
        if (!reader.Write(encoded.data() + at, std::min(piece, encoded.size() - at)))
            return false;
    }
    return reader.Finish();
}

class EncryptedFileRoundTrip : public FileCryptTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FileCryptTest::SetUp();
        SetPortableCryptoForced(GetParam());
    }
};

PELLUX_BOTH_CRYPTO_PATHS(EncryptedFileRoundTrip);

TEST_P(EncryptedFileRoundTrip, EverySizeDecodesToTheSameBytesBehindAWellFormedHeader) {
    for (size_t size : kSizes) {
        SCOPED_TRACE(size);
        const std::string plain = SomeBytes(size, static_cast<uint32_t>(size));
        ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), plain));
        ASSERT_NE(EncryptFileToHeaderFormat(kKey, 32, W(Path("plain")), W(Path("enc"))), 0);
        const std::string encoded = pellux_test::ReadFile(Path("enc"));
        ASSERT_EQ(encoded.size(), 47 + Padded(size));
        EXPECT_EQ(encoded.substr(0, 19), "Velmoran_FileHeader");
        EXPECT_EQ(Le32(encoded, 19), 1u);
        EXPECT_EQ(Le32(encoded, 39), size);
        EXPECT_EQ(Le32(encoded, 43), Padded(size));
        ASSERT_NE(DecryptFileWithHeader(kKey, 32, W(Path("enc")), W(Path("back"))), 0);
        EXPECT_TRUE(pellux_test::ReadFile(Path("back")) == plain);
        int kind = -1, format = -1;
        ASSERT_NE(ProbeEncryptedFileFormat(W(Path("enc")), &kind), 0);
        EXPECT_EQ(kind, kEncryptedFileCurrent);
        ASSERT_NE(DecryptFileAnyFormat(kKey, 32, W(Path("enc")), W(Path("back")), &format), 0);
        EXPECT_EQ(format, kDecodedCurrent);
        EXPECT_TRUE(pellux_test::ReadFile(Path("back")) == plain);
        for (size_t piece : {size_t(1), size_t(47), size_t(16384), size_t(1) << 20}) {
            SCOPED_TRACE(piece);
            if (piece == 1 && size > 70000)
                continue;
            ASSERT_TRUE(StreamDecode(encoded, piece, Path("back")));
            EXPECT_TRUE(pellux_test::ReadFile(Path("back")) == plain);
        }
    }
    // Nothing but the three files: no temporary leftovers.
    EXPECT_EQ(Entries(), (std::set<std::string>{"back", "enc", "plain"}));
}

// Our output read by openssl ("dgst -md5" for the digest, "enc -d" for the
// body), and a file put together from openssl's output alone read by us.
TEST_F(FileCryptTest, OpenSslReadsOurFilesAndWritesFilesWeRead) {
    if (!pellux_test::HaveProgram("openssl"))
        GTEST_SKIP() << "no openssl";
    for (size_t size : kSizes) {
        SCOPED_TRACE(size);
        const std::string plain = SomeBytes(size, 100 + static_cast<uint32_t>(size));
        const std::string padded = plain + std::string(Padded(size) - size, '\0');
        ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), plain));
        ASSERT_NE(EncryptFileWithHeader(kKey, 32, W(Path("plain")), W(Path("enc"))), 0);
        const std::string encoded = pellux_test::ReadFile(Path("enc"));
        ASSERT_GE(encoded.size(), 47u);
        ASSERT_TRUE(pellux_test::WriteFile(Path("body"), encoded.substr(47)));
        EXPECT_EQ(OpenSslMd5(Path("body")), ToHex(reinterpret_cast<const uint8_t*>(encoded.data()) + 23, 16));
        ASSERT_TRUE(OpenSslEcb(true, Path("body"), Path("opened")));
        EXPECT_TRUE(pellux_test::ReadFile(Path("opened")) == padded);

        ASSERT_TRUE(pellux_test::WriteFile(Path("padded"), padded));
        ASSERT_TRUE(OpenSslEcb(false, Path("padded"), Path("body")));
        const std::string body = pellux_test::ReadFile(Path("body"));
        ASSERT_TRUE(OpenSsl("dgst -md5 -binary -out '" + Path("digest") + "' '" + Path("body") + "'"));
        std::string file = "Velmoran_FileHeader" + std::string(28, '\0');
        PutLe32(file, 19, 1);
        file.replace(23, 16, pellux_test::ReadFile(Path("digest")));
        PutLe32(file, 39, static_cast<uint32_t>(size));
        PutLe32(file, 43, static_cast<uint32_t>(Padded(size)));
        ASSERT_TRUE(pellux_test::WriteFile(Path("built"), file + body));
        ASSERT_NE(DecryptFileWithHeader(kKey, 32, W(Path("built")), W(Path("back"))), 0);
        EXPECT_TRUE(pellux_test::ReadFile(Path("back")) == plain);
    }
}

TEST_F(FileCryptTest, DamagedFilesFailAndLeaveNoDestinationOrKeepTheOldOne) {
    const size_t size = 100003;
    ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), SomeBytes(size, 3)));
    ASSERT_NE(EncryptFileWithHeader(kKey, 32, W(Path("plain")), W(Path("enc"))), 0);
    const std::string good = pellux_test::ReadFile(Path("enc"));
    ASSERT_EQ(good.size(), 47 + Padded(size));

    struct Damage {
        const char* what;
        std::function<void(std::string&)> apply;
    };
    const Damage damages[] = {
        {"magic", [](std::string& f) { f[3] ^= 1; }},
        {"version 2", [](std::string& f) { PutLe32(f, 19, 2); }},
        {"digest", [](std::string& f) { f[30] ^= 0x80; }},
        {"plainSize above paddedSize", [](std::string& f) { PutLe32(f, 39, Le32(f, 39) + 16); }},
        {"plainSize a block short", [](std::string& f) { PutLe32(f, 39, Le32(f, 39) - 16); }},
        {"paddedSize not a multiple of 16", [](std::string& f) { PutLe32(f, 43, Le32(f, 43) - 1); }},
        {"paddedSize a block short", [](std::string& f) { PutLe32(f, 43, Le32(f, 43) - 16); }},
        {"paddedSize a block long", [](std::string& f) { PutLe32(f, 43, Le32(f, 43) + 16); }},
        {"sizes both huge",
         [](std::string& f) {
             PutLe32(f, 39, 0xFFFFFFF0u);
             PutLe32(f, 43, 0xFFFFFFF0u);
         }},
        {"first ciphertext byte", [](std::string& f) { f[47] ^= 1; }},
        {"last ciphertext byte", [](std::string& f) { f.back() ^= 0x01; }},
        {"truncated by a block", [](std::string& f) { f.resize(f.size() - 16); }},
        {"header only", [](std::string& f) { f.resize(47); }},
        {"shorter than a header", [](std::string& f) { f.resize(46); }},
        {"a block appended", [](std::string& f) { f.append(16, '\0'); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::string bad = good;
        damage.apply(bad);
        ASSERT_TRUE(pellux_test::WriteFile(Path("bad"), bad));
        EXPECT_EQ(DecryptFileWithHeader(kKey, 32, W(Path("bad")), W(Path("out"))), 0);
        EXPECT_FALSE(FileExists(Path("out")));
        int format = -1;
        EXPECT_EQ(DecryptFileAnyFormat(kKey, 32, W(Path("bad")), W(Path("out")), &format), 0);
        EXPECT_FALSE(FileExists(Path("out")));
        // The same while the bytes arrive, whatever the pieces.
        for (size_t piece : {size_t(16384), size_t(65536 + 47), size_t(1) << 20}) {
            EXPECT_FALSE(StreamDecode(bad, piece, Path("out"))) << piece;
            EXPECT_FALSE(FileExists(Path("out")));
        }
    }
    // A failed decode keeps an existing destination as it was.
    std::string bad = good;
    bad[100] ^= 1;
    ASSERT_TRUE(pellux_test::WriteFile(Path("bad"), bad));
    ASSERT_TRUE(pellux_test::WriteFile(Path("out"), "previous contents"));
    EXPECT_EQ(DecryptFileWithHeader(kKey, 32, W(Path("bad")), W(Path("out"))), 0);
    EXPECT_FALSE(StreamDecode(bad, 4096, Path("out")));
    EXPECT_EQ(pellux_test::ReadFile(Path("out")), "previous contents");
    EXPECT_EQ(Entries(), (std::set<std::string>{"bad", "enc", "out", "plain"}));
}

TEST_F(FileCryptTest, KeysOfOtherLengthsAndMissingFilesFail) {
    ASSERT_TRUE(pellux_test::WriteFile(Path("plain"), "some text"));
    for (size_t length : {0u, 8u, 31u, 33u}) {
        EXPECT_EQ(EncryptFileWithHeader(kKey, length, W(Path("plain")), W(Path("enc"))), 0) << length;
        EXPECT_FALSE(FileExists(Path("enc")));
    }
    EXPECT_EQ(EncryptFileWithHeader(kKey, 32, W(Path("missing")), W(Path("enc"))), 0);
    EXPECT_FALSE(FileExists(Path("enc")));
    EXPECT_EQ(EncryptFileWithHeader(kKey, 32, W(folder_), W(Path("enc"))), 0);
    EXPECT_FALSE(FileExists(Path("enc")));
    EXPECT_EQ(DecryptFileWithHeader(kKey, 32, W(Path("missing")), W(Path("out"))), 0);
    // The cipher's other key sizes work as well.
    ASSERT_NE(EncryptFileWithHeader(kKey, 16, W(Path("plain")), W(Path("enc"))), 0);
    EXPECT_EQ(DecryptFileWithHeader(kKey, 31, W(Path("enc")), W(Path("out"))), 0);
    EXPECT_FALSE(FileExists(Path("out")));
    ASSERT_NE(DecryptFileWithHeader(kKey, 16, W(Path("enc")), W(Path("out"))), 0);
    EXPECT_EQ(pellux_test::ReadFile(Path("out")), "some text");
}

}  // namespace
}  // namespace filecrypttest
