#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/encryptedfileheader.h"
#include "base/filecrypt/sourcefile.h"

using namespace filecrypt;

BOOL ProbeEncryptedFileFormat(const std::wstring& path, int* kind) {
    SourceFile in;
    if (!in.Open(LocalPath(path)))
        return 0;
    uint8_t head[kMagicLength] = {};
    size_t got = 0;
    if (!in.Read(head, sizeof(head), &got))
        return 0;
    if (got == kMagicLength && std::memcmp(head, kMagic, kMagicLength) == 0) {
        if (kind != nullptr)
            *kind = kEncryptedFileCurrent;
        return 1;
    }
    if (got >= sizeof(kLegacyMagic) && std::memcmp(head, kLegacyMagic, sizeof(kLegacyMagic)) == 0) {
        if (kind != nullptr)
            *kind = kEncryptedFileLegacy;
        return 1;
    }
    return 0;
}

BOOL DecryptFileAnyFormat(const uint8_t* key, size_t keyLength, const std::wstring& source,
                          const std::wstring& destination, int* format, const std::atomic<bool>* cancel) {
    int kind = -1;
    if (!ProbeEncryptedFileFormat(source, &kind))
        return 0;
    if (kind == kEncryptedFileCurrent) {
        if (!DecryptFileWithHeader(key, keyLength, source, destination, cancel))
            return 0;
        if (format != nullptr)
            *format = kDecodedCurrent;
        return 1;
    }
    int packed = 0;
    if (!DecryptLegacyFile(source, destination, key, keyLength, &packed, cancel))
        return 0;
    if (format != nullptr)
        *format = packed ? kDecodedLegacyPacked : kDecodedLegacyPlain;
    return 1;
}
