#include "base/utility/urlutil.h"

#include <cstring>

#include "platform/strings.h"

bool IsUrlReserved(unsigned char byte) {
    if (byte >= 127)
        return true;
    return byte != 0 && std::strchr("& =%./+`{}|[]\"<>\\^;", byte) != nullptr;
}

std::string& UrlEncode(const std::string& text, std::string& out) {
    out = PercentEscape(text, IsUrlReserved, true);
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
