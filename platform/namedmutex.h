#pragma once
// A mutex that processes share by name (the log file's "_#_LogFile_Z_MutxName_#_"),
// built on an flock of a file in the runtime folder: the kernel releases it
// when the holding process dies. Like a Win32 mutex it may be re-entered by
// the thread that holds it, and one object may be used from several threads.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/event.h"
#include "platform/filelock.h"

class CNamedMutex {
public:
    explicit CNamedMutex(const std::string& name);
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // False when the lock file could not be opened; Lock then always fails.
    bool IsValid() const { return m_file.IsOpen(); }
    // Waits up to timeoutMs (INFINITE_WAIT: forever); true when held.
    bool Lock(uint32_t timeoutMs = INFINITE_WAIT);
    // Releases one entry; a thread that does not hold the mutex changes nothing.
    void Unlock();

private:
    std::mutex m_state;
    std::condition_variable m_released;
    // The thread that holds the mutex (or is taking the file lock for it).
    std::thread::id m_owner;
    // Entries by the owner; 0 when no thread of this object holds it.
    int m_depth = 0;
    CFileLock m_file;
};
