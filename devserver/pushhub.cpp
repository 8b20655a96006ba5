#include "devserver/pushhub.h"

#include <chrono>

namespace devserver {

void PushHub::Notify() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
    }
    m_changed.notify_all();
}

void PushHub::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
        ++m_generation;
    }
    m_changed.notify_all();
}

void PushHub::Forget() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_told.clear();
}

VersionPair PushHub::Wait(const std::string& userId, const std::function<VersionPair()>& read) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_holdMs);
    // Each poll waits for a change from what the user had been told when it
    // arrived: a poll answered meanwhile (another device of the same user)
    // must not leave this one holding on versions it was never told.
    bool knownUser = false;
    VersionPair baseline;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto told = m_told.find(userId);
        if (told != m_told.end()) {
            knownUser = true;
            baseline = told->second;
        }
    }
    for (;;) {
        uint64_t generation;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            generation = m_generation;
        }
        VersionPair now = read();
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!knownUser || baseline != now || m_stopped || std::chrono::steady_clock::now() >= deadline) {
            m_told[userId] = now;
            return now;
        }
        m_changed.wait_until(lock, deadline, [&] { return m_generation != generation; });
    }
}

}  // namespace devserver
