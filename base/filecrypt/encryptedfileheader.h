#pragma once
// Layout constants and small helpers shared by the writer and the readers.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/strings.h"

namespace filecrypt {

constexpr char kMagic[] = "Velmoran_FileHeader";
constexpr size_t kMagicLength = 19;
constexpr uint32_t kVersion = 1;
constexpr size_t kVersionOffset = 19;
constexpr size_t kDigestOffset = 23;
constexpr size_t kPlainSizeOffset = 39;
constexpr size_t kPaddedSizeOffset = 43;
constexpr size_t kHeaderSize = 47;

constexpr uint8_t kLegacyMagic[4] = {'Q', 'T', 'R', 0};
constexpr size_t kLegacyHeaderSize = 64;
constexpr size_t kLegacyFlagsOffset = 5;
constexpr size_t kLegacyPadCountOffset = 40;
constexpr uint8_t kLegacyPackedFlag = 0x40;
constexpr size_t kLegacyKeyLength = 32;

constexpr size_t kChunkSize = 64 * 1024;
constexpr unsigned kPauseEveryRounds = 20;
// Larger files hash and write on helper threads (see ChunkPipeline).
constexpr uint64_t kThreadedFromSize = 1024 * 1024;

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

inline bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

inline uint64_t RoundUp16(uint64_t n) {
    return (n + 15) & ~static_cast<uint64_t>(15);
}

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using ChunkBuffer = std::unique_ptr<uint8_t, FreeDeleter>;

// A page-aligned 64 KB buffer; empty when memory is short.
inline ChunkBuffer NewChunkBuffer() {
    return ChunkBuffer(static_cast<uint8_t*>(std::aligned_alloc(4096, kChunkSize)));
}

inline std::string LocalPath(const std::wstring& path) {
    return WideToUtf8(path);
}

}  // namespace filecrypt
