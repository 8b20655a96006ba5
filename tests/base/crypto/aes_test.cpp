#include "base/crypto/aes.h"

#include "tests/base/crypto/cryptopaths.h"
#include "tests/base/crypto/hexbytes.h"

namespace {

class Aes : public BothCryptoPaths {};
PELLUX_BOTH_CRYPTO_PATHS(Aes);

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// FIPS-197 appendix B and appendix C.1 to C.3.
const Vector kFips197[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
     "3925841d02dc09fbdc118597196a0b32"},
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
     "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
     "8ea2b7ca516745bfeafc49904b496089"},
};

TEST_P(Aes, Fips197VectorsEncryptAndDecryptForEveryKeySizeAndOtherSizesAreRefused) {
    const auto junk = PseudoRandomBytes(64, 1);
    CAes refused;
    for (size_t keyLength : {0u, 1u, 15u, 17u, 23u, 31u, 33u, 64u}) {
        EXPECT_FALSE(refused.SetKey(junk.data(), keyLength)) << keyLength;
        EXPECT_FALSE(refused.HasKey());
    }
    EXPECT_FALSE(refused.SetKey(nullptr, 32));
    for (const Vector& v : kFips197) {
        SCOPED_TRACE(v.key);
        const auto key = FromHex(v.key);
        const auto plain = FromHex(v.plain);
        CAes aes;
        ASSERT_TRUE(aes.SetKey(key.data(), key.size()));
        EXPECT_TRUE(aes.HasKey());
        EXPECT_EQ(aes.UsesAesNi(), !GetParam() && CpuHasAesNi());
        uint8_t out[16];
        aes.EncryptBlock(plain.data(), out);
        EXPECT_EQ(ToHex(out, 16), v.cipher);
        uint8_t back[16];
        aes.DecryptBlock(out, back);
        EXPECT_EQ(ToHex(back, 16), v.plain);
        // In place.
        aes.DecryptBlock(out, out);
        EXPECT_EQ(ToHex(out, 16), v.plain);
    }
}

TEST_P(Aes, ManyBlocksAtOnceMatchOneBlockAtATime) {
    for (size_t keyLength : {16u, 24u, 32u}) {
        const auto key = PseudoRandomBytes(keyLength, static_cast<uint32_t>(keyLength));
        CAes aes;
        ASSERT_TRUE(aes.SetKey(key.data(), key.size()));
        // Counts around the eight-block stride of the hardware path, from an
        // odd address.
        for (size_t blocks : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 33u}) {
            const auto buffer = PseudoRandomBytes(blocks * 16 + 1, static_cast<uint32_t>(blocks));
            const uint8_t* in = buffer.data() + 1;
            std::vector<uint8_t> many(blocks * 16), single(blocks * 16), back(blocks * 16);
            aes.EncryptBlocks(in, many.data(), blocks);
            for (size_t i = 0; i < blocks; ++i)
                aes.EncryptBlock(in + 16 * i, single.data() + 16 * i);
            EXPECT_EQ(many, single) << keyLength << " " << blocks;
            aes.DecryptBlocks(many.data(), back.data(), blocks);
            EXPECT_TRUE(std::equal(back.begin(), back.end(), in)) << keyLength << " " << blocks;
        }
    }
}

}  // namespace
