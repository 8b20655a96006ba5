#pragma once
// The process-wide path of the settings file "config.ini". Empty until
// SetIniFolder runs at start-up; reads from any thread are safe.
#include <string>

#include "platform/criticalsection.h"

class IniPathHolder {
public:
    static IniPathHolder& Instance();

    std::wstring Path() const;
    void SetPath(const std::wstring& path);

private:
    IniPathHolder() = default;

    mutable CCriticalSection m_lock;
    std::wstring m_path;
};
