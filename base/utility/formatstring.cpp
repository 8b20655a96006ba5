#include "base/utility/formatstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "platform/strings.h"

int64_t FormatArg::AsInt() const {
    switch (m_kind) {
        case kInt:
            return m_int;
        case kUInt:
            return static_cast<int64_t>(m_uint);
        case kDouble:
            return static_cast<int64_t>(m_double);
        case kPointer:
            return static_cast<int64_t>(reinterpret_cast<uintptr_t>(m_ptr));
        default:
            return 0;
    }
}

uint64_t FormatArg::AsUInt() const {
    return static_cast<uint64_t>(AsInt());
}

double FormatArg::AsDouble() const {
    switch (m_kind) {
        case kDouble:
            return m_double;
        case kInt:
            return static_cast<double>(m_int);
        case kUInt:
            return static_cast<double>(m_uint);
        default:
            return 0.0;
    }
}

std::wstring FormatArg::AsText() const {
    if (m_kind == kWide && m_wide) {
        return m_len == static_cast<size_t>(-1) ? std::wstring(m_wide) : std::wstring(m_wide, m_len);
    }
    if (m_kind == kNarrow && m_narrow) {
        return m_len == static_cast<size_t>(-1) ? Utf8ToWide(m_narrow, std::strlen(m_narrow))
                                                : Utf8ToWide(m_narrow, m_len);
    }
    return L"(null)";
}

namespace {

// A width or precision beyond this cannot be meant; it would only make the
// padding allocate without bound (and overflow an int while being parsed).
constexpr int kMaxWidth = 1 << 20;

int ClampDigits(int value, wchar_t digit) {
    int next = value * 10 + (digit - L'0');
    return next > kMaxWidth ? kMaxWidth : next;
}

struct Spec {
    std::wstring flags;
    int width = -1;
    int precision = -1;
    int lengthBits = 32;  // 8, 16, 32 or 64: the width of an integer argument
    wchar_t conv = 0;
};

std::wstring Pad(std::wstring body, const Spec& spec) {
    if (spec.width > 0 && body.size() < static_cast<size_t>(spec.width)) {
        size_t fill = spec.width - body.size();
        if (spec.flags.find(L'-') != std::wstring::npos)
            body.append(fill, L' ');
        else
            body.insert(0, fill, L' ');
    }
    return body;
}

// Widths and precisions are capped at 400 (NumberSpec), so a double in "%f"
// needs at most 309 integer digits, a point, 400 decimals and a sign.
std::wstring Snprintf(const std::wstring& spec, ...) {
    wchar_t buf[1024];
    va_list ap;
    va_start(ap, spec);
    int n = std::vswprintf(buf, sizeof(buf) / sizeof(buf[0]), spec.c_str(), ap);
    va_end(ap);
    return n < 0 ? std::wstring() : std::wstring(buf, n);
}

std::wstring NumberSpec(const Spec& spec, const wchar_t* length) {
    std::wstring s = L"%" + spec.flags;
    if (spec.width >= 0)
        s += std::to_wstring(spec.width > 400 ? 400 : spec.width);
    if (spec.precision >= 0)
        s += L"." + std::to_wstring(spec.precision > 400 ? 400 : spec.precision);
    s += length;
    s += spec.conv;
    return s;
}

std::wstring FormatOne(const Spec& spec, const FormatArg& arg) {
    switch (spec.conv) {
        case L'd':
        case L'i': {
            int64_t v = arg.AsInt();
            if (spec.lengthBits == 32)
                v = static_cast<int32_t>(v);
            if (spec.lengthBits == 16)
                v = static_cast<int16_t>(v);
            if (spec.lengthBits == 8)
                v = static_cast<int8_t>(v);
            return Snprintf(NumberSpec(spec, L"ll"), static_cast<long long>(v));
        }
        case L'u':
        case L'x':
        case L'X':
        case L'o': {
            uint64_t v = arg.AsUInt();
            if (spec.lengthBits == 32)
                v = static_cast<uint32_t>(v);
            if (spec.lengthBits == 16)
                v = static_cast<uint16_t>(v);
            if (spec.lengthBits == 8)
                v = static_cast<uint8_t>(v);
            return Snprintf(NumberSpec(spec, L"ll"), static_cast<unsigned long long>(v));
        }
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            return Snprintf(NumberSpec(spec, L""), arg.AsDouble());
        case L'c':
        case L'C': {
            wchar_t c = static_cast<wchar_t>(arg.AsUInt());
            return Pad(c ? std::wstring(1, c) : std::wstring(), spec);
        }
        case L's':
        case L'S': {
            std::wstring text = arg.AsText();
            if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision))
                text.resize(spec.precision);
            return Pad(text, spec);
        }
        case L'p': {
            Spec hex = spec;
            hex.conv = L'X';
            hex.flags = L"0";
            hex.width = static_cast<int>(sizeof(void*) * 2);
            hex.precision = -1;
            return Snprintf(NumberSpec(hex, L"ll"),
                            static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(arg.AsPointer())));
        }
        default:
            return std::wstring();
    }
}

}  // namespace

std::wstring FormatArgs(const wchar_t* format, const FormatArg* args, size_t count, size_t maxChars) {
    std::wstring out;
    if (!format)
        return out;
    size_t next = 0;
    auto take = [&]() -> FormatArg { return next < count ? args[next++] : FormatArg(); };
    const wchar_t* p = format;
    while (*p && out.size() < maxChars) {
        if (*p != L'%') {
            out.push_back(*p++);
            continue;
        }
        ++p;
        if (*p == L'%') {
            out.push_back(L'%');
            ++p;
            continue;
        }
        Spec spec;
        while (*p && std::wcschr(L"-+ #0", *p))
            spec.flags.push_back(*p++);
        if (*p == L'*') {
            int64_t width = std::max<int64_t>(-kMaxWidth, std::min<int64_t>(take().AsInt(), kMaxWidth));
            if (width < 0) {
                spec.flags.push_back(L'-');
                width = -width;
            }
            spec.width = static_cast<int>(width);
            ++p;
        } else {
            while (*p >= L'0' && *p <= L'9')
                spec.width = ClampDigits((spec.width < 0 ? 0 : spec.width), *p++);
        }
        if (*p == L'.') {
            ++p;
            spec.precision = 0;
            if (*p == L'*') {
                int64_t precision = take().AsInt();
                spec.precision =
                    precision < 0 ? -1 : static_cast<int>(std::min<int64_t>(precision, kMaxWidth));
                ++p;
            } else {
                while (*p >= L'0' && *p <= L'9')
                    spec.precision = ClampDigits(spec.precision, *p++);
            }
        }
        // Length modifiers, the C ones and the Windows I64/I32/I forms.
        for (bool more = true; more && *p;) {
            switch (*p) {
                case L'h':
                    spec.lengthBits = (p[1] == L'h') ? 8 : 16;
                    p += (p[1] == L'h') ? 2 : 1;
                    break;
                case L'l':
                    spec.lengthBits = (p[1] == L'l') ? 64 : static_cast<int>(sizeof(long) * 8);
                    p += (p[1] == L'l') ? 2 : 1;
                    break;
                case L'j':
                case L'z':
                case L't':
                case L'L':
                case L'q':
                    spec.lengthBits = 64;
                    ++p;
                    break;
                case L'I':
                    if (p[1] == L'6' && p[2] == L'4') {
                        spec.lengthBits = 64;
                        p += 3;
                    } else if (p[1] == L'3' && p[2] == L'2') {
                        spec.lengthBits = 32;
                        p += 3;
                    } else {
                        spec.lengthBits = static_cast<int>(sizeof(void*) * 8);
                        ++p;
                    }
                    break;
                default:
                    more = false;
            }
        }
        if (!*p)
            break;
        spec.conv = *p++;
        if (spec.conv == L'n') {
            take();
            continue;
        }
        out += FormatOne(spec, take());
    }
    if (out.size() > maxChars)
        out.resize(maxChars);
    return out;
}

std::string FormatArgsUtf8(const char* format, const FormatArg* args, size_t count, size_t maxChars) {
    if (!format)
        return std::string();
    std::wstring wide = FormatArgs(Utf8ToWide(format, std::strlen(format)).c_str(), args, count, maxChars);
    return WideToUtf8(wide);
}
