#include "base/filecrypt/chunkpipeline.h"

#include <algorithm>

namespace {

// Enough chunks that the consumers keep working through the 1 ms pause.
constexpr size_t kThreadedChunks = 32;

}  // namespace

ChunkPipeline::ChunkPipeline(bool threaded) : threaded_(threaded) {}

ChunkPipeline::~ChunkPipeline() {
    StopThreads();
}

void ChunkPipeline::AddConsumer(Consumer consumer) {
    consumers_.push_back(std::move(consumer));
}

bool ChunkPipeline::Start() {
    const size_t count = threaded_ ? kThreadedChunks : 1;
    memory_.reset(static_cast<uint8_t*>(std::aligned_alloc(4096, 2 * count * filecrypt::kChunkSize)));
    if (!memory_)
        return false;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* base = memory_.get() + 2 * i * filecrypt::kChunkSize;
        chunks_.push_back(Chunk{base, base + filecrypt::kChunkSize, 0, 0});
    }
    consumed_.assign(consumers_.size(), 0);
    if (!threaded_)
        return true;
    try {
        for (size_t i = 0; i < consumers_.size(); ++i)
            threads_.emplace_back(&ChunkPipeline::Consume, this, i);
    } catch (...) {
        StopThreads();
        return false;
    }
    return true;
}

uint64_t ChunkPipeline::LeastConsumed() const {
    return *std::min_element(consumed_.begin(), consumed_.end());
}

ChunkPipeline::Chunk* ChunkPipeline::Acquire() {
    if (!threaded_)
        return failed_ ? nullptr : &chunks_[0];
    std::unique_lock<std::mutex> hold(lock_);
    ownerWaiting_ = true;
    chunkDone_.wait(hold, [this] { return failed_ || published_ - LeastConsumed() < chunks_.size(); });
    ownerWaiting_ = false;
    if (failed_)
        return nullptr;
    return &chunks_[published_ % chunks_.size()];
}

bool ChunkPipeline::Publish() {
    if (!threaded_) {
        for (const Consumer& consumer : consumers_) {
            if (!consumer(chunks_[0])) {
                failed_ = true;
                return false;
            }
        }
        ++published_;
        return true;
    }
    std::lock_guard<std::mutex> hold(lock_);
    ++published_;
    chunkReady_.notify_all();
    return !failed_;
}

bool ChunkPipeline::Finish() {
    if (threaded_) {
        std::unique_lock<std::mutex> hold(lock_);
        ownerWaiting_ = true;
        chunkDone_.wait(hold, [this] { return failed_ || LeastConsumed() == published_; });
        ownerWaiting_ = false;
    }
    StopThreads();
    return !failed_;
}

void ChunkPipeline::Consume(size_t index) {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        chunkReady_.wait(hold,
                         [this, index] { return stopping_ || failed_ || consumed_[index] < published_; });
        if (stopping_ || failed_)
            return;
        const Chunk& chunk = chunks_[consumed_[index] % chunks_.size()];
        hold.unlock();
        const bool ok = consumers_[index](chunk);
        hold.lock();
        ++consumed_[index];
        if (!ok) {
            // Everyone stops: the owner and the other consumers alike.
            failed_ = true;
            chunkReady_.notify_all();
            chunkDone_.notify_all();
        } else if (ownerWaiting_) {
            chunkDone_.notify_one();
        }
    }
}

void ChunkPipeline::StopThreads() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
        chunkReady_.notify_all();
        chunkDone_.notify_all();
    }
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}
