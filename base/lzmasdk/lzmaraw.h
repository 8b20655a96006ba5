#pragma once
/* One-shot decoding of a raw LZMA stream into a buffer of known size, without
   the SDK's headers (their bare macros stay inside the SDK's own files). */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Decodes src into exactly destLen bytes with the 5-byte LZMA properties.
   The output buffer doubles as the dictionary, so memory stays bounded by
   destLen. Returns 1 when all destLen bytes were produced, 0 otherwise. */
int PelluxLzmaDecodeRaw(unsigned char* dest, size_t destLen, const unsigned char* src, size_t srcLen,
                        const unsigned char props[5]);

#ifdef __cplusplus
}
#endif
