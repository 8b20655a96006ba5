#pragma once
// Bounded polling for tests that wait on other threads: no test hangs.
#include <chrono>
#include <functional>
#include <thread>

namespace pellux_test {

// Polls the condition every few milliseconds; false after the bound.
inline bool WaitUntil(const std::function<bool()>& done, int boundMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace pellux_test
