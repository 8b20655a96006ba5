#include "platform/strings.h"

#include <locale.h>
#include <wctype.h>

#include <climits>
#include <cstdint>
#include <cwctype>
#include <limits>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::wstring Utf8ToWide(const char* text, size_t length) {
    std::wstring out;
    if (!text)
        return out;
    out.reserve(length);
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char c = s[i];
        if (c < 0x80) {
            out.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        char32_t min;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra); ++j) {
            if (i + j >= length || (s[i + j] & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (s[i + j] & 0x3F);
        }
        if (j <= static_cast<size_t>(extra) || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // A broken sequence: replace its lead byte and resume at the next byte.
            out.push_back(kReplacement);
            i += (j <= static_cast<size_t>(extra)) ? j : extra + 1;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += extra + 1;
    }
    return out;
}

std::wstring Utf8ToWide(const std::string& text) {
    return Utf8ToWide(text.data(), text.size());
}

std::string WideToUtf8(const wchar_t* text, size_t length) {
    std::string out;
    if (!text)
        return out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t cp = static_cast<char32_t>(text[i]);
        // Tolerate UTF-16 pairs that reached a wide string from 16-bit sources.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length) {
            char32_t lo = static_cast<char32_t>(text[i + 1]);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text) {
    return WideToUtf8(text.data(), text.size());
}

std::u16string WideToUtf16(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        char32_t cp = static_cast<char32_t>(wc);
        if (cp > 0x10FFFF)
            cp = kReplacement;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::wstring Utf16ToWide(const std::u16string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        out.push_back(static_cast<wchar_t>(cp));
    }
    return out;
}

namespace {
template <class S>
int CompareAscii(const S& a, const S& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        auto ca = static_cast<uint32_t>(
            static_cast<typename std::make_unsigned<typename S::value_type>::type>(a[i]));
        auto cb = static_cast<uint32_t>(
            static_cast<typename std::make_unsigned<typename S::value_type>::type>(b[i]));
        if (ca >= 'A' && ca <= 'Z')
            ca += 32;
        if (cb >= 'A' && cb <= 'Z')
            cb += 32;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}
}  // namespace

int CompareNoCaseAscii(const std::wstring& a, const std::wstring& b) {
    return CompareAscii(a, b);
}
int CompareNoCaseAscii(const std::string& a, const std::string& b) {
    return CompareAscii(a, b);
}

std::wstring ToLowerWide(const std::wstring& text) {
    // towlower folds only ASCII in the "C" locale a program starts in; fold
    // with the built-in C.UTF-8 tables whatever the process locale is.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::wstring out(text);
    for (auto& c : out) {
        auto wc = static_cast<wint_t>(c);
        c = static_cast<wchar_t>(utf8 ? towlower_l(wc, utf8) : std::towlower(wc));
    }
    return out;
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
    int c = ToLowerWide(a).compare(ToLowerWide(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentEscape(const std::string& bytes, const std::function<bool(unsigned char)>& escape,
                          bool lowerCase) {
    const char* hex = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (escape(c)) {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

int64_t ParseReplyInt64(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    uint64_t value = 0;
    const uint64_t limit = negative ? static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1
                                    : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - L'0');
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    if (negative)
        return value == limit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

int ParseReplyInt(const std::wstring& text) {
    const int64_t value = ParseReplyInt64(text);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
