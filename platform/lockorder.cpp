#include "platform/lockorder.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Held {
    const void* lock;
    LockRank rank;
};

thread_local std::vector<Held> t_held;

std::mutex g_handlerLock;
LockOrderViolationHandler g_handler;

void DefaultViolation(LockRank held, LockRank taken) {
    std::fprintf(stderr, "lock order broken: rank %d taken while rank %d is held\n", static_cast<int>(taken),
                 static_cast<int>(held));
    std::abort();
}

}  // namespace

void SetLockOrderViolationHandler(LockOrderViolationHandler handler) {
    std::lock_guard<std::mutex> guard(g_handlerLock);
    g_handler = std::move(handler);
}

void LockOrderCheck(const void* lock, LockRank rank) {
    if (rank == LockRank::kNone)
        return;
    const Held* worst = nullptr;
    for (const Held& held : t_held) {
        if (held.lock == lock)
            return;
        if (held.rank >= rank && (!worst || held.rank > worst->rank))
            worst = &held;
    }
    if (!worst)
        return;
    LockOrderViolationHandler handler;
    {
        std::lock_guard<std::mutex> guard(g_handlerLock);
        handler = g_handler;
    }
    if (handler)
        handler(worst->rank, rank);
    else
        DefaultViolation(worst->rank, rank);
}

void LockOrderTaken(const void* lock, LockRank rank) {
    if (rank != LockRank::kNone)
        t_held.push_back({lock, rank});
}

void LockOrderReleased(const void* lock) {
    for (auto it = t_held.rbegin(); it != t_held.rend(); ++it) {
        if (it->lock == lock) {
            t_held.erase(std::next(it).base());
            return;
        }
    }
}
