#include "platform/namedevent.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/namedobject.h"
#include "platform/tickcount.h"

// The event's file holds two bytes: '1' or '0' for the state, 'm' or 'a' for
// manual or automatic reset. Creating, opening and changing the state happen
// under an exclusive lock of a separate guard file, so a creator cannot
// mistake another creator's short exclusive test lock for an open handle.

bool CNamedEvent::Create(const std::string& name, bool manualReset, bool initialState, bool* alreadyExisted) {
    return Attach(name, true, manualReset, initialState, alreadyExisted);
}

bool CNamedEvent::Open(const std::string& name) {
    return Attach(name, false, true, false, nullptr);
}

bool CNamedEvent::Attach(const std::string& name, bool create, bool manualReset, bool initialState,
                         bool* existed) {
    Close();
    std::string path = NamedObjectPath(name, ".event");
    if (path.empty())
        return false;
    CFileLock guard;
    if (!guard.Open(path + ".guard") || !guard.Lock(true))
        return false;
    if (!m_handle.Open(path))
        return false;
    int fd = m_handle.Descriptor();
    bool isNew = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (isNew && !create) {
        m_handle.Close();
        return false;
    }
    if (isNew) {
        const char bytes[2] = {initialState ? '1' : '0', manualReset ? 'm' : 'a'};
        if (ftruncate(fd, 0) != 0 || pwrite(fd, bytes, 2, 0) != 2) {
            m_handle.Close();
            return false;
        }
    }
    // Every handle holds the shared lock for as long as it is open.
    if (!m_handle.Lock(false)) {
        m_handle.Close();
        return false;
    }
    m_guardPath = path + ".guard";
    if (existed)
        *existed = !isNew;
    return true;
}

void CNamedEvent::Close() {
    m_handle.Close();
    m_guardPath.clear();
}

bool CNamedEvent::WriteState(char state) {
    if (!m_handle.IsOpen())
        return false;
    CFileLock guard;
    if (!guard.Open(m_guardPath) || !guard.Lock(true))
        return false;
    return pwrite(m_handle.Descriptor(), &state, 1, 0) == 1;
}

bool CNamedEvent::Set() {
    return WriteState('1');
}

bool CNamedEvent::Reset() {
    return WriteState('0');
}

bool CNamedEvent::TestAndConsume() {
    CFileLock guard;
    if (!guard.Open(m_guardPath) || !guard.Lock(true))
        return false;
    char bytes[2] = {0, 0};
    if (pread(m_handle.Descriptor(), bytes, 2, 0) < 1 || bytes[0] != '1')
        return false;
    if (bytes[1] == 'a') {
        const char reset = '0';
        if (pwrite(m_handle.Descriptor(), &reset, 1, 0) != 1)
            return false;
    }
    return true;
}

bool CNamedEvent::Wait(uint32_t timeoutMs) {
    if (!m_handle.IsOpen())
        return false;
    uint64_t deadline = GetTickCount64() + timeoutMs;
    while (true) {
        if (TestAndConsume())
            return true;
        if (timeoutMs != INFINITE_WAIT && GetTickCount64() >= deadline)
            return false;
        SleepMs(10);
    }
}
