#pragma once
// Walks an archive's header before libarchive reads it and refuses headers
// whose declared counts or sizes would make the reader allocate far beyond
// the file: libarchive sizes its tables from the counts a header states (up
// to 100 million entries each) and unpacks a compressed header to whatever
// size it declares, so a file of a few kilobytes could claim gigabytes.
// One-file archives, ours and those of the reference tool, stay far inside
// the limits.
#include <cstdint>

// Largest header accepted, as stored or once unpacked.
constexpr uint64_t kSevenZipMaxHeaderBytes = 4u << 20;
// Most files, folders, pack streams or unpacked streams a header may declare.
constexpr uint64_t kSevenZipMaxItems = 1u << 16;
// Largest dictionary or model (LZMA, LZMA2, PPMd) a coder may ask for.
constexpr uint64_t kSevenZipMaxCoderMemory = 256u << 20;

// fd is the archive; the header of headerSize bytes lies at headerPosition
// (already checked to be inside the file and to match its CRC). True when the
// header is well formed and within the limits above.
bool SevenZipHeaderIsBounded(int fd, uint64_t headerPosition, uint64_t headerSize);
