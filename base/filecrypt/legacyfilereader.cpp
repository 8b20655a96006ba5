#include "base/crypto/aes.h"
#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/encryptedfileheader.h"
#include "base/filecrypt/pendingfile.h"
#include "base/filecrypt/sourcefile.h"

using namespace filecrypt;

BOOL DecryptLegacyFile(const std::wstring& source, const std::wstring& destination, const uint8_t* key,
                       size_t keyLength, int* packed, const std::atomic<bool>* cancel) {
    if (key == nullptr || keyLength < kLegacyKeyLength)
        return 0;
    CAes aes;
    if (!aes.SetKey(key, kLegacyKeyLength))
        return 0;
    SourceFile in;
    uint64_t fileSize = 0;
    if (!in.Open(LocalPath(source)) || !in.Size(&fileSize) || fileSize < kLegacyHeaderSize)
        return 0;
    uint8_t header[kLegacyHeaderSize];
    if (!in.ReadAt(0, header, sizeof(header)))
        return 0;
    if (std::memcmp(header, kLegacyMagic, sizeof(kLegacyMagic)) != 0 || header[4] != 1)
        return 0;
    const unsigned padCount = header[kLegacyPadCountOffset];
    const uint64_t cipherSize = fileSize - kLegacyHeaderSize;
    // No digest guards this format: at least refuse what cannot be whole.
    if (padCount >= 16 || cipherSize % 16 != 0 || cipherSize < padCount)
        return 0;
    if (packed != nullptr)
        *packed = header[kLegacyFlagsOffset] & kLegacyPackedFlag;

    PendingFile out;
    if (!out.Create(LocalPath(destination)))
        return 0;
    ChunkBuffer cipher = NewChunkBuffer();
    ChunkBuffer plain = NewChunkBuffer();
    if (!cipher || !plain || !in.Seek(kLegacyHeaderSize))
        return 0;
    uint64_t cipherLeft = cipherSize;
    uint64_t plainLeft = cipherSize - padCount;
    while (cipherLeft != 0) {
        if (Cancelled(cancel))
            return 0;
        const size_t want = cipherLeft < kChunkSize ? static_cast<size_t>(cipherLeft) : kChunkSize;
        size_t got = 0;
        if (!in.Read(cipher.get(), want, &got) || got != want)
            return 0;
        cipherLeft -= got;
        aes.DecryptBlocks(cipher.get(), plain.get(), got / 16);
        const size_t keep = plainLeft < got ? static_cast<size_t>(plainLeft) : got;
        if (!out.Write(plain.get(), keep))
            return 0;
        plainLeft -= keep;
    }
    return out.Commit() ? 1 : 0;
}
