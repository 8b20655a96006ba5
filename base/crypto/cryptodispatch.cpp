#include "base/crypto/cryptodispatch.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

struct CpuCaps {
    bool aesni = false;
    bool shani = false;
};

CpuCaps DetectCaps() {
    CpuCaps caps;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) {
        const bool ssse3 = (c & (1u << 9)) != 0;
        const bool sse41 = (c & (1u << 19)) != 0;
        const bool aes = (c & (1u << 25)) != 0;
        caps.aesni = aes && sse41;
        unsigned a7 = 0, b7 = 0, c7 = 0, d7 = 0;
        if (__get_cpuid_count(7, 0, &a7, &b7, &c7, &d7)) {
            caps.shani = (b7 & (1u << 29)) != 0 && ssse3 && sse41;
        }
    }
#endif
    return caps;
}

const CpuCaps& Caps() {
    static const CpuCaps caps = DetectCaps();
    return caps;
}

bool EnvironmentForcesPortable() {
    const char* value = std::getenv("PELLUX_PORTABLE_CRYPTO");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

std::atomic<bool>& ForcedFlag() {
    static std::atomic<bool> forced{EnvironmentForcesPortable()};
    return forced;
}

}  // namespace

bool CpuHasAesNi() {
    return Caps().aesni;
}

bool CpuHasShaNi() {
    return Caps().shani;
}

bool UseAesNi() {
    return Caps().aesni && !ForcedFlag().load(std::memory_order_relaxed);
}

bool UseShaNi() {
    return Caps().shani && !ForcedFlag().load(std::memory_order_relaxed);
}

void SetPortableCryptoForced(bool forced) {
    ForcedFlag().store(forced, std::memory_order_relaxed);
}
