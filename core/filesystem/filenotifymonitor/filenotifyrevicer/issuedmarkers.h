#pragma once
// The drag-out and copy-out markers this process wrote and still expects to
// see in a folder. Only a marker found here (its name token and the digest of
// its whole content) is ever read for downloads, so a file that merely looks
// like a marker does nothing. A drag marker serves once; a copy marker serves
// every paste until it expires.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

enum class MarkerKind {
    kDrag,  // dropped once where the user lets go
    kCopy,  // pasted wherever and as often as the user likes
};

class CIssuedMarkers {
public:
    static constexpr uint32_t kDefaultLifetimeMs = 30 * 60 * 1000;

    void Issue(const std::wstring& token, const std::wstring& digest, MarkerKind kind,
               uint32_t lifetimeMs = kDefaultLifetimeMs);
    // Forgets a marker whose file could not be written.
    void Revoke(const std::wstring& token);
    bool Contains(const std::wstring& token);
    // True when the token was issued with this digest and has not expired.
    bool IsIssued(const std::wstring& token, const std::wstring& digest);
    // A marker was read: a drag marker is used up, a copy marker stays.
    void Consume(const std::wstring& token);
    bool HasOutstanding();
    void PurgeExpired();
    // Told (never under the registry's lock) whenever markers were added or
    // removed; the monitor watches folders only while any is outstanding.
    void SetListener(std::function<void()> listener);

private:
    struct Entry {
        std::wstring digest;
        MarkerKind kind;
        uint64_t expiresAt;
    };
    // Removes expired entries; true when any went. Under m_lock.
    bool PurgeLocked();
    void Notify();

    std::mutex m_lock;
    std::map<std::wstring, Entry> m_markers;
    std::function<void()> m_listener;
};

// The registry the explorer's marker writer and the monitor share.
CIssuedMarkers& TheIssuedMarkers();
