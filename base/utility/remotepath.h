#pragma once
// Paths of the remote space: they begin with "\" ("\" alone is the root of a
// section) and "\" separates elements. Never use them as local paths; see
// MapRemotePathToLocal (localpath.h).
#include <string>

// The path and the name joined with exactly one "\".
std::wstring JoinRemotePath(const std::wstring& path, const std::wstring& name);
// The last element (after the last "\", one trailing "\" ignored); "\" gives "".
std::wstring GetRemoteFileName(const std::wstring& path);
// The path without its last element: "\a\b" gives "\a", "\a" gives "\".
std::wstring GetRemoteParentFolder(const std::wstring& path);
