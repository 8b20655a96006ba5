#pragma once
// The preview service's package: a zip archive whose first ".jpg" entry is the
// picture to show.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

// Previews are small; a larger declared size is taken for a damaged package
// rather than allocated.
constexpr uint64_t kMaxPreviewPictureBytes = 32 * 1024 * 1024;

// Unpacks the first entry whose name ends in ".jpg" (exactly, case-sensitive)
// to the cache path, creating its folder. E_FAIL when the package is not a
// zip, holds no such entry, the entry is oversized or does not match its size
// and CRC, or the cache file cannot be written whole (it is then deleted).
HRESULT ExtractPreviewPicture(const std::wstring& packagePath, const std::wstring& cachePath);
