#pragma once
// Shared pieces of the encrypted-file tests: a key, files in a temporary
// folder, the fast pause, and openssl as the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/crypto/cryptodispatch.h"
#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/filecryptpause.h"
#include "tests/base/basetestutil.h"
#include "tests/base/crypto/hexbytes.h"
#include "tests/support/testenvironment.h"

namespace filecrypttest {

constexpr uint8_t kKey[32] = {0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe, 0x2b, 0x73, 0xae,
                              0xf0, 0x85, 0x7d, 0x77, 0x81, 0x1f, 0x35, 0x2c, 0x07, 0x3b, 0x61,
                              0x08, 0xd7, 0x2d, 0x98, 0x10, 0xa3, 0x09, 0x14, 0xdf, 0xf4};

inline std::string SomeBytes(size_t length, uint32_t seed) {
    const std::vector<uint8_t> bytes = PseudoRandomBytes(length, seed);
    return std::string(bytes.begin(), bytes.end());
}

inline uint32_t Le32(const std::string& bytes, size_t offset) {
    return static_cast<uint32_t>(LeAt(bytes, offset, 4));
}

inline size_t Padded(size_t n) {
    return (n + 15) / 16 * 16;
}

inline void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
    bytes.replace(offset, 4, Le(value, 4));
}

// Replaces the 1 ms pause with a counter so the tests run fast; `onPause`
// (when set) runs at each pause.
class FileCryptTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = pellux_test::MakeTempDir("fc");
        SetFileCryptPause([this] {
            ++pauses_;
            if (onPause_)
                onPause_();
        });
    }
    void TearDown() override {
        SetFileCryptPause(nullptr);
        SetPortableCryptoForced(false);
    }
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    // Entries of the temporary folder (to see that nothing was left behind).
    std::set<std::string> Entries() const { return pellux_test::ListFolder(folder_); }

    std::string folder_;
    std::atomic<int> pauses_{0};
    std::function<void()> onPause_;
};

// Runs openssl with the arguments; true on exit status 0.
bool OpenSsl(const std::string& arguments);
// AES-256-ECB with kKey and no padding, from file to file, by openssl.
bool OpenSslEcb(bool decrypt, const std::string& in, const std::string& out);
// "openssl dgst -md5" of a file, as 32 hexadecimal digits.
std::string OpenSslMd5(const std::string& path);

}  // namespace filecrypttest
