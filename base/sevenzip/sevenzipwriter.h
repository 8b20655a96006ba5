#pragma once
// Packs one file into a 7z archive of a single LZMA-compressed item, laying
// out the archive's headers around the LZMA SDK's encoder.
#include <string>

// Result codes of Write7zSingleFileArchive: the LZMA SDK's own values.
enum SevenZipResult {
    kSevenZipOk = 0,
    kSevenZipErrorMem = 2,    // The encoder could not be created.
    kSevenZipErrorParam = 5,  // The encoder refused its properties.
    kSevenZipErrorRead = 8,   // The input could not be read.
    kSevenZipErrorWrite = 9,  // A write or a seek of the output failed.
};

// Packs sourcePath into a new archive at archivePath. The item is stored
// under the source's base name. 1 on success, 0 on failure (a partly written
// archive stays for the caller to remove).
int CompressFileTo7z(const std::wstring& archivePath, const std::wstring& sourcePath);

// Writes the archive to outFd, starting at its current position, reading
// inFd up to its end. Any readable descriptor works (a pipe too): the stored
// size is the number of bytes actually read. outFd must be seekable.
// Returns a SevenZipResult.
int Write7zSingleFileArchive(int outFd, const std::wstring& entryName, int inFd);
