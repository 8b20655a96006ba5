#pragma once
// The store in place of the Windows registry under the current user: one UTF-8
// file ($PELLUX_REGISTRY_FILE, else $XDG_CONFIG_HOME/Velmoran/registry.ini) of
// typed values below backslash-separated key paths such as "Software\Pellux".
// Key paths and value names compare without regard to case, as on Windows.
// A read uses the file as last parsed unless it changed on disk, so processes
// see each other's writes at once; it waits a bounded time for "<file>.lock"
// and then reads without it. A write holds the lock and replaces the whole
// file atomically, mode 0600 (the session token lives there). Values of any
// length and content are kept, and lines this version cannot use byte for byte.
#include <string>

#include "platform/hresult.h"

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_DWORD = 4;

struct RegistryValue {
    // REG_SZ or REG_EXPAND_SZ: the value is text; REG_DWORD: it is number.
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;

    static RegistryValue String(const std::wstring& text, DWORD type = REG_SZ);
    static RegistryValue Dword(DWORD number);
};

class CRegistryStore {
public:
    // The store of this user (see above).
    CRegistryStore();
    explicit CRegistryStore(std::string filePath);

    // True when the store could be read and holds the value under the key.
    bool QueryValue(const std::wstring& keyPath, const std::wstring& name, RegistryValue* value) const;
    // Creates the key when missing and sets the value. E_FAIL when the store
    // cannot be read or written; the file is then left as it was.
    HRESULT SetValue(const std::wstring& keyPath, const std::wstring& name, const RegistryValue& value);

    const std::string& FilePath() const { return m_path; }
    static std::string DefaultFilePath();

private:
    std::string m_path;
};
