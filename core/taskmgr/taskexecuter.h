#pragma once
// The thread underneath a task cluster: start a body, wait for it with a
// bound, and give up on a worker that outlives its time-out. Threads are never
// killed: an abandoned worker finishes detached, so the body must own (share)
// everything it touches.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/event.h"
#include "platform/workerthread.h"

class CTaskExecuter {
public:
    CTaskExecuter() = default;
    CTaskExecuter(const CTaskExecuter&) = delete;
    CTaskExecuter& operator=(const CTaskExecuter&) = delete;
    // A worker still running is waited for without a bound; owners stop or
    // abandon it first.
    virtual ~CTaskExecuter() = default;

    // True once the body has returned (never for a thread not started).
    bool _HasEnded() const { return m_ended->IsSet(); }
    bool _StopRequested() const { return m_stop.load(); }

protected:
    // False when the thread cannot be created; the body then never runs.
    bool _Start(std::function<void()> body);
    // Sets the stop flag and waits up to timeoutMs (0xFFFFFFFF: no limit) for
    // the body. After a time-out the worker is logged and left to finish
    // detached; returns false then.
    bool _Stop(uint32_t timeoutMs);
    // Joins a body that has ended; no-op for an abandoned or unstarted thread.
    void _Join();

private:
    std::atomic<bool> m_stop{false};
    // Shared with the thread, which may outlive this object.
    std::shared_ptr<CEvent> m_ended = std::make_shared<CEvent>(true, false);
    // Serialises start, join and abandon, which several threads may ask for.
    std::mutex m_threadMutex;
    CWorkerThread m_thread;
};
