#include "platform/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/tickcount.h"

CFileLock::~CFileLock() {
    Close();
}

bool CFileLock::Open(const std::string& path) {
    Close();
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    return m_fd >= 0;
}

bool CFileLock::Lock(bool exclusive, uint32_t timeoutMs) {
    if (m_fd < 0)
        return false;
    int op = exclusive ? LOCK_EX : LOCK_SH;
    if (timeoutMs == 0xFFFFFFFFu) {
        while (flock(m_fd, op) != 0) {
            if (errno != EINTR)
                return false;
        }
        return true;
    }
    // flock has no time-out of its own: poll, backing off to 10 ms.
    uint64_t deadline = GetTickCount64() + timeoutMs;
    uint32_t pause = 1;
    while (true) {
        if (flock(m_fd, op | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        uint64_t now = GetTickCount64();
        if (now >= deadline)
            return false;
        SleepMs(static_cast<uint32_t>(std::min<uint64_t>(pause, deadline - now)));
        if (pause < 10)
            pause *= 2;
    }
}

void CFileLock::Unlock() {
    if (m_fd >= 0)
        flock(m_fd, LOCK_UN);
}

void CFileLock::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

bool HasForeignAdvisoryLock(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;  // conflicts with any lock another holder has
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;  // the whole file
    if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(fd, LOCK_UN);
    return false;
}

bool HasEditorLockFile(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return false;
    for (const std::string& lockName :
         {".~lock." + name + "#", "~$" + name, "." + name + ".swp", ".#" + name}) {
        struct stat st {};
        if (::lstat((folder + lockName).c_str(), &st) == 0)
            return true;
    }
    return false;
}
