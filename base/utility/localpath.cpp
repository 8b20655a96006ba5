#include "base/utility/localpath.h"

#include <vector>

#include "base/utility/stringutil.h"

std::wstring& GetParentFolder(std::wstring& out, const std::wstring& path) {
    std::wstring p = path;
    if (p.size() > 1 && p.back() == L'/')
        p.pop_back();
    size_t slash = p.rfind(L'/');
    if (slash == std::wstring::npos)
        out.clear();
    else
        out = p.substr(0, slash == 0 ? 1 : slash);
    return out;
}

std::wstring& GetFileNameFromPath(std::wstring& out, const std::wstring& path) {
    std::wstring p = path;
    if (!p.empty() && p.back() == L'/')
        p.pop_back();
    size_t slash = p.rfind(L'/');
    out = slash == std::wstring::npos ? p : p.substr(slash + 1);
    return out;
}

std::wstring& GetFileExtension(const std::wstring& path, std::wstring& out) {
    size_t slash = path.rfind(L'/');
    size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < nameStart)
        out.clear();
    else
        out = path.substr(dot);
    return out;
}

std::wstring JoinLocalPath(const std::wstring& folder, const std::wstring& relative) {
    size_t skip = 0;
    while (skip < relative.size() && relative[skip] == L'/')
        ++skip;
    std::wstring rest = relative.substr(skip);
    if (folder.empty())
        return rest;
    if (folder.back() == L'/')
        return folder + rest;
    return folder + L"/" + rest;
}

namespace {

template <class S>
bool PathInside(const S& path, S folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || (folder.size() == 1 && folder[0] == '/') ||
           path[folder.size()] == '/';
}

}  // namespace

bool IsLocalPathInside(const std::wstring& path, const std::wstring& folder) {
    return PathInside(path, folder);
}

bool IsLocalPathInside(const std::string& path, const std::string& folder) {
    return PathInside(path, folder);
}

bool IsSafeLocalName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..")
        return false;
    return name.find(L'/') == std::wstring::npos && name.find(L'\0') == std::wstring::npos;
}

HRESULT JoinLocalName(const std::wstring& folder, const std::wstring& name, std::wstring& out) {
    if (!IsSafeLocalName(name))
        return E_INVALIDARG;
    out = JoinLocalPath(folder, name);
    return S_OK;
}

HRESULT MapRemotePathToLocal(const std::wstring& folder, const std::wstring& remotePath, std::wstring& out) {
    std::vector<std::wstring> parts;
    SplitString(remotePath, L'\\', parts);
    std::wstring result = folder;
    for (const auto& part : parts) {
        if (part.empty())
            continue;
        if (!IsSafeLocalName(part))
            return E_INVALIDARG;
        result = JoinLocalPath(result, part);
    }
    out = result;
    return S_OK;
}
