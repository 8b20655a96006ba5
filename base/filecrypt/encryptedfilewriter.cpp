#include "base/crypto/aes.h"
#include "base/crypto/md5.h"
#include "base/filecrypt/chunkpipeline.h"
#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/encryptedfileheader.h"
#include "base/filecrypt/filecryptpause.h"
#include "base/filecrypt/pendingfile.h"
#include "base/filecrypt/sourcefile.h"

using namespace filecrypt;

BOOL EncryptFileToHeaderFormat(const uint8_t* key, size_t keyLength, const std::wstring& source,
                               const std::wstring& destination, const std::atomic<bool>* cancel) {
    return EncryptFileWithHeader(key, keyLength, source, destination, cancel);
}

BOOL EncryptFileWithHeader(const uint8_t* key, size_t keyLength, const std::wstring& source,
                           const std::wstring& destination, const std::atomic<bool>* cancel) {
    CAes aes;
    if (!aes.SetKey(key, keyLength))
        return 0;
    SourceFile in;
    uint64_t sourceSize = 0;
    if (!in.Open(LocalPath(source)) || !in.Size(&sourceSize))
        return 0;
    if (sourceSize >= kMaxEncryptedPlainSize)
        return 0;

    PendingFile out;
    if (!out.Create(LocalPath(destination)))
        return 0;
    // The digest and both sizes are written again at the end with what was
    // really read: the source may change while it is encoded.
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kMagic, kMagicLength);
    Store32Le(header + kVersionOffset, kVersion);
    if (!out.Write(header, sizeof(header)))
        return 0;

    DurevMD5::MD5 md5;
    ChunkPipeline pipeline(sourceSize > kThreadedFromSize);
    pipeline.AddConsumer([&md5](const ChunkPipeline::Chunk& chunk) {
        md5.Update(chunk.output, chunk.outputLength);
        return true;
    });
    pipeline.AddConsumer(
        [&out](const ChunkPipeline::Chunk& chunk) { return out.Write(chunk.output, chunk.outputLength); });
    if (!pipeline.Start())
        return 0;

    const FileCryptPause pause = CurrentFileCryptPause();
    uint64_t plainSize = 0;
    for (unsigned round = 1;; ++round) {
        if (round % kPauseEveryRounds == 0)
            pause();
        if (Cancelled(cancel))
            return 0;
        ChunkPipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return 0;
        size_t got = 0;
        if (!in.Read(chunk->input, kChunkSize, &got))
            return 0;
        if (got == 0)
            break;
        plainSize += got;
        if (plainSize >= kMaxEncryptedPlainSize)
            return 0;
        // The last block is filled up with zero bytes.
        const size_t padded = static_cast<size_t>(RoundUp16(got));
        std::memset(chunk->input + got, 0, padded - got);
        aes.EncryptBlocks(chunk->input, chunk->output, padded / 16);
        chunk->outputLength = padded;
        if (!pipeline.Publish())
            return 0;
        // Read only stops short at the end of the file.
        if (got < kChunkSize)
            break;
    }
    if (!pipeline.Finish())
        return 0;

    uint8_t tail[kHeaderSize - kDigestOffset];
    md5.Final(tail);
    Store32Le(tail + (kPlainSizeOffset - kDigestOffset), static_cast<uint32_t>(plainSize));
    Store32Le(tail + (kPaddedSizeOffset - kDigestOffset), static_cast<uint32_t>(RoundUp16(plainSize)));
    if (!out.WriteAt(kDigestOffset, tail, sizeof(tail)))
        return 0;
    return out.Commit() ? 1 : 0;
}
