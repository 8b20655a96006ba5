#include "platform/namedmutex.h"

#include <chrono>

#include "platform/namedobject.h"
#include "platform/tickcount.h"

CNamedMutex::CNamedMutex(const std::string& name) {
    std::string path = NamedObjectPath(name, ".mutex");
    if (!path.empty())
        m_file.Open(path);
}

bool CNamedMutex::Lock(uint32_t timeoutMs) {
    if (!m_file.IsOpen())
        return false;
    const auto me = std::this_thread::get_id();
    const uint64_t deadline = GetTickCount64() + timeoutMs;
    std::unique_lock<std::mutex> guard(m_state);
    if (m_owner == me) {
        ++m_depth;
        return true;
    }
    // Threads of this process queue here; only the winner waits for the file.
    auto free = [this] { return m_depth == 0; };
    if (timeoutMs == INFINITE_WAIT) {
        m_released.wait(guard, free);
    } else if (!m_released.wait_for(guard, std::chrono::milliseconds(timeoutMs), free)) {
        return false;
    }
    m_owner = me;
    m_depth = 1;
    guard.unlock();

    uint32_t left = INFINITE_WAIT;
    if (timeoutMs != INFINITE_WAIT) {
        uint64_t now = GetTickCount64();
        left = now >= deadline ? 0 : static_cast<uint32_t>(deadline - now);
    }
    if (m_file.Lock(true, left))
        return true;
    guard.lock();
    m_owner = std::thread::id();
    m_depth = 0;
    m_released.notify_one();
    return false;
}

void CNamedMutex::Unlock() {
    std::lock_guard<std::mutex> guard(m_state);
    if (m_owner != std::this_thread::get_id() || m_depth == 0)
        return;
    if (--m_depth > 0)
        return;
    m_file.Unlock();
    m_owner = std::thread::id();
    m_released.notify_one();
}
