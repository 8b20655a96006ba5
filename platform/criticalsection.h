#pragma once
// A recursive lock (the engine's critical sections may be re-entered by the
// thread that holds them) and its scope guard. A lock given a rank is checked
// against the engine's lock order in debug builds.
#include <mutex>

#include "platform/lockorder.h"

class CCriticalSection {
public:
    CCriticalSection() = default;
    explicit CCriticalSection(LockRank rank) : m_rank(rank) {}

    void Lock() {
#ifndef NDEBUG
        LockOrderCheck(this, m_rank);
#endif
        m_mutex.lock();
#ifndef NDEBUG
        LockOrderTaken(this, m_rank);
#endif
    }
    void Unlock() {
#ifndef NDEBUG
        if (m_rank != LockRank::kNone)
            LockOrderReleased(this);
#endif
        m_mutex.unlock();
    }
    bool TryLock() {
        // A try never waits, so it cannot close a deadlock: only recorded.
        if (!m_mutex.try_lock())
            return false;
#ifndef NDEBUG
        LockOrderTaken(this, m_rank);
#endif
        return true;
    }

private:
    std::recursive_mutex m_mutex;
    LockRank m_rank = LockRank::kNone;
};

class CAutoLock {
public:
    explicit CAutoLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CAutoLock() { m_cs.Unlock(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCriticalSection& m_cs;
};
