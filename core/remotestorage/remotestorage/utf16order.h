#pragma once
// Ordinal order of UTF-16 code units on the platform's 32-bit wide strings, so
// sorted maps and listings come out in the order the service and the UI expect
// (characters above U+FFFF sort as their surrogates would: below U+E000).
#include <algorithm>
#include <string>

inline unsigned long Utf16SortKey(wchar_t c) {
    unsigned long u = static_cast<unsigned long>(c);
    // U+E000..U+FFFF move above every supplementary character.
    return (u >= 0xE000 && u <= 0xFFFF) ? u + 0x200000 : u;
}

// <0, 0 or >0 as a comparison of the texts' UTF-16 code units.
inline int CompareUtf16Ordinal(const std::wstring& a, const std::wstring& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned long x = Utf16SortKey(a[i]);
        unsigned long y = Utf16SortKey(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct Utf16OrdinalLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return CompareUtf16Ordinal(a, b) < 0;
    }
};
