#pragma once
// Reading whole entries of a zip archive (minizip) without trusting the
// archive's own claims: the declared size is capped, and the bytes must match
// both that size and the entry's CRC.
#include <minizip/unzip.h>

#include <cstdint>
#include <string>
#include <vector>

// The current entry's name and information; an empty name when unreadable.
std::string CurrentZipEntryName(unzFile zip, unz_file_info64& info);

// Reads the current entry whole into bytes: false when its declared size is
// above maxBytes, or the bytes read differ from it, or the CRC does not match.
bool ReadCurrentZipEntry(unzFile zip, uint64_t declaredSize, uint64_t maxBytes, std::vector<char>& bytes);
