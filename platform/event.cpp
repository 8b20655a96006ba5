#include "platform/event.h"

#include <chrono>

CEvent::CEvent(bool manualReset, bool initialState) : m_manual(manualReset), m_set(initialState) {}

void CEvent::Set() {
    {
        std::lock_guard<std::mutex> g(m_mutex);
        m_set = true;
    }
    if (m_manual)
        m_cv.notify_all();
    else
        m_cv.notify_one();
}

void CEvent::Reset() {
    std::lock_guard<std::mutex> g(m_mutex);
    m_set = false;
}

bool CEvent::Wait(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> g(m_mutex);
    auto ready = [this] { return m_set; };
    if (timeoutMs == INFINITE_WAIT) {
        m_cv.wait(g, ready);
    } else if (!m_cv.wait_for(g, std::chrono::milliseconds(timeoutMs), ready)) {
        return false;
    }
    if (!m_manual)
        m_set = false;
    return true;
}

bool CEvent::IsSet() const {
    std::lock_guard<std::mutex> g(m_mutex);
    return m_set;
}
