#include "core/taskmgr/task/file_task/filebusyprobe.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"

namespace {

bool HasLockFileBeside(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return false;
    const std::string candidates[] = {".~lock." + name + "#", "~$" + name, ".#" + name, "." + name + ".swp"};
    for (const std::string& candidate : candidates) {
        struct stat st {};
        // lstat: Emacs writes its lock as a dangling symbolic link.
        if (::lstat((folder + candidate).c_str(), &st) == 0)
            return true;
    }
    return false;
}

bool HasForeignLock(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    // Whole file; OFD probes see classic record locks of other processes too.
    if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(fd, LOCK_UN);
    return false;
}

}  // namespace

HRESULT ProbeFileBusy(const std::wstring& path) {
    const std::string local = WideToUtf8(path);
    const int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? E_LOCAL_FILE_MISSING : E_LOCAL_BUSY;
    const bool locked = HasForeignLock(fd);
    ::close(fd);
    return locked || HasLockFileBeside(local) ? E_LOCAL_BUSY : S_OK;
}
