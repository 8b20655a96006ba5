#include "core/remotestorage/remotestorage/formfields.h"

#include <algorithm>

#include "base/utility/urlutil.h"
#include "platform/strings.h"

std::string PercentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        const int hi = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        const int lo = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
        if (hi >= 0 && lo >= 0) {
            out += static_cast<char>(hi * 16 + lo);
        } else {
            out += '?';
        }
        // The broken escape swallows what is left of it, but the text ends where it ends.
        i = std::min(i + 3, text.size());
    }
    return out;
}

std::vector<FormField> DecodeFormFields(const std::wstring& text) {
    std::vector<FormField> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t assign = text.find(L'=', pos);
        if (assign == std::wstring::npos)
            break;
        size_t end = text.find(L'&', assign + 1);
        if (end == std::wstring::npos)
            end = text.size();
        FormField field;
        field.name = WideToUtf8(text.substr(pos, assign - pos));
        // Decoded bytes are read back as UTF-8, so broken sequences cannot reach the wire.
        field.contents =
            WideToUtf8(Utf8ToWide(PercentDecode(WideToUtf8(text.substr(assign + 1, end - assign - 1)))));
        fields.push_back(std::move(field));
        pos = end + 1;
    }
    return fields;
}
