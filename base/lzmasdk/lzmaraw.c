#include "base/lzmasdk/lzmaraw.h"

#include <stdlib.h>

#include <lzma/LzmaDec.h>

static void* RawAlloc(void* p, size_t size) {
    (void)p;
    return size == 0 ? NULL : malloc(size);
}

static void RawFree(void* p, void* address) {
    (void)p;
    free(address);
}

int PelluxLzmaDecodeRaw(unsigned char* dest, size_t destLen, const unsigned char* src, size_t srcLen,
                        const unsigned char props[5]) {
    ISzAlloc alloc = {RawAlloc, RawFree};
    SizeT outLen = destLen;
    SizeT inLen = srcLen;
    ELzmaStatus status;
    const SRes res = LzmaDecode(dest, &outLen, src, &inLen, props, 5, LZMA_FINISH_ANY, &status, &alloc);
    return res == SZ_OK && outLen == destLen;
}
