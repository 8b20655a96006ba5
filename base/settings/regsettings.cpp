#include "base/settings/regsettings.h"

#include "platform/registrystore.h"

std::wstring RegKeyPath(const std::wstring& subkey) {
    std::wstring path = L"Software\\Pellux";
    if (!subkey.empty())
        path += L"\\" + subkey;
    return path;
}

std::wstring& RegReadString(std::wstring& out, const std::wstring& subkey, const std::wstring& name,
                            const std::wstring& defaultText) {
    RegistryValue value;
    if (CRegistryStore().QueryValue(RegKeyPath(subkey), name, &value) &&
        (value.type == REG_SZ || value.type == REG_EXPAND_SZ))
        out = value.text;
    else
        out = defaultText;
    return out;
}

DWORD ReadRegDword(const std::wstring& subkey, const std::wstring& name, DWORD defaultValue) {
    RegistryValue value;
    if (CRegistryStore().QueryValue(RegKeyPath(subkey), name, &value) && value.type == REG_DWORD)
        return value.number;
    return defaultValue;
}

HRESULT RegWriteString(const std::wstring& subkey, const std::wstring& name, const std::wstring& text) {
    return FAILED(CRegistryStore().SetValue(RegKeyPath(subkey), name, RegistryValue::String(text))) ? E_FAIL
                                                                                                    : S_OK;
}

HRESULT RegWriteDword(const std::wstring& subkey, const std::wstring& name, DWORD value) {
    return FAILED(CRegistryStore().SetValue(RegKeyPath(subkey), name, RegistryValue::Dword(value))) ? E_FAIL
                                                                                                    : S_OK;
}
