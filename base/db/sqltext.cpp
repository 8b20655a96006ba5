#include "base/db/sqltext.h"

#include "platform/strings.h"

std::wstring EscapeSqlQuotes(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'')
            out += L'\'';
    }
    return out;
}

std::wstring EscapeSqlLikePattern(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'%' || c == L'_')
            out += L'\\';
        out += c;
    }
    return out;
}

namespace sqltext_detail {
std::wstring Arg(const std::string& s) {
    return EscapeSqlQuotes(Utf8ToWide(s));
}
std::wstring Arg(const char* s) {
    return EscapeSqlQuotes(s ? Utf8ToWide(std::string(s)) : std::wstring());
}
}  // namespace sqltext_detail
