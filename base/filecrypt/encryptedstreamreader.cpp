#include "base/filecrypt/encryptedstreamreader.h"

#include <algorithm>
#include <cstring>

#include "base/filecrypt/encryptedfileheader.h"

using namespace filecrypt;

EncryptedStreamReader::EncryptedStreamReader() = default;

EncryptedStreamReader::~EncryptedStreamReader() {
    // The consumers go first: they write into m_out and hash into m_md5.
    m_pipeline.reset();
}

bool EncryptedStreamReader::Begin(const uint8_t* key, size_t keyLength, const std::wstring& destination,
                                  PlainObserver observer, const std::atomic<bool>* cancel) {
    m_cancel = cancel;
    m_observer = std::move(observer);
    m_pause = CurrentFileCryptPause();
    m_out = std::make_unique<PendingFile>();
    if (!m_aes.SetKey(key, keyLength) || !m_out->Create(LocalPath(destination)))
        return Fail();
    return true;
}

bool EncryptedStreamReader::Fail() {
    m_failed = true;
    m_chunk = nullptr;
    m_pipeline.reset();
    m_out.reset();
    return false;
}

bool EncryptedStreamReader::StartBody() {
    if (std::memcmp(m_header, kMagic, kMagicLength) != 0 || Load32Le(m_header + kVersionOffset) != kVersion)
        return false;
    m_plainLeft = Load32Le(m_header + kPlainSizeOffset);
    m_cipherLeft = Load32Le(m_header + kPaddedSizeOffset);
    // As in the file reader: the digest covers only the ciphertext, so the
    // sizes must agree with each other on their own; the body's length is
    // checked against them as it arrives and at the end.
    if (m_cipherLeft != RoundUp16(m_plainLeft))
        return false;
    // Threads even for small files: the bytes come from the network thread,
    // which should only decipher and hand on.
    m_pipeline = std::make_unique<ChunkPipeline>(true);
    m_pipeline->AddConsumer([this](const ChunkPipeline::Chunk& chunk) {
        m_md5.Update(chunk.input, chunk.inputLength);
        return true;
    });
    m_pipeline->AddConsumer(
        [this](const ChunkPipeline::Chunk& chunk) { return m_out->Write(chunk.output, chunk.outputLength); });
    if (m_observer) {
        m_pipeline->AddConsumer([this](const ChunkPipeline::Chunk& chunk) {
            m_observer(chunk.output, chunk.outputLength);
            return true;
        });
    }
    return m_pipeline->Start();
}

bool EncryptedStreamReader::Write(const void* bytes, size_t length) {
    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    while (!m_failed && length != 0) {
        if (m_headerBytes < kHeaderSize) {
            const size_t take = std::min(length, kHeaderSize - m_headerBytes);
            std::memcpy(m_header + m_headerBytes, next, take);
            m_headerBytes += take;
            next += take;
            length -= take;
            if (m_headerBytes == kHeaderSize && !StartBody())
                return Fail();
            continue;
        }
        if (m_chunk == nullptr) {
            // More bytes than the header announced: not a file of this format.
            if (m_cipherLeft == 0 || Cancelled(m_cancel))
                return Fail();
            m_chunk = m_pipeline->Acquire();
            if (m_chunk == nullptr)
                return Fail();
            m_chunk->inputLength = 0;
            m_chunkWant = m_cipherLeft < kChunkSize ? static_cast<size_t>(m_cipherLeft) : kChunkSize;
        }
        const size_t take = std::min(length, m_chunkWant - m_chunk->inputLength);
        std::memcpy(m_chunk->input + m_chunk->inputLength, next, take);
        m_chunk->inputLength += take;
        next += take;
        length -= take;
        if (m_chunk->inputLength < m_chunkWant)
            continue;
        m_cipherLeft -= m_chunkWant;
        m_aes.DecryptBlocks(m_chunk->input, m_chunk->output, m_chunkWant / 16);
        // The zero padding of the last block never reaches the destination.
        m_chunk->outputLength = m_plainLeft < m_chunkWant ? static_cast<size_t>(m_plainLeft) : m_chunkWant;
        m_plainLeft -= m_chunk->outputLength;
        m_chunk = nullptr;
        if (!m_pipeline->Publish())
            return Fail();
    }
    return !m_failed;
}

bool EncryptedStreamReader::Finish() {
    if (m_failed || m_headerBytes < kHeaderSize || m_cipherLeft != 0 || m_chunk != nullptr ||
        Cancelled(m_cancel) || !m_pipeline->Finish()) {
        return Fail();
    }
    uint8_t digest[16];
    m_md5.Final(digest);
    if (std::memcmp(digest, m_header + kDigestOffset, 16) != 0 || !m_out->Commit())
        return Fail();
    m_pipeline.reset();
    m_out.reset();
    // A second Finish or Write finds nothing to take.
    m_failed = true;
    return true;
}
