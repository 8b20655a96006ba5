#include "base/settings/inipathholder.h"

IniPathHolder& IniPathHolder::Instance() {
    // Never destroyed: a worker abandoned at exit may still read settings.
    static IniPathHolder* const holder = new IniPathHolder;
    return *holder;
}

std::wstring IniPathHolder::Path() const {
    CAutoLock guard(m_lock);
    return m_path;
}

void IniPathHolder::SetPath(const std::wstring& path) {
    CAutoLock guard(m_lock);
    m_path = path;
}
