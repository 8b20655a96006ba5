#include "ui/coreuservalues.h"

#include "core/coreapp/coreaccess.h"

std::wstring CCoreUserValues::GetUserValue(const std::wstring& name, const std::wstring& defaultText) {
    std::wstring out;
    return GetCoreAccess().GetUserValue(out, name, defaultText);
}

int CCoreUserValues::GetUserIntValue(const std::wstring& name) {
    return GetCoreAccess().GetUserIntValue(name);
}

void CCoreUserValues::SetUserValue(const std::wstring& name, const std::wstring& text) {
    GetCoreAccess().SetUserValue(name, text);
}
