#include "core/filesystem/filesystem/filehold.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/filelock.h"
#include "platform/strings.h"

namespace {

bool OpenInAnotherProcess(const std::string& path) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    const std::string self = std::to_string(::getpid());
    bool found = false;
    while (!found) {
        dirent* entry = ::readdir(proc);
        if (!entry)
            break;
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        const std::string fdFolder = "/proc/" + pid + "/fd";
        DIR* fds = ::opendir(fdFolder.c_str());  // only this user's processes open
        if (!fds)
            continue;
        while (dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.')
                continue;
            char target[4096];
            const std::string link = fdFolder + "/" + fd->d_name;
            const ssize_t n = ::readlink(link.c_str(), target, sizeof(target) - 1);
            if (n > 0 && static_cast<size_t>(n) == path.size() &&
                path.compare(0, path.size(), target, n) == 0) {
                found = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return found;
}

}  // namespace

FileStamp ReadFileStamp(const std::wstring& path) {
    FileStamp stamp;
    struct stat st {};
    if (::stat(WideToUtf8(path).c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    return stamp;
}

FileHold ProbeFileHold(const std::wstring& path) {
    const std::string local = WideToUtf8(path);
    const int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileHold::kMissing : FileHold::kHeld;
    const bool locked = HasForeignAdvisoryLock(fd);
    ::close(fd);
    if (locked || HasEditorLockFile(local))
        return FileHold::kHeld;
    // /proc shows the resolved path; compare against that.
    char* real = ::realpath(local.c_str(), nullptr);
    const std::string resolved = real ? real : local;
    std::free(real);
    return OpenInAnotherProcess(resolved) ? FileHold::kHeld : FileHold::kFree;
}
