#pragma once
// Values under the program's key "Software\Pellux" of the current user's
// registry store, or under its subkey (an account's user id) when the subkey
// is not empty. Each call opens the store afresh; values of any length are
// read whole.
#include <string>

#include "platform/hresult.h"

// The text value (REG_SZ, or REG_EXPAND_SZ unexpanded), or the default when
// the key or value is missing or holds another type.
std::wstring& RegReadString(std::wstring& out, const std::wstring& subkey, const std::wstring& name,
                            const std::wstring& defaultText);
// The REG_DWORD value, or the default when missing or of another type.
DWORD ReadRegDword(const std::wstring& subkey, const std::wstring& name, DWORD defaultValue);
// Sets a REG_SZ value, creating missing keys; E_FAIL when the store cannot be written.
HRESULT RegWriteString(const std::wstring& subkey, const std::wstring& name, const std::wstring& text);
// Sets a REG_DWORD value, creating missing keys; E_FAIL when the store cannot be written.
HRESULT RegWriteDword(const std::wstring& subkey, const std::wstring& name, DWORD value);

// The key path that the functions above use for the subkey.
std::wstring RegKeyPath(const std::wstring& subkey);
