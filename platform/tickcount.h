#pragma once
#include <cstdint>

// Milliseconds of a monotonic clock; never goes back.
uint64_t GetTickCount64();
// The low 32 bits, for callers that take differences of a wrapping counter.
inline uint32_t GetTickCount() {
    return static_cast<uint32_t>(GetTickCount64());
}
void SleepMs(uint32_t ms);
