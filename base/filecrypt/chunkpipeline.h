#pragma once
// Hands the chunks of an encode or decode to consumers (the digest and the
// writer). For large files each consumer runs on its own thread over a ring of
// chunk buffers, so hashing and writing overlap with reading, ciphering and the
// periodic pause; small files run the consumers inline, one buffer, no threads.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "base/filecrypt/encryptedfileheader.h"

class ChunkPipeline {
public:
    struct Chunk {
        uint8_t* input;
        uint8_t* output;
        size_t inputLength;
        size_t outputLength;
    };
    // Returns false to fail the whole run.
    using Consumer = std::function<bool(const Chunk&)>;

    explicit ChunkPipeline(bool threaded);
    // Stops and joins the consumers; they finish the chunk in hand first.
    ~ChunkPipeline();
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    // Every chunk goes to every consumer, in publishing order.
    void AddConsumer(Consumer consumer);
    // Allocates the buffers and starts the threads; false when out of memory
    // or threads.
    bool Start();
    // The next chunk to fill, once every consumer is done with its last use;
    // nullptr when a consumer has failed.
    Chunk* Acquire();
    // Hands the chunk from Acquire to the consumers.
    bool Publish();
    // Waits until every published chunk is consumed; false when a consumer failed.
    bool Finish();

private:
    void Consume(size_t index);
    uint64_t LeastConsumed() const;
    void StopThreads();

    const bool threaded_;
    std::vector<Consumer> consumers_;
    filecrypt::ChunkBuffer memory_;
    std::vector<Chunk> chunks_;
    std::vector<std::thread> threads_;

    std::mutex lock_;
    // Consumers wait here for published chunks (or the end).
    std::condition_variable chunkReady_;
    // The owner waits here for a free chunk or for the consumers to finish;
    // consumers only signal it while ownerWaiting_ is set, so most chunks
    // cost no wake-up at all.
    std::condition_variable chunkDone_;
    bool ownerWaiting_ = false;
    // Chunks handed out so far.
    uint64_t published_ = 0;
    // Per consumer: chunks it has finished.
    std::vector<uint64_t> consumed_;
    // A consumer returned false: everyone stops.
    bool failed_ = false;
    // The owner is going away: threads leave their loops.
    bool stopping_ = false;
};
