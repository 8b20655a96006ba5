#pragma once
// MD5 (RFC 1321): checks the ciphertext of the encrypted-file format and hashes
// the machine identity.
#include <cstddef>
#include <cstdint>
#include <string>

class MD5_Str {
public:
    MD5_Str() { Init(); }
    virtual ~MD5_Str();

    // Loads the initial state; the constructor and Final already do it.
    void Init();
    void Update(const void* bytes, size_t length);
    // Writes the 16-byte digest, then wipes the context and starts over, so
    // the object can be used again at once.
    void Final(uint8_t digest[16]);
    // Runs the compression over `blocks` whole 64-byte blocks.
    void Transform(const uint8_t* data, size_t blocks);

private:
    uint32_t state_[4];
    // Message length in bits, low and high words.
    uint32_t count_[2];
    uint8_t buffer_[64];
    uint8_t padding_[64];
};

namespace DurevMD5 {
// The encrypted-file codec's name for the same digest.
typedef MD5_Str MD5;
}  // namespace DurevMD5

// MD5 of the bytes as 32 lowercase hexadecimal digits; `out` is replaced.
void Md5HexString(const void* bytes, size_t length, std::wstring& out);
