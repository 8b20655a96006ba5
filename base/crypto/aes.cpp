#include "base/crypto/aes.h"

#include <cstring>

#include "base/crypto/cryptodispatch.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PELLUX_AES_X86 1
#endif

namespace {

inline uint32_t Load32Le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void Store32Le(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline uint8_t XTime(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1b : 0));
}

uint8_t Multiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b != 0) {
        if (b & 1)
            product ^= a;
        a = XTime(a);
        b >>= 1;
    }
    return product;
}

inline uint8_t Byte(uint32_t w, int n) {
    return static_cast<uint8_t>(w >> (8 * n));
}

#ifdef PELLUX_AES_X86

#define PELLUX_AESNI __attribute__((target("aes,sse4.1")))

// Eight independent blocks keep the AES unit busy while each round waits for
// the one before it; the blocks are named variables so they stay in registers.
#define PELLUX_AES_EIGHT(op, key)  \
    do {                           \
        const __m128i rk_ = (key); \
        b0 = op(b0, rk_);          \
        b1 = op(b1, rk_);          \
        b2 = op(b2, rk_);          \
        b3 = op(b3, rk_);          \
        b4 = op(b4, rk_);          \
        b5 = op(b5, rk_);          \
        b6 = op(b6, rk_);          \
        b7 = op(b7, rk_);          \
    } while (0)

#define PELLUX_AES_BLOCKS_NI(name, roundOp, lastOp)                                                  \
    PELLUX_AESNI void name(const uint32_t* keyWords, int rounds, const uint8_t* in, uint8_t* out,    \
                           size_t blocks) {                                                          \
        const __m128i* k = reinterpret_cast<const __m128i*>(keyWords);                               \
        const __m128i first = _mm_load_si128(k);                                                     \
        const __m128i last = _mm_load_si128(k + rounds);                                             \
        for (; blocks >= 8; blocks -= 8, in += 128, out += 128) {                                    \
            const __m128i* src = reinterpret_cast<const __m128i*>(in);                               \
            __m128i b0 = _mm_xor_si128(_mm_loadu_si128(src + 0), first);                             \
            __m128i b1 = _mm_xor_si128(_mm_loadu_si128(src + 1), first);                             \
            __m128i b2 = _mm_xor_si128(_mm_loadu_si128(src + 2), first);                             \
            __m128i b3 = _mm_xor_si128(_mm_loadu_si128(src + 3), first);                             \
            __m128i b4 = _mm_xor_si128(_mm_loadu_si128(src + 4), first);                             \
            __m128i b5 = _mm_xor_si128(_mm_loadu_si128(src + 5), first);                             \
            __m128i b6 = _mm_xor_si128(_mm_loadu_si128(src + 6), first);                             \
            __m128i b7 = _mm_xor_si128(_mm_loadu_si128(src + 7), first);                             \
            for (int r = 1; r < rounds; ++r)                                                         \
                PELLUX_AES_EIGHT(roundOp, _mm_load_si128(k + r));                                    \
            PELLUX_AES_EIGHT(lastOp, last);                                                          \
            __m128i* dst = reinterpret_cast<__m128i*>(out);                                          \
            _mm_storeu_si128(dst + 0, b0);                                                           \
            _mm_storeu_si128(dst + 1, b1);                                                           \
            _mm_storeu_si128(dst + 2, b2);                                                           \
            _mm_storeu_si128(dst + 3, b3);                                                           \
            _mm_storeu_si128(dst + 4, b4);                                                           \
            _mm_storeu_si128(dst + 5, b5);                                                           \
            _mm_storeu_si128(dst + 6, b6);                                                           \
            _mm_storeu_si128(dst + 7, b7);                                                           \
        }                                                                                            \
        for (; blocks != 0; --blocks, in += 16, out += 16) {                                         \
            __m128i b = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), first); \
            for (int r = 1; r < rounds; ++r)                                                         \
                b = roundOp(b, _mm_load_si128(k + r));                                               \
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), lastOp(b, last));                      \
        }                                                                                            \
    }

PELLUX_AES_BLOCKS_NI(EncryptBlocksNi, _mm_aesenc_si128, _mm_aesenclast_si128)
PELLUX_AES_BLOCKS_NI(DecryptBlocksNi, _mm_aesdec_si128, _mm_aesdeclast_si128)

#undef PELLUX_AES_BLOCKS_NI
#undef PELLUX_AES_EIGHT

// The equivalent inverse cipher's schedule: the encryption keys in reverse
// order, InvMixColumns applied to the inner ones.
PELLUX_AESNI void InverseScheduleNi(const uint32_t* encryptKeys, int rounds, uint32_t* decryptKeys) {
    for (int r = 0; r <= rounds; ++r) {
        __m128i key = _mm_load_si128(reinterpret_cast<const __m128i*>(encryptKeys + 4 * (rounds - r)));
        if (r != 0 && r != rounds)
            key = _mm_aesimc_si128(key);
        _mm_store_si128(reinterpret_cast<__m128i*>(decryptKeys + 4 * r), key);
    }
}

#endif

}  // namespace

CAes::CAes() {
    BuildTables();
}

CAes::~CAes() {
    volatile uint32_t* keys = encryptKeys_;
    for (size_t i = 0; i < 60; ++i)
        keys[i] = 0;
    keys = decryptKeys_;
    for (size_t i = 0; i < 60; ++i)
        keys[i] = 0;
}

void CAes::BuildTables() {
    // The S-box from the multiplicative inverse in GF(2^8) (walked with the
    // generator 3) and the affine map.
    uint8_t power[256];
    uint8_t logarithm[256];
    uint8_t x = 1;
    for (int i = 0; i < 256; ++i) {
        power[i] = x;
        logarithm[x] = static_cast<uint8_t>(i);
        x ^= XTime(x);
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t inverse = i == 0 ? 0 : power[255 - logarithm[i]];
        uint8_t s = inverse;
        uint8_t rotated = inverse;
        for (int r = 0; r < 4; ++r) {
            rotated = static_cast<uint8_t>((rotated << 1) | (rotated >> 7));
            s ^= rotated;
        }
        s ^= 0x63;
        sbox_[i] = s;
        inverseSbox_[s] = static_cast<uint8_t>(i);
    }
    uint8_t rc = 1;
    for (int i = 0; i < 10; ++i) {
        rcon_[i] = rc;
        rc = XTime(rc);
    }
    // Words are little-endian: byte n of a word is row n of a state column.
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = sbox_[i];
        const uint32_t e = static_cast<uint32_t>(XTime(s)) | static_cast<uint32_t>(s) << 8 |
                           static_cast<uint32_t>(s) << 16 | static_cast<uint32_t>(XTime(s) ^ s) << 24;
        const uint8_t v = inverseSbox_[i];
        const uint32_t d =
            static_cast<uint32_t>(Multiply(v, 14)) | static_cast<uint32_t>(Multiply(v, 9)) << 8 |
            static_cast<uint32_t>(Multiply(v, 13)) << 16 | static_cast<uint32_t>(Multiply(v, 11)) << 24;
        for (int t = 0; t < 4; ++t) {
            te_[t][i] = t == 0 ? e : Rotl(e, 8 * t);
            td_[t][i] = t == 0 ? d : Rotl(d, 8 * t);
        }
    }
}

bool CAes::SetKey(const uint8_t* key, size_t keyLength) {
    rounds_ = 0;
    aesni_ = false;
    if (key == nullptr || (keyLength != 16 && keyLength != 24 && keyLength != 32))
        return false;
    const int nk = static_cast<int>(keyLength / 4);
    const int rounds = nk + 6;
    const int total = 4 * (rounds + 1);
    uint32_t* w = encryptKeys_;
    for (int i = 0; i < nk; ++i)
        w[i] = Load32Le(key + 4 * i);
    for (int i = nk; i < total; ++i) {
        uint32_t t = w[i - 1];
        if (i % nk == 0) {
            // RotWord then SubWord; with little-endian words RotWord is a right rotation.
            t = Rotl(t, 24);
            t = static_cast<uint32_t>(sbox_[Byte(t, 0)]) | static_cast<uint32_t>(sbox_[Byte(t, 1)]) << 8 |
                static_cast<uint32_t>(sbox_[Byte(t, 2)]) << 16 |
                static_cast<uint32_t>(sbox_[Byte(t, 3)]) << 24;
            t ^= rcon_[i / nk - 1];
        } else if (nk > 6 && i % nk == 4) {
            t = static_cast<uint32_t>(sbox_[Byte(t, 0)]) | static_cast<uint32_t>(sbox_[Byte(t, 1)]) << 8 |
                static_cast<uint32_t>(sbox_[Byte(t, 2)]) << 16 |
                static_cast<uint32_t>(sbox_[Byte(t, 3)]) << 24;
        }
        w[i] = w[i - nk] ^ t;
    }

#ifdef PELLUX_AES_X86
    aesni_ = UseAesNi();
    if (aesni_) {
        InverseScheduleNi(encryptKeys_, rounds, decryptKeys_);
        rounds_ = rounds;
        return true;
    }
#endif
    uint32_t* dk = decryptKeys_;
    for (int r = 0; r <= rounds; ++r) {
        for (int c = 0; c < 4; ++c) {
            uint32_t k = w[4 * (rounds - r) + c];
            if (r != 0 && r != rounds) {
                // InvMixColumns through the tables: td[S[x]] is InvMixColumns of x.
                k = td_[0][sbox_[Byte(k, 0)]] ^ td_[1][sbox_[Byte(k, 1)]] ^ td_[2][sbox_[Byte(k, 2)]] ^
                    td_[3][sbox_[Byte(k, 3)]];
            }
            dk[4 * r + c] = k;
        }
    }
    rounds_ = rounds;
    return true;
}

void CAes::EncryptPortable(const uint8_t in[16], uint8_t out[16]) const {
    const uint32_t* rk = encryptKeys_;
    uint32_t s0 = Load32Le(in) ^ rk[0];
    uint32_t s1 = Load32Le(in + 4) ^ rk[1];
    uint32_t s2 = Load32Le(in + 8) ^ rk[2];
    uint32_t s3 = Load32Le(in + 12) ^ rk[3];
    for (int r = 1; r < rounds_; ++r) {
        rk += 4;
        const uint32_t t0 =
            te_[0][Byte(s0, 0)] ^ te_[1][Byte(s1, 1)] ^ te_[2][Byte(s2, 2)] ^ te_[3][Byte(s3, 3)] ^ rk[0];
        const uint32_t t1 =
            te_[0][Byte(s1, 0)] ^ te_[1][Byte(s2, 1)] ^ te_[2][Byte(s3, 2)] ^ te_[3][Byte(s0, 3)] ^ rk[1];
        const uint32_t t2 =
            te_[0][Byte(s2, 0)] ^ te_[1][Byte(s3, 1)] ^ te_[2][Byte(s0, 2)] ^ te_[3][Byte(s1, 3)] ^ rk[2];
        const uint32_t t3 =
            te_[0][Byte(s3, 0)] ^ te_[1][Byte(s0, 1)] ^ te_[2][Byte(s1, 2)] ^ te_[3][Byte(s2, 3)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    auto last = [this](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        return static_cast<uint32_t>(sbox_[Byte(a, 0)]) | static_cast<uint32_t>(sbox_[Byte(b, 1)]) << 8 |
               static_cast<uint32_t>(sbox_[Byte(c, 2)]) << 16 |
               static_cast<uint32_t>(sbox_[Byte(d, 3)]) << 24;
    };
    Store32Le(out, last(s0, s1, s2, s3) ^ rk[0]);
    Store32Le(out + 4, last(s1, s2, s3, s0) ^ rk[1]);
    Store32Le(out + 8, last(s2, s3, s0, s1) ^ rk[2]);
    Store32Le(out + 12, last(s3, s0, s1, s2) ^ rk[3]);
}

void CAes::DecryptPortable(const uint8_t in[16], uint8_t out[16]) const {
    const uint32_t* rk = decryptKeys_;
    uint32_t s0 = Load32Le(in) ^ rk[0];
    uint32_t s1 = Load32Le(in + 4) ^ rk[1];
    uint32_t s2 = Load32Le(in + 8) ^ rk[2];
    uint32_t s3 = Load32Le(in + 12) ^ rk[3];
    for (int r = 1; r < rounds_; ++r) {
        rk += 4;
        const uint32_t t0 =
            td_[0][Byte(s0, 0)] ^ td_[1][Byte(s3, 1)] ^ td_[2][Byte(s2, 2)] ^ td_[3][Byte(s1, 3)] ^ rk[0];
        const uint32_t t1 =
            td_[0][Byte(s1, 0)] ^ td_[1][Byte(s0, 1)] ^ td_[2][Byte(s3, 2)] ^ td_[3][Byte(s2, 3)] ^ rk[1];
        const uint32_t t2 =
            td_[0][Byte(s2, 0)] ^ td_[1][Byte(s1, 1)] ^ td_[2][Byte(s0, 2)] ^ td_[3][Byte(s3, 3)] ^ rk[2];
        const uint32_t t3 =
            td_[0][Byte(s3, 0)] ^ td_[1][Byte(s2, 1)] ^ td_[2][Byte(s1, 2)] ^ td_[3][Byte(s0, 3)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    auto last = [this](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        return static_cast<uint32_t>(inverseSbox_[Byte(a, 0)]) |
               static_cast<uint32_t>(inverseSbox_[Byte(b, 1)]) << 8 |
               static_cast<uint32_t>(inverseSbox_[Byte(c, 2)]) << 16 |
               static_cast<uint32_t>(inverseSbox_[Byte(d, 3)]) << 24;
    };
    Store32Le(out, last(s0, s3, s2, s1) ^ rk[0]);
    Store32Le(out + 4, last(s1, s0, s3, s2) ^ rk[1]);
    Store32Le(out + 8, last(s2, s1, s0, s3) ^ rk[2]);
    Store32Le(out + 12, last(s3, s2, s1, s0) ^ rk[3]);
}

void CAes::EncryptBlock(const uint8_t in[16], uint8_t out[16]) const {
    EncryptBlocks(in, out, 1);
}

void CAes::DecryptBlock(const uint8_t in[16], uint8_t out[16]) const {
    DecryptBlocks(in, out, 1);
}

void CAes::EncryptBlocks(const uint8_t* in, uint8_t* out, size_t blocks) const {
    if (rounds_ == 0)
        return;
#ifdef PELLUX_AES_X86
    if (aesni_) {
        EncryptBlocksNi(encryptKeys_, rounds_, in, out, blocks);
        return;
    }
#endif
    for (; blocks != 0; --blocks, in += 16, out += 16)
        EncryptPortable(in, out);
}

void CAes::DecryptBlocks(const uint8_t* in, uint8_t* out, size_t blocks) const {
    if (rounds_ == 0)
        return;
#ifdef PELLUX_AES_X86
    if (aesni_) {
        DecryptBlocksNi(decryptKeys_, rounds_, in, out, blocks);
        return;
    }
#endif
    for (; blocks != 0; --blocks, in += 16, out += 16)
        DecryptPortable(in, out);
}
