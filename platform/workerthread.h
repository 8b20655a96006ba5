#pragma once
// A worker thread with a stop request and a bounded join. Threads are never
// killed: a worker that does not finish in time is left to finish detached, so
// everything it touches must be shared-owned (capture shared_ptrs, not this).
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/event.h"

class CWorkerThread {
public:
    // The body gets the stop state; it should poll StopRequested() or wait on
    // StopEvent() and return soon after a stop is requested.
    class StopToken {
    public:
        bool StopRequested() const { return m_state->stop.load(); }
        // Waits up to ms for a stop request; true when stop was requested.
        bool WaitForStop(uint32_t ms) const { return m_state->stopEvent.Wait(ms); }

    private:
        friend class CWorkerThread;
        struct State {
            std::atomic<bool> stop{false};
            CEvent stopEvent{true, false};
            CEvent done{true, false};
        };
        std::shared_ptr<State> m_state;
    };

    CWorkerThread() = default;
    ~CWorkerThread();  // requests stop and waits without a bound if still joinable
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    bool Start(std::function<void(const StopToken&)> body);
    void RequestStop();
    // Waits up to ms for the body to return. True when it has finished (the
    // thread is joined); false when it is still running (see Abandon).
    bool Join(uint32_t ms);
    // Gives up on a worker that did not stop in time: it finishes detached.
    void Abandon();
    // Requests stop and waits up to ms; a worker still running then is logged
    // with timeoutText (error level) and abandoned. True when it finished.
    bool StopAndJoin(uint32_t ms, const std::wstring& timeoutText);
    bool IsRunning() const;

private:
    std::thread m_thread;
    StopToken m_token;
};
