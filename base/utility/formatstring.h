#pragma once
// printf-style formatting that is type-safe: "%s" takes a wide or a narrow
// (UTF-8) string alike, integers and floating point values are read with the
// width the conversion asks for, and a missing or mismatched argument is
// written as "(null)" or 0 instead of reading stray memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

class FormatArg {
public:
    enum Kind { kNone, kInt, kUInt, kDouble, kWide, kNarrow, kPointer };

    FormatArg() = default;
    template <class T,
              typename std::enable_if<std::is_integral<T>::value && std::is_signed<T>::value, int>::type = 0>
    FormatArg(T v) : m_kind(kInt), m_int(static_cast<int64_t>(v)) {}
    template <class T,
              typename std::enable_if<std::is_integral<T>::value && !std::is_signed<T>::value, int>::type = 0>
    FormatArg(T v) : m_kind(kUInt), m_uint(static_cast<uint64_t>(v)) {}
    template <class T, typename std::enable_if<std::is_enum<T>::value, int>::type = 0>
    FormatArg(T v) : FormatArg(static_cast<typename std::underlying_type<T>::type>(v)) {}
    FormatArg(double v) : m_kind(kDouble), m_double(v) {}
    FormatArg(float v) : m_kind(kDouble), m_double(v) {}
    FormatArg(const wchar_t* s) : m_kind(kWide), m_wide(s) {}
    FormatArg(const std::wstring& s) : m_kind(kWide), m_wide(s.c_str()), m_len(s.size()) {}
    FormatArg(const char* s) : m_kind(kNarrow), m_narrow(s) {}
    FormatArg(const std::string& s) : m_kind(kNarrow), m_narrow(s.c_str()), m_len(s.size()) {}
    FormatArg(const void* p) : m_kind(kPointer), m_ptr(p) {}
    FormatArg(std::nullptr_t) : m_kind(kPointer), m_ptr(nullptr) {}

    Kind kind() const { return m_kind; }
    int64_t AsInt() const;
    uint64_t AsUInt() const;
    double AsDouble() const;
    // The argument as text; non-string arguments give "(null)".
    std::wstring AsText() const;
    const void* AsPointer() const { return m_kind == kPointer ? m_ptr : nullptr; }

private:
    Kind m_kind = kNone;
    union {
        int64_t m_int;
        uint64_t m_uint;
        double m_double;
        const wchar_t* m_wide;
        const char* m_narrow;
        const void* m_ptr = nullptr;
    };
    size_t m_len = static_cast<size_t>(-1);
};

constexpr size_t kFormatStringMax = 1023;
constexpr size_t kFormatUnbounded = static_cast<size_t>(-1);

// Formats into a wide string of at most maxChars characters.
std::wstring FormatArgs(const wchar_t* format, const FormatArg* args, size_t count, size_t maxChars);

// The out string receives the formatted text, cut to its first 1023 characters.
template <class... A>
std::wstring& FormatString(std::wstring& out, const wchar_t* format, const A&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    out = FormatArgs(format, list, sizeof...(A), kFormatStringMax);
    return out;
}

// As FormatString without the 1023-character cap (SQL texts, long messages).
template <class... A>
std::wstring FormatStringUnbounded(const wchar_t* format, const A&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return FormatArgs(format, list, sizeof...(A), kFormatUnbounded);
}

// Narrow variant: the format and the result are UTF-8.
std::string FormatArgsUtf8(const char* format, const FormatArg* args, size_t count, size_t maxChars);
template <class... A>
std::string FormatUtf8(const char* format, const A&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return FormatArgsUtf8(format, list, sizeof...(A), kFormatUnbounded);
}
