#pragma once
// An event in the Win32 manner: manual-reset events stay set until reset,
// auto-reset events release one waiter and reset themselves.
#include <condition_variable>
#include <cstdint>
#include <mutex>

constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

class CEvent {
public:
    explicit CEvent(bool manualReset = true, bool initialState = false);
    void Set();
    void Reset();
    // True when the event was set within timeoutMs (INFINITE_WAIT waits forever).
    bool Wait(uint32_t timeoutMs = INFINITE_WAIT);
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_manual;
    bool m_set;
};
