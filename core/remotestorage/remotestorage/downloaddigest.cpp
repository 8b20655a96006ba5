#include "core/remotestorage/remotestorage/downloaddigest.h"

#include <algorithm>
#include <cstring>

#include "core/remotestorage/remotestorage/filesha1.h"

CDownloadDigest::CDownloadDigest(bool threaded) : m_pipeline(threaded) {
    Sha1Init(&m_sha1);
    m_pipeline.AddConsumer([this](const ChunkPipeline::Chunk& chunk) {
        Sha1Update(chunk.input, chunk.inputLength, &m_sha1);
        return true;
    });
}

bool CDownloadDigest::Start() {
    m_failed = !m_pipeline.Start();
    return !m_failed;
}

bool CDownloadDigest::Add(const void* bytes, size_t length) {
    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    while (!m_failed && length != 0) {
        if (m_chunk == nullptr) {
            m_chunk = m_pipeline.Acquire();
            if (m_chunk == nullptr)
                return !(m_failed = true);
            m_chunk->inputLength = 0;
        }
        const size_t take = std::min(length, filecrypt::kChunkSize - m_chunk->inputLength);
        std::memcpy(m_chunk->input + m_chunk->inputLength, next, take);
        m_chunk->inputLength += take;
        next += take;
        length -= take;
        if (m_chunk->inputLength == filecrypt::kChunkSize) {
            m_chunk = nullptr;
            if (!m_pipeline.Publish())
                m_failed = true;
        }
    }
    return !m_failed;
}

std::wstring CDownloadDigest::Finish() {
    if (m_chunk != nullptr) {
        m_chunk = nullptr;
        if (!m_pipeline.Publish())
            m_failed = true;
    }
    if (!m_pipeline.Finish() || m_failed)
        return std::wstring();
    return FinalSha1Hex(&m_sha1);
}
