#pragma once
// A text built in a fixed buffer without allocating or locking, for use inside
// a signal handler. Text past the buffer's end is dropped.
#include <cstddef>
#include <cstdint>

class CCrashText {
public:
    CCrashText(char* buffer, size_t capacity);

    CCrashText& Add(const char* text);
    // Lowercase hexadecimal without leading zeros.
    CCrashText& AddHex(uint64_t value);
    // Decimal, at least `width` digits (zero-padded).
    CCrashText& AddDec(int64_t value, int width = 1);

    const char* Text() const { return buffer_; }
    size_t Length() const { return length_; }

private:
    char* buffer_;
    size_t capacity_;
    size_t length_ = 0;
};

// Broken-down civil time of seconds since the epoch (already shifted to local
// time by the caller), without the C library's locks.
struct CrashTime {
    int year, month, day, hour, minute, second;
};
CrashTime CrashTimeOf(int64_t seconds);

// "<prefix>_YYYY-MM-DD-hh-mm-ss.dmp", or with "_<n>" before ".dmp" for n > 0
// (a second crash within the same second).
void BuildDumpName(CCrashText& name, const char* prefix, const CrashTime& time, int n);
