#include "base/crypto/md5.h"

#include <gtest/gtest.h>

#include "tests/base/crypto/hexbytes.h"

namespace {

std::string Md5Hex(const std::string& text) {
    std::wstring out = L"left over";
    Md5HexString(text.data(), text.size(), out);
    return std::string(out.begin(), out.end());
}

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890123456789"
                     "0"),
              "57edf4a22be3c955ac49da2e2107b67a");
    // 55, 56 and 64 bytes put the length in the same block, force a second
    // block, and start on a fresh block.
    EXPECT_EQ(Md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(Md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

TEST(Md5, PiecesFromAnyAddressGiveTheDigestOfOneCallAndFinalResets) {
    const auto data = PseudoRandomBytes(1000 + 8, 11);
    MD5_Str whole;
    uint8_t expected[16];
    whole.Update(data.data(), 1000);
    whole.Final(expected);
    for (size_t piece : {1u, 63u, 64u, 65u}) {
        for (size_t offset = 0; offset < 4; ++offset) {
            // Copy to an odd position inside the buffer, then feed in pieces.
            std::vector<uint8_t> shifted(1000 + offset);
            std::copy(data.begin(), data.begin() + 1000, shifted.begin() + offset);
            DurevMD5::MD5 md5;
            for (size_t done = 0; done < 1000; done += piece)
                md5.Update(shifted.data() + offset + done, std::min(piece, 1000 - done));
            uint8_t digest[16];
            md5.Final(digest);
            EXPECT_EQ(ToHex(digest, 16), ToHex(expected, 16)) << piece << "@" << offset;
        }
    }
    // The object is ready again right after Final: nothing earlier leaks in.
    whole.Update("abc", 3);
    whole.Final(expected);
    EXPECT_EQ(ToHex(expected, 16), "900150983cd24fb0d6963f7d28e17f72");
    whole.Final(expected);
    EXPECT_EQ(ToHex(expected, 16), "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
