#include "base/utility/remotepath.h"

std::wstring JoinRemotePath(const std::wstring& path, const std::wstring& name) {
    size_t skip = 0;
    while (skip < name.size() && name[skip] == L'\\')
        ++skip;
    std::wstring rest = name.substr(skip);
    if (!path.empty() && path.back() == L'\\')
        return path + rest;
    return path + L"\\" + rest;
}

std::wstring GetRemoteFileName(const std::wstring& path) {
    std::wstring p = path;
    if (!p.empty() && p.back() == L'\\')
        p.pop_back();
    size_t slash = p.rfind(L'\\');
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
}

std::wstring GetRemoteParentFolder(const std::wstring& path) {
    std::wstring p = path;
    if (p.size() > 1 && p.back() == L'\\')
        p.pop_back();
    size_t slash = p.rfind(L'\\');
    if (slash == std::wstring::npos)
        return std::wstring();
    return p.substr(0, slash == 0 ? 1 : slash);
}
