#pragma once
// Unpacking the update archive: one zip entry, the new program file.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

// A program file is a few megabytes; a larger declared size is taken for a
// damaged or hostile archive rather than allocated.
constexpr uint64_t kMaxUpdateEntryBytes = 256ull * 1024 * 1024;

// Writes the archive's only entry to the target path (the entry's own name is
// ignored), executable. The entry must be the archive's single entry, within
// the size cap, and match its declared length and CRC. The bytes go to a
// temporary file beside the target that is renamed over it, so a failure
// leaves an earlier staged file as it was. E_FAIL on any failure.
HRESULT ExtractUpdateZip(const std::wstring& archivePath, const std::wstring& targetPath);
