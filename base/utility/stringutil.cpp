#include "base/utility/stringutil.h"

#include "platform/strings.h"

bool IsNullOrEmpty(const wchar_t* text) {
    return text == nullptr || text[0] == L'\0';
}

int CompareSwitch(const std::wstring& argument, const std::wstring& switchText, bool ignoreCase) {
    if (ignoreCase)
        return CompareNoCase(argument, switchText);
    int c = argument.compare(switchText);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& parts) {
    size_t start = 0;
    while (true) {
        size_t hit = text.find(separator, start);
        if (hit == std::wstring::npos)
            break;
        parts.push_back(text.substr(start, hit - start));
        start = hit + 1;
    }
    if (start < text.size())
        parts.push_back(text.substr(start));
}
