#include "core/remotestorage/remotestorage/transportsettings.h"

#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "platform/strings.h"

namespace {

std::wstring IniText(const wchar_t* section, const wchar_t* key) {
    std::wstring text;
    return IniReadString(text, section, key, L"");
}

std::wstring RegText(const wchar_t* name) {
    std::wstring text;
    return RegReadString(text, L"", name, L"");
}

}  // namespace

int64_t ParseIntegerSetting(const std::wstring& text, int64_t defaultValue) {
    return text.empty() ? defaultValue : ParseReplyInt64(text);
}

uint32_t ResolveSpeedCap(const std::wstring& debugText, const std::wstring& pelluxText) {
    const uint32_t debugCap = static_cast<uint32_t>(ParseIntegerSetting(debugText, -1));
    if (debugCap != 0xFFFFFFFFu)
        return debugCap;
    return static_cast<uint32_t>(ParseIntegerSetting(pelluxText, kDefaultSpeedCap));
}

TransportSettings ReadTransportSettings() {
    TransportSettings settings;
    settings.uploadCap =
        ResolveSpeedCap(IniText(L"Debug", L"UploadSpeed"), IniText(L"Pellux", L"UploadSpeed"));
    settings.downloadCap =
        ResolveSpeedCap(IniText(L"Debug", L"DownloadSpeed"), IniText(L"Pellux", L"DownloadSpeed"));
    settings.verifyPeer = ParseIntegerSetting(IniText(L"Debug", L"VerifyTlsPeer"), 1) != 0;
    return settings;
}

ProxyRegistryValues ReadProxyRegistryValues() {
    ProxyRegistryValues values;
    values.server = RegText(L"ProxyServerIP");
    values.port = RegText(L"ProxyServerPort");
    values.userName = RegText(L"ProxyServerUserName");
    values.password = RegText(L"ProxyServerPassword");
    values.type = ReadRegDword(L"", L"ProxyServerType", 0xFFFFFFFFu);
    return values;
}
