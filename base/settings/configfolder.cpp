#include "base/settings/configfolder.h"

#include "base/settings/regsettings.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"

int GetConfigFolder(std::wstring& out) {
    std::wstring configured;
    RegReadString(configured, std::wstring(), L"ConfigPath", std::wstring());
    if (!configured.empty())
        out = configured;
    else
        out = Utf8ToWide(GetDataHomeFolder()) + L"/Velmoran/pellux/";
    return 0;
}
