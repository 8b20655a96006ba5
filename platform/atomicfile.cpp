#include "platform/atomicfile.h"

#include "platform/fdio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

bool ReadWholeFile(const std::string& path, std::string* bytes, bool* missing) {
    if (missing)
        *missing = false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing)
            *missing = (errno == ENOENT);
        return false;
    }
    std::string data;
    char buf[65536];
    bool ok = true;
    while (true) {
        ssize_t n = read(fd, buf, sizeof(buf));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    if (ok && bytes)
        bytes->swap(data);
    return ok;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, unsigned mode, bool forceMode) {
    if (path.empty())
        return false;
    struct stat st;
    mode_t finalMode = static_cast<mode_t>(mode);
    bool keepOld = !forceMode && stat(path.c_str(), &st) == 0;
    if (keepOld)
        finalMode = st.st_mode & 07777;

    std::string tmp = path + ".tmp-XXXXXX";
    int fd = mkostemp(&tmp[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, finalMode) == 0 && WriteAllToFd(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    if (close(fd) != 0)
        ok = false;
    if (ok && rename(tmp.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    int dir = open(ParentFolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

std::string ParentFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}
