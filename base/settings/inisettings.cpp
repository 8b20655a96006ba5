#include "base/settings/inisettings.h"

#include "base/settings/inipathholder.h"
#include "base/utility/localpath.h"
#include "platform/profile.h"
#include "platform/strings.h"

int SetIniFolder(const std::wstring& folder) {
    IniPathHolder::Instance().SetPath(JoinLocalPath(folder, L"config.ini"));
    return 0;
}

std::wstring& IniReadString(std::wstring& out, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultText) {
    std::wstring path = IniPathHolder::Instance().Path();
    out = GetProfileString(WideToUtf8(path), section, key, defaultText);
    return out;
}

int IniReadInt(const std::wstring& section, const std::wstring& key, int defaultValue) {
    std::wstring path = IniPathHolder::Instance().Path();
    return GetProfileInt(WideToUtf8(path), section, key, defaultValue);
}
