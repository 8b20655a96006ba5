#pragma once
// Reads one-file 7z archives: the probe and the extractor of the first file.
// Only files that begin with the 7z signature count as archives; an
// executable with an archive inside is never one, nor is a file whose header
// would make the reader allocate far beyond its size (sevenzipheaderguard.h).
#include <cstdint>
#include <string>

// 1 when the first item that is not a folder was written to destPath, 0
// otherwise. The destination is created only once such an item is found,
// and removed again when the item cannot be unpacked.
int ExtractFirstFileFrom7z(const std::wstring& destPath, const std::wstring& archivePath);

// 1 when the file opens as a 7z archive; size receives the size of its first
// item (0 for an archive without items). 0 when it cannot be opened or is not
// an archive; size is then left unchanged.
int Query7zArchive(const std::wstring& archivePath, uint64_t* size);
