#include "core/remotestorage/remotestorage/transportsettings.h"

#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"

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
    if (text.empty())
        return defaultValue;
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        // Saturate instead of overflowing on absurd digit runs.
        if (value > (INT64_MAX - 9) / 10)
            break;
        value = value * 10 + (text[i] - L'0');
    }
    return negative ? -value : value;
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
