#include "base/crypto/md5.h"

#include <cstring>

namespace {

inline uint32_t Load32Le(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

inline void Store32Le(uint8_t* p, uint32_t v) {
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    std::memcpy(p, &v, 4);
}

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// The round functions in their cheapest forms; G adds its two disjoint halves
// separately so they need not wait for each other.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define STEP_F(a, b, c, d, k, s, t)             \
    a += MD5_F(b, c, d) + x[k] + (uint32_t)(t); \
    a = Rotl(a, s) + b;
#define STEP_G(a, b, c, d, k, s, t)                           \
    a += x[k] + (uint32_t)(t) + ((~(d)) & (c)) + ((d) & (b)); \
    a = Rotl(a, s) + b;
#define STEP_H(a, b, c, d, k, s, t)             \
    a += MD5_H(b, c, d) + x[k] + (uint32_t)(t); \
    a = Rotl(a, s) + b;
#define STEP_I(a, b, c, d, k, s, t)             \
    a += MD5_I(b, c, d) + x[k] + (uint32_t)(t); \
    a = Rotl(a, s) + b;

void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blocks) {
    uint32_t a0 = state[0], b0 = state[1], c0 = state[2], d0 = state[3];
    for (; blocks != 0; --blocks, data += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = Load32Le(data + 4 * i);
        uint32_t a = a0, b = b0, c = c0, d = d0;

        STEP_F(a, b, c, d, 0, 7, 0xd76aa478)
        STEP_F(d, a, b, c, 1, 12, 0xe8c7b756)
        STEP_F(c, d, a, b, 2, 17, 0x242070db)
        STEP_F(b, c, d, a, 3, 22, 0xc1bdceee)
        STEP_F(a, b, c, d, 4, 7, 0xf57c0faf)
        STEP_F(d, a, b, c, 5, 12, 0x4787c62a)
        STEP_F(c, d, a, b, 6, 17, 0xa8304613)
        STEP_F(b, c, d, a, 7, 22, 0xfd469501)
        STEP_F(a, b, c, d, 8, 7, 0x698098d8)
        STEP_F(d, a, b, c, 9, 12, 0x8b44f7af)
        STEP_F(c, d, a, b, 10, 17, 0xffff5bb1)
        STEP_F(b, c, d, a, 11, 22, 0x895cd7be)
        STEP_F(a, b, c, d, 12, 7, 0x6b901122)
        STEP_F(d, a, b, c, 13, 12, 0xfd987193)
        STEP_F(c, d, a, b, 14, 17, 0xa679438e)
        STEP_F(b, c, d, a, 15, 22, 0x49b40821)

        STEP_G(a, b, c, d, 1, 5, 0xf61e2562)
        STEP_G(d, a, b, c, 6, 9, 0xc040b340)
        STEP_G(c, d, a, b, 11, 14, 0x265e5a51)
        STEP_G(b, c, d, a, 0, 20, 0xe9b6c7aa)
        STEP_G(a, b, c, d, 5, 5, 0xd62f105d)
        STEP_G(d, a, b, c, 10, 9, 0x02441453)
        STEP_G(c, d, a, b, 15, 14, 0xd8a1e681)
        STEP_G(b, c, d, a, 4, 20, 0xe7d3fbc8)
        STEP_G(a, b, c, d, 9, 5, 0x21e1cde6)
        STEP_G(d, a, b, c, 14, 9, 0xc33707d6)
        STEP_G(c, d, a, b, 3, 14, 0xf4d50d87)
        STEP_G(b, c, d, a, 8, 20, 0x455a14ed)
        STEP_G(a, b, c, d, 13, 5, 0xa9e3e905)
        STEP_G(d, a, b, c, 2, 9, 0xfcefa3f8)
        STEP_G(c, d, a, b, 7, 14, 0x676f02d9)
        STEP_G(b, c, d, a, 12, 20, 0x8d2a4c8a)

        STEP_H(a, b, c, d, 5, 4, 0xfffa3942)
        STEP_H(d, a, b, c, 8, 11, 0x8771f681)
        STEP_H(c, d, a, b, 11, 16, 0x6d9d6122)
        STEP_H(b, c, d, a, 14, 23, 0xfde5380c)
        STEP_H(a, b, c, d, 1, 4, 0xa4beea44)
        STEP_H(d, a, b, c, 4, 11, 0x4bdecfa9)
        STEP_H(c, d, a, b, 7, 16, 0xf6bb4b60)
        STEP_H(b, c, d, a, 10, 23, 0xbebfbc70)
        STEP_H(a, b, c, d, 13, 4, 0x289b7ec6)
        STEP_H(d, a, b, c, 0, 11, 0xeaa127fa)
        STEP_H(c, d, a, b, 3, 16, 0xd4ef3085)
        STEP_H(b, c, d, a, 6, 23, 0x04881d05)
        STEP_H(a, b, c, d, 9, 4, 0xd9d4d039)
        STEP_H(d, a, b, c, 12, 11, 0xe6db99e5)
        STEP_H(c, d, a, b, 15, 16, 0x1fa27cf8)
        STEP_H(b, c, d, a, 2, 23, 0xc4ac5665)

        STEP_I(a, b, c, d, 0, 6, 0xf4292244)
        STEP_I(d, a, b, c, 7, 10, 0x432aff97)
        STEP_I(c, d, a, b, 14, 15, 0xab9423a7)
        STEP_I(b, c, d, a, 5, 21, 0xfc93a039)
        STEP_I(a, b, c, d, 12, 6, 0x655b59c3)
        STEP_I(d, a, b, c, 3, 10, 0x8f0ccc92)
        STEP_I(c, d, a, b, 10, 15, 0xffeff47d)
        STEP_I(b, c, d, a, 1, 21, 0x85845dd1)
        STEP_I(a, b, c, d, 8, 6, 0x6fa87e4f)
        STEP_I(d, a, b, c, 15, 10, 0xfe2ce6e0)
        STEP_I(c, d, a, b, 6, 15, 0xa3014314)
        STEP_I(b, c, d, a, 13, 21, 0x4e0811a1)
        STEP_I(a, b, c, d, 4, 6, 0xf7537e82)
        STEP_I(d, a, b, c, 11, 10, 0xbd3af235)
        STEP_I(c, d, a, b, 2, 15, 0x2ad7d2bb)
        STEP_I(b, c, d, a, 9, 21, 0xeb86d391)

        a0 += a;
        b0 += b;
        c0 += c;
        d0 += d;
    }
    state[0] = a0;
    state[1] = b0;
    state[2] = c0;
    state[3] = d0;
}

}  // namespace

MD5_Str::~MD5_Str() {
    // Digest state of secret plaintext should not linger on the stack.
    volatile uint8_t* p = reinterpret_cast<volatile uint8_t*>(state_);
    for (size_t i = 0; i < sizeof(state_); ++i)
        p[i] = 0;
}

void MD5_Str::Init() {
    state_[0] = 0x67452301;
    state_[1] = 0xefcdab89;
    state_[2] = 0x98badcfe;
    state_[3] = 0x10325476;
    count_[0] = count_[1] = 0;
    std::memset(buffer_, 0, sizeof(buffer_));
    std::memset(padding_, 0, sizeof(padding_));
    padding_[0] = 0x80;
}

void MD5_Str::Transform(const uint8_t* data, size_t blocks) {
    Md5Blocks(state_, data, blocks);
}

void MD5_Str::Update(const void* bytes, size_t length) {
    const uint8_t* input = static_cast<const uint8_t*>(bytes);
    size_t held = (count_[0] >> 3) & 63;
    const uint64_t bits =
        (static_cast<uint64_t>(count_[1]) << 32 | count_[0]) + (static_cast<uint64_t>(length) << 3);
    count_[0] = static_cast<uint32_t>(bits);
    count_[1] = static_cast<uint32_t>(bits >> 32);

    if (held != 0) {
        const size_t take = length < 64 - held ? length : 64 - held;
        std::memcpy(buffer_ + held, input, take);
        held += take;
        input += take;
        length -= take;
        if (held < 64)
            return;
        Transform(buffer_, 1);
    }
    if (length >= 64) {
        Transform(input, length / 64);
        input += length & ~static_cast<size_t>(63);
        length &= 63;
    }
    if (length != 0)
        std::memcpy(buffer_, input, length);
}

void MD5_Str::Final(uint8_t digest[16]) {
    uint8_t bits[8];
    Store32Le(bits, count_[0]);
    Store32Le(bits + 4, count_[1]);
    const size_t held = (count_[0] >> 3) & 63;
    const size_t padLength = held < 56 ? 56 - held : 120 - held;
    Update(padding_, padLength);
    Update(bits, 8);
    for (int i = 0; i < 4; ++i)
        Store32Le(digest + 4 * i, state_[i]);
    Init();
}

void Md5HexString(const void* bytes, size_t length, std::wstring& out) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    MD5_Str md5;
    uint8_t digest[16];
    md5.Update(bytes, length);
    md5.Final(digest);
    out.clear();
    out.reserve(32);
    for (uint8_t byte : digest) {
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 15]);
    }
}
