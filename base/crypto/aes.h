#pragma once
// AES (FIPS-197), one 16-byte block at a time: the block cipher of the
// encrypted-file format. Takes 128-, 192- and 256-bit keys.
//
// The portable path is table-driven with tables built per object; when the CPU
// has AES-NI (and the portable path is not forced) the object uses it instead.
// Both give the standard output bytes.
#include <cstddef>
#include <cstdint>

class CAes {
public:
    CAes();
    ~CAes();
    CAes(const CAes&) = delete;
    CAes& operator=(const CAes&) = delete;

    // Key lengths other than 16, 24 and 32 bytes are refused (false) and leave
    // the object without a key.
    bool SetKey(const uint8_t* key, size_t keyLength);
    bool HasKey() const { return rounds_ != 0; }
    // True when this object runs on AES-NI.
    bool UsesAesNi() const { return aesni_; }

    // One block each; in and out may be the same buffer. No chaining.
    void EncryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    void DecryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    // `blocks` blocks, each handled alone (ECB), several at once where the
    // hardware allows.
    void EncryptBlocks(const uint8_t* in, uint8_t* out, size_t blocks) const;
    void DecryptBlocks(const uint8_t* in, uint8_t* out, size_t blocks) const;

private:
    void BuildTables();
    void EncryptPortable(const uint8_t in[16], uint8_t out[16]) const;
    void DecryptPortable(const uint8_t in[16], uint8_t out[16]) const;

    uint8_t sbox_[256];
    uint8_t inverseSbox_[256];
    uint32_t rcon_[10];
    uint32_t te_[4][256];
    uint32_t td_[4][256];
    // Round keys as little-endian words; 4 * (rounds + 1) of each are used.
    alignas(16) uint32_t encryptKeys_[60];
    alignas(16) uint32_t decryptKeys_[60];
    // 10, 12 or 14 once keyed; 0 while no key is set.
    int rounds_ = 0;
    // Chosen when the key is set: AES-NI available and not forced off.
    bool aesni_ = false;
};
