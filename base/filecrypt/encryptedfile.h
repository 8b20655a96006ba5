#pragma once
// The encrypted-file format every file travels in, and the older format that is
// still read. All functions return non-zero on success and 0 on failure; a
// failed call leaves no destination behind (an existing one is left as it was).
// A cancel flag, where given, is looked at before every 64 KB piece; once it
// is set the call fails like any other.
//
// Current format, little-endian:
//   0  19  "Velmoran_FileHeader"
//   19  4  version, 1
//   23 16  MD5 of every byte from offset 47 to the end
//   39  4  plainSize
//   43  4  paddedSize: plainSize rounded up to a multiple of 16
//   47     the plaintext in 16-byte blocks, each AES-encrypted alone, the last
//          one filled up with zero bytes
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/hresult.h"

// What ProbeEncryptedFileFormat finds.
enum EncryptedFileKind {
    // Begins with "Velmoran_FileHeader".
    kEncryptedFileCurrent = 0,
    // Begins with "QTR" and a zero byte.
    kEncryptedFileLegacy = 1,
};

// What DecryptFileAnyFormat decoded; the caller unpacks or probes accordingly.
enum DecodedFileFormat {
    // Older format with the packed flag: the plaintext is a one-file 7z archive.
    kDecodedLegacyPacked = 0,
    // Older format without the packed flag: the plaintext is the file itself.
    kDecodedLegacyPlain = 1,
    // Current format: the plaintext may or may not be an archive.
    kDecodedCurrent = 2,
};

// Sources this large cannot be described by the 32-bit size fields.
constexpr uint64_t kMaxEncryptedPlainSize = 0xFFFFFFF0u;

// The encode step of the core: `EncryptFileWithHeader`.
BOOL EncryptFileToHeaderFormat(const uint8_t* key, size_t keyLength, const std::wstring& source,
                               const std::wstring& destination, const std::atomic<bool>* cancel = nullptr);
// Writes the current format. Key lengths 16, 24 and 32 are accepted (the
// service's keys are 32 bytes). The sizes in the header are the bytes actually
// read, even when the source changes while it is read.
BOOL EncryptFileWithHeader(const uint8_t* key, size_t keyLength, const std::wstring& source,
                           const std::wstring& destination, const std::atomic<bool>* cancel = nullptr);
// Reads the current format; fails on any damage the header or the digest shows.
BOOL DecryptFileWithHeader(const uint8_t* key, size_t keyLength, const std::wstring& source,
                           const std::wstring& destination, const std::atomic<bool>* cancel = nullptr);
// Non-zero when the file begins like one of the two formats; `kind` receives
// an EncryptedFileKind.
BOOL ProbeEncryptedFileFormat(const std::wstring& path, int* kind);
// Reads the older format with the first 32 bytes of the key (shorter keys are
// refused). `packed` receives the header's 0x40 flag (0 or 0x40).
BOOL DecryptLegacyFile(const std::wstring& source, const std::wstring& destination, const uint8_t* key,
                       size_t keyLength, int* packed, const std::atomic<bool>* cancel = nullptr);
// Probes, then decodes with the matching reader; `format` receives a
// DecodedFileFormat. A file of neither format fails without touching the
// destination.
BOOL DecryptFileAnyFormat(const uint8_t* key, size_t keyLength, const std::wstring& source,
                          const std::wstring& destination, int* format,
                          const std::atomic<bool>* cancel = nullptr);
