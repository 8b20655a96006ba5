#include "base/utility/urlutil.h"

#include <cstring>

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsUrlReserved(unsigned char byte) {
    if (byte >= 127)
        return true;
    return byte != 0 && std::strchr("& =%./+`{}|[]\"<>\\^;", byte) != nullptr;
}

std::string& UrlEncode(const std::string& text, std::string& out) {
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    result.reserve(text.size() * 3 + 1);
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (IsUrlReserved(c)) {
            result.push_back('%');
            result.push_back(kHex[c >> 4]);
            result.push_back(kHex[c & 15]);
        } else {
            result.push_back(ch);
        }
    }
    out.swap(result);
    return out;
}

std::string& UrlDecode(const std::string& text, std::string& out) {
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            result.push_back(text[i++]);
            continue;
        }
        // Only hexadecimal digits count: no sign, blank or "0x" as a scanf
        // conversion would take, and never a byte past the end.
        int value = 0;
        int digits = 0;
        for (size_t j = i + 1; j < text.size() && j <= i + 2; ++j) {
            int d = HexDigitValue(text[j]);
            if (d < 0)
                break;
            value = value * 16 + d;
            ++digits;
        }
        result.push_back(digits > 0 ? static_cast<char>(value) : '?');
        i = (text.size() - i < 3) ? text.size() : i + 3;
    }
    out.swap(result);
    return out;
}
