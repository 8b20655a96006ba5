#include "base/crypto/aes.h"
#include "base/crypto/md5.h"
#include "base/filecrypt/chunkpipeline.h"
#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/encryptedfileheader.h"
#include "base/filecrypt/filecryptpause.h"
#include "base/filecrypt/pendingfile.h"
#include "base/filecrypt/sourcefile.h"

using namespace filecrypt;

BOOL DecryptFileWithHeader(const uint8_t* key, size_t keyLength, const std::wstring& source,
                           const std::wstring& destination, const std::atomic<bool>* cancel) {
    CAes aes;
    if (!aes.SetKey(key, keyLength))
        return 0;
    SourceFile in;
    uint64_t fileSize = 0;
    if (!in.Open(LocalPath(source)) || !in.Size(&fileSize) || fileSize < kHeaderSize)
        return 0;
    uint8_t header[kHeaderSize];
    if (!in.ReadAt(0, header, sizeof(header)))
        return 0;
    if (std::memcmp(header, kMagic, kMagicLength) != 0 || Load32Le(header + kVersionOffset) != kVersion)
        return 0;
    uint8_t storedDigest[16];
    std::memcpy(storedDigest, header + kDigestOffset, 16);
    const uint64_t plainSize = Load32Le(header + kPlainSizeOffset);
    const uint64_t paddedSize = Load32Le(header + kPaddedSizeOffset);
    // The digest covers only the ciphertext, so the sizes must agree with each
    // other and with the file on their own.
    if (paddedSize != RoundUp16(plainSize) || fileSize - kHeaderSize != paddedSize)
        return 0;

    PendingFile out;
    if (!out.Create(LocalPath(destination)))
        return 0;
    DurevMD5::MD5 md5;
    ChunkPipeline pipeline(plainSize > kThreadedFromSize);
    // The digest is over the ciphertext, the destination gets the plaintext.
    pipeline.AddConsumer([&md5](const ChunkPipeline::Chunk& chunk) {
        md5.Update(chunk.input, chunk.inputLength);
        return true;
    });
    pipeline.AddConsumer(
        [&out](const ChunkPipeline::Chunk& chunk) { return out.Write(chunk.output, chunk.outputLength); });
    if (!pipeline.Start() || !in.Seek(kHeaderSize))
        return 0;

    const FileCryptPause pause = CurrentFileCryptPause();
    uint64_t cipherLeft = paddedSize;
    uint64_t plainLeft = plainSize;
    for (unsigned round = 1; cipherLeft != 0; ++round) {
        if (round % kPauseEveryRounds == 0)
            pause();
        if (Cancelled(cancel))
            return 0;
        ChunkPipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return 0;
        const size_t want = cipherLeft < kChunkSize ? static_cast<size_t>(cipherLeft) : kChunkSize;
        size_t got = 0;
        if (!in.Read(chunk->input, want, &got) || got != want)
            return 0;
        cipherLeft -= got;
        aes.DecryptBlocks(chunk->input, chunk->output, got / 16);
        chunk->inputLength = got;
        // The zero padding of the last block never reaches the destination.
        chunk->outputLength = plainLeft < got ? static_cast<size_t>(plainLeft) : got;
        plainLeft -= chunk->outputLength;
        if (!pipeline.Publish())
            return 0;
    }
    if (!pipeline.Finish())
        return 0;
    uint8_t digest[16];
    md5.Final(digest);
    if (std::memcmp(digest, storedDigest, 16) != 0)
        return 0;
    return out.Commit() ? 1 : 0;
}
