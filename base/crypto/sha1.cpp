#include "base/crypto/sha1.h"

#include <cstring>

#include "base/crypto/cryptodispatch.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PELLUX_SHA1_X86 1
#endif

namespace {

inline uint32_t Load32Be(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

void Sha1BlocksPortable(uint32_t state[5], const uint8_t* data, size_t blocks) {
    for (; blocks != 0; --blocks, data += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = Load32Be(data + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        // The schedule lives in a 16-word ring to stay in registers.
        auto next = [&w](int t) {
            const uint32_t v = Rotl(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
            w[t & 15] = v;
            return v;
        };
        auto round = [&](int t, uint32_t f, uint32_t k) {
            const uint32_t wt = t < 16 ? w[t] : next(t);
            const uint32_t temp = Rotl(a, 5) + f + e + k + wt;
            e = d;
            d = c;
            c = Rotl(b, 30);
            b = a;
            a = temp;
        };
        for (int t = 0; t < 20; ++t)
            round(t, d ^ (b & (c ^ d)), 0x5a827999);
        for (int t = 20; t < 40; ++t)
            round(t, b ^ c ^ d, 0x6ed9eba1);
        for (int t = 40; t < 60; ++t)
            round(t, (b & c) | (d & (b | c)), 0x8f1bbcdc);
        for (int t = 60; t < 80; ++t)
            round(t, b ^ c ^ d, 0xca62c1d6);
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

#ifdef PELLUX_SHA1_X86

// One group of four rounds; the message schedule for the group is built from
// the four groups before it.
#define SHA1_GROUP(k, f)                                                                            \
    do {                                                                                            \
        if ((k) >= 4) {                                                                             \
            m[(k)&3] = _mm_sha1msg2_epu32(                                                          \
                _mm_xor_si128(_mm_sha1msg1_epu32(m[(k)&3], m[((k) + 1) & 3]), m[((k) + 2) & 3]),    \
                m[((k) + 3) & 3]);                                                                  \
        }                                                                                           \
        const __m128i e = (k) == 0 ? _mm_add_epi32(e0, m[0]) : _mm_sha1nexte_epu32(prev, m[(k)&3]); \
        prev = abcd;                                                                                \
        abcd = _mm_sha1rnds4_epu32(abcd, e, f);                                                     \
    } while (0)

__attribute__((target("sha,sse4.1,ssse3"))) void Sha1BlocksShaNi(uint32_t state[5], const uint8_t* data,
                                                                 size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; blocks != 0; --blocks, data += 64) {
        const __m128i abcdSave = abcd;
        const __m128i e0Save = e0;
        __m128i m[4];
        for (int i = 0; i < 4; ++i) {
            m[i] =
                _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
        }
        __m128i prev;
        SHA1_GROUP(0, 0);
        SHA1_GROUP(1, 0);
        SHA1_GROUP(2, 0);
        SHA1_GROUP(3, 0);
        SHA1_GROUP(4, 0);
        SHA1_GROUP(5, 1);
        SHA1_GROUP(6, 1);
        SHA1_GROUP(7, 1);
        SHA1_GROUP(8, 1);
        SHA1_GROUP(9, 1);
        SHA1_GROUP(10, 2);
        SHA1_GROUP(11, 2);
        SHA1_GROUP(12, 2);
        SHA1_GROUP(13, 2);
        SHA1_GROUP(14, 2);
        SHA1_GROUP(15, 3);
        SHA1_GROUP(16, 3);
        SHA1_GROUP(17, 3);
        SHA1_GROUP(18, 3);
        SHA1_GROUP(19, 3);
        e0 = _mm_sha1nexte_epu32(prev, e0Save);
        abcd = _mm_add_epi32(abcd, abcdSave);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1b));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

#undef SHA1_GROUP

#endif

void Sha1Blocks(uint32_t state[5], const uint8_t* data, size_t blocks) {
#ifdef PELLUX_SHA1_X86
    if (UseShaNi()) {
        Sha1BlocksShaNi(state, data, blocks);
        return;
    }
#endif
    Sha1BlocksPortable(state, data, blocks);
}

}  // namespace

void Sha1Init(Sha1Context* context) {
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
    context->state[4] = 0xc3d2e1f0;
    context->countLow = context->countHigh = 0;
    context->buffered = 0;
}

void Sha1Transform(const uint8_t* bytes, size_t length, Sha1Context* context) {
    Sha1Blocks(context->state, bytes, length / 64);
}

void Sha1Update(const void* bytes, size_t length, Sha1Context* context) {
    const uint8_t* input = static_cast<const uint8_t*>(bytes);
    const uint64_t count = (static_cast<uint64_t>(context->countHigh) << 32 | context->countLow) + length;
    context->countLow = static_cast<uint32_t>(count);
    context->countHigh = static_cast<uint32_t>(count >> 32);

    size_t held = context->buffered;
    if (held != 0) {
        const size_t take = length < 64 - held ? length : 64 - held;
        std::memcpy(context->buffer + held, input, take);
        held += take;
        input += take;
        length -= take;
        if (held < 64) {
            context->buffered = static_cast<uint32_t>(held);
            return;
        }
        Sha1Transform(context->buffer, 64, context);
    }
    // Whole blocks go straight from the caller's memory: the loads do not care
    // about alignment.
    const size_t whole = length & ~static_cast<size_t>(63);
    if (whole != 0)
        Sha1Transform(input, whole, context);
    std::memcpy(context->buffer, input + whole, length - whole);
    context->buffered = static_cast<uint32_t>(length - whole);
}

void Sha1Final(Sha1Context* context, uint32_t digest[5]) {
    const uint64_t bits = (static_cast<uint64_t>(context->countHigh) << 32 | context->countLow) << 3;
    size_t held = context->buffered;
    context->buffer[held++] = 0x80;
    const size_t total = held <= 56 ? 64 : 128;
    std::memset(context->buffer + held, 0, total - 8 - held);
    for (int i = 0; i < 8; ++i)
        context->buffer[total - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    Sha1Transform(context->buffer, total, context);
    for (int i = 0; i < 5; ++i)
        digest[i] = context->state[i];
    std::memset(context->buffer, 0, sizeof(context->buffer));
    context->buffered = 0;
}
