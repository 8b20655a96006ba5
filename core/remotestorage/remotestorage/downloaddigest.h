#pragma once
// The SHA-1 of a download, grown while its bytes arrive so the check needs no
// second pass over the file. Large bodies are hashed on a helper thread: the
// transferring thread only receives, writes and hands on.
#include <cstddef>
#include <string>

#include "base/crypto/sha1.h"
#include "base/filecrypt/chunkpipeline.h"

class CDownloadDigest {
public:
    explicit CDownloadDigest(bool threaded);
    CDownloadDigest(const CDownloadDigest&) = delete;
    CDownloadDigest& operator=(const CDownloadDigest&) = delete;

    // False when memory or threads are short.
    bool Start();
    // The next bytes of the body, in order.
    bool Add(const void* bytes, size_t length);
    // After the last byte: 40 lower-case hexadecimal digits, empty on failure.
    std::wstring Finish();

private:
    Sha1Context m_sha1;
    ChunkPipeline::Chunk* m_chunk = nullptr;  // being filled; null between chunks
    bool m_failed = false;
    // Last: its consumer hashes into m_sha1 until it is gone.
    ChunkPipeline m_pipeline;
};
