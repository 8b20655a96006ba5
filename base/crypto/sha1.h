#pragma once
// SHA-1 (FIPS 180-1): the content hash the service compares for every upload
// and download. Callers print the five words of Sha1Final with "%08x" each.
#include <cstddef>
#include <cstdint>

struct Sha1Context {
    uint32_t state[5];
    // Bytes hashed so far, low and high words.
    uint32_t countLow;
    uint32_t countHigh;
    // Bytes waiting in `buffer` for a whole block.
    uint32_t buffered;
    uint8_t buffer[128];
};

void Sha1Init(Sha1Context* context);
void Sha1Update(const void* bytes, size_t length, Sha1Context* context);
// Pads, appends the bit count and copies the five hash words out as numbers.
void Sha1Final(Sha1Context* context, uint32_t digest[5]);
// The compression over `length` bytes, a multiple of 64.
void Sha1Transform(const uint8_t* bytes, size_t length, Sha1Context* context);
