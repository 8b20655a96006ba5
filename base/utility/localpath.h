#pragma once
// Local paths: "/" separates elements. Paths of the remote space keep "\" and
// have their own helpers (remotepath.h); a name that comes from the service or
// from a file enters a local path only through JoinLocalName or
// MapRemotePathToLocal, which refuse names that could leave the folder.
#include <string>

#include "platform/hresult.h"

// The path without its last element, after one trailing "/" is removed:
// "/a/b/" and "/a/b" give "/a", "/a" gives "/", "name" gives "".
std::wstring& GetParentFolder(std::wstring& out, const std::wstring& path);
// What follows the last "/", after one trailing "/" is removed: "/a/b/" gives
// "b"; a path without "/" is returned whole.
std::wstring& GetFileNameFromPath(std::wstring& out, const std::wstring& path);
// The extension of the last element, dot included ("b.tar.gz" gives ".gz"),
// or empty when the last element has no ".".
std::wstring& GetFileExtension(const std::wstring& path, std::wstring& out);

// Joins a folder and a relative path with exactly one "/" between them, for
// paths the program builds itself (never for names from outside).
std::wstring JoinLocalPath(const std::wstring& folder, const std::wstring& relative);

// True when the path is the folder or lies below it, element by element
// ("/a/bc" is not inside "/a/b"); trailing "/" of the folder do not count and
// an empty folder holds nothing. Names compare exactly.
bool IsLocalPathInside(const std::wstring& path, const std::wstring& folder);
bool IsLocalPathInside(const std::string& path, const std::string& folder);

// True when the name can stand as one element of a local path: not empty,
// not "." or "..", and without "/" or NUL.
bool IsSafeLocalName(const std::wstring& name);
// out = folder joined with the name; E_INVALIDARG (out unchanged) when the
// name is not a safe local name.
HRESULT JoinLocalName(const std::wstring& folder, const std::wstring& name, std::wstring& out);
// out = folder joined with every element of a remote path ("\a\b.txt" gives
// folder/a/b.txt); E_INVALIDARG (out unchanged) when an element is not a safe
// local name. Empty elements (doubled or outer "\") are skipped.
HRESULT MapRemotePathToLocal(const std::wstring& folder, const std::wstring& remotePath, std::wstring& out);
