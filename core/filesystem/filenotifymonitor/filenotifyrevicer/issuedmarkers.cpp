#include "core/filesystem/filenotifymonitor/filenotifyrevicer/issuedmarkers.h"

#include "platform/tickcount.h"

void CIssuedMarkers::Issue(const std::wstring& token, const std::wstring& digest, MarkerKind kind,
                           uint32_t lifetimeMs) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_markers[token] = Entry{digest, kind, GetTickCount64() + lifetimeMs};
    }
    Notify();
}

void CIssuedMarkers::Revoke(const std::wstring& token) {
    bool removed;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        removed = m_markers.erase(token) != 0;
    }
    if (removed)
        Notify();
}

bool CIssuedMarkers::Contains(const std::wstring& token) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_markers.count(token) != 0;
}

bool CIssuedMarkers::IsIssued(const std::wstring& token, const std::wstring& digest) {
    bool purged, issued;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        purged = PurgeLocked();
        auto it = m_markers.find(token);
        issued = it != m_markers.end() && it->second.digest == digest;
    }
    if (purged)
        Notify();
    return issued;
}

void CIssuedMarkers::Consume(const std::wstring& token) {
    bool removed = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = m_markers.find(token);
        if (it != m_markers.end() && it->second.kind == MarkerKind::kDrag) {
            m_markers.erase(it);
            removed = true;
        }
    }
    if (removed)
        Notify();
}

bool CIssuedMarkers::HasOutstanding() {
    // The asker learns the state from the answer. Notifying here would call
    // the listener, which asks from inside its own lock, back into itself.
    std::lock_guard<std::mutex> guard(m_lock);
    PurgeLocked();
    return !m_markers.empty();
}

void CIssuedMarkers::PurgeExpired() {
    bool purged;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        purged = PurgeLocked();
    }
    if (purged)
        Notify();
}

void CIssuedMarkers::SetListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_listener = std::move(listener);
}

bool CIssuedMarkers::PurgeLocked() {
    const uint64_t now = GetTickCount64();
    bool any = false;
    for (auto it = m_markers.begin(); it != m_markers.end();) {
        if (now >= it->second.expiresAt) {
            it = m_markers.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

void CIssuedMarkers::Notify() {
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        listener = m_listener;
    }
    if (listener)
        listener();
}

CIssuedMarkers& TheIssuedMarkers() {
    static CIssuedMarkers registry;
    return registry;
}
