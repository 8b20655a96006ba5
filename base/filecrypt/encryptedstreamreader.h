#pragma once
// Reads the current encrypted format while its bytes arrive (a download in
// progress), with every check the file reader makes: the header's magic,
// version and sizes, the length of the body and its digest. The plaintext is
// written under a temporary name and renamed into place only by a Finish that
// found everything in order; a reader dropped before that leaves nothing.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/crypto/aes.h"
#include "base/crypto/md5.h"
#include "base/filecrypt/chunkpipeline.h"
#include "base/filecrypt/filecryptpause.h"
#include "base/filecrypt/pendingfile.h"

class EncryptedStreamReader {
public:
    // Sees the plaintext in order on a thread of its own.
    using PlainObserver = std::function<void(const uint8_t* bytes, size_t length)>;

    EncryptedStreamReader();
    ~EncryptedStreamReader();
    EncryptedStreamReader(const EncryptedStreamReader&) = delete;
    EncryptedStreamReader& operator=(const EncryptedStreamReader&) = delete;

    // False when the key is refused or the destination cannot be begun. The
    // observer may be empty; the cancel flag (may be null) is looked at before
    // every 64 KB piece.
    bool Begin(const uint8_t* key, size_t keyLength, const std::wstring& destination, PlainObserver observer,
               const std::atomic<bool>* cancel);
    // The next bytes of the encrypted file. False, now and for every later
    // call, once they cannot be the current format or cannot be decoded.
    bool Write(const void* bytes, size_t length);
    // After the last byte: true when the file was whole and its digest right,
    // and the plaintext is now at the destination.
    bool Finish();

private:
    bool StartBody();
    bool Fail();

    CAes m_aes;
    const std::atomic<bool>* m_cancel = nullptr;
    FileCryptPause m_pause;
    std::unique_ptr<PendingFile> m_out;
    DurevMD5::MD5 m_md5;
    PlainObserver m_observer;
    uint8_t m_header[filecrypt::kHeaderSize] = {};
    size_t m_headerBytes = 0;                 // of m_header received so far
    uint64_t m_cipherLeft = 0;                // body bytes not yet placed in a chunk
    uint64_t m_plainLeft = 0;                 // plaintext bytes not yet published
    ChunkPipeline::Chunk* m_chunk = nullptr;  // being filled; null between chunks
    size_t m_chunkWant = 0;                   // bytes m_chunk takes before it is deciphered
    unsigned m_rounds = 0;
    bool m_failed = false;  // Begin failed or Write refused: nothing more is taken
    // Last: its consumers use the members above until it is gone.
    std::unique_ptr<ChunkPipeline> m_pipeline;
};
