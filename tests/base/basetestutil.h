#pragma once
// Small helpers shared by the base tests.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/strings.h"

inline std::wstring W(const std::string& s) {
    return Utf8ToWide(s);
}

// The little-endian number of `width` bytes at `at`, and the bytes of one.
inline uint64_t LeAt(const std::string& s, size_t at, int width) {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

inline std::string Le(uint64_t v, int width) {
    std::string out;
    for (int i = 0; i < width; ++i)
        out += static_cast<char>(v >> (8 * i));
    return out;
}

inline bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// Open file descriptors of this process that point at the file.
inline int OpenHandles(const std::string& file) {
    int n = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == file)
            ++n;
    }
    return n;
}
