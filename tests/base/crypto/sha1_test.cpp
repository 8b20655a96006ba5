#include "base/crypto/sha1.h"

#include <cstdio>

#include "tests/base/crypto/cryptopaths.h"
#include "tests/base/crypto/hexbytes.h"

namespace {

class Sha1 : public BothCryptoPaths {};
PELLUX_BOTH_CRYPTO_PATHS(Sha1);

// The five words printed "%08x" each, as the content hash is shown.
std::string Print(const uint32_t words[5]) {
    char text[41];
    std::snprintf(text, sizeof(text), "%08x%08x%08x%08x%08x", words[0], words[1], words[2], words[3],
                  words[4]);
    return text;
}

std::string Sha1Hex(const std::string& text) {
    Sha1Context context;
    Sha1Init(&context);
    Sha1Update(text.data(), text.size(), &context);
    uint32_t words[5];
    Sha1Final(&context, words);
    return Print(words);
}

TEST_P(Sha1, Fips180_1Vectors) {
    EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Sha1Hex(std::string(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    EXPECT_EQ(Sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    // Around one block, as for MD5.
    EXPECT_EQ(Sha1Hex(std::string(55, 'a')), "c1c8bbdc22796e28c0e15163d20899b65621d65a");
    EXPECT_EQ(Sha1Hex(std::string(56, 'a')), "c2db330f6083854c99d4b5bfb6e8f29f201be699");
    EXPECT_EQ(Sha1Hex(std::string(64, 'a')), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
}

TEST_P(Sha1, PiecesFromAlignedAndUnalignedAddressesGiveTheDigestOfOneCall) {
    const size_t total = 4096 + 77;
    const auto data = PseudoRandomBytes(total, 5);
    const std::string expected = Sha1Hex(std::string(data.begin(), data.end()));
    for (size_t piece : {1u, 63u, 64u, 65u}) {
        for (size_t offset = 0; offset < 4; ++offset) {
            // 8-byte aligned storage plus 0..3 bytes.
            std::vector<uint64_t> storage((total + offset) / 8 + 2);
            uint8_t* base = reinterpret_cast<uint8_t*>(storage.data()) + offset;
            std::copy(data.begin(), data.end(), base);
            Sha1Context context;
            Sha1Init(&context);
            for (size_t done = 0; done < total; done += piece)
                Sha1Update(base + done, std::min(piece, total - done), &context);
            uint32_t words[5];
            Sha1Final(&context, words);
            EXPECT_EQ(Print(words), expected) << piece << "@" << offset;
        }
    }
}

}  // namespace
