#pragma once
// An advisory whole-file lock (flock) on a lock file. The kernel drops it when
// the descriptor closes, also when the holding process dies. Each CFileLock
// opens its own descriptor, so two objects exclude each other even inside one
// process; one object is not meant to be shared between threads.
#include <cstdint>
#include <string>

class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Opens (creating with mode 0600) the lock file; false when it cannot.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    // Takes the lock, waiting up to timeoutMs (0xFFFFFFFF waits forever,
    // 0 only tries). True when held.
    bool Lock(bool exclusive, uint32_t timeoutMs = 0xFFFFFFFFu);
    void Unlock();
    void Close();
    int Descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

// Traces another program leaves while it holds a file. Linux has no exclusive
// opening, so these are what can be seen: an advisory lock on the open
// descriptor's file (POSIX record, open-file-description or flock locks of any
// process on this machine), and an editor's lock or swap file beside it
// (office suites' ".~lock.NAME#" and "~$NAME", vim's ".NAME.swp", emacs'
// ".#NAME", which may be a dangling link).
bool HasForeignAdvisoryLock(int fd);
bool HasEditorLockFile(const std::string& path);
