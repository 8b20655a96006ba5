#pragma once
// Folder creation and file sizes on local paths ("/").
#include <cstdint>
#include <string>

#include "platform/hresult.h"

// Creates the folder and every missing parent. S_OK only when a directory
// stands at the path afterwards (the root "/" and existing folders included);
// E_FAIL otherwise, also when a file is in the way.
HRESULT CreateFolderTree(const std::wstring& path);

// The file's size in bytes (0 for a folder); E_FAIL with size unchanged when
// the path cannot be examined.
HRESULT GetFileSize64(const std::wstring& path, uint64_t& size);

// Deletes the folder and everything below it, depth first, going on past
// entries that cannot be removed; each folder is made writable for its owner
// before it is emptied. Symbolic links are removed, never followed. S_OK when
// nothing stands at the path afterwards.
HRESULT DeleteFolderTree(const std::wstring& path);
