#include "core/localstorage/localstorage/localfileops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/fdio.h"
#include "platform/strings.h"

namespace {

// Deeper trees than this are left as they are: the temporary folder holds flat
// files, and a bound keeps a hostile tree from exhausting descriptors.
constexpr int kMaxEmptyDepth = 64;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

void FsyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

// Copies every byte from one descriptor to the other; errno tells why not.
bool CopyFdContents(int in, int out) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAllToFd(out, buffer.data(), static_cast<size_t>(got))) {
            if (errno == 0)
                errno = EIO;
            return false;
        }
    }
}

// Copies source to a new file at target (which must not exist yet) and
// flushes it; the target is removed again on failure. errno on false.
bool CopyToNewFile(const std::string& source, const std::string& target, bool flush) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(in.get(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    Fd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (out.get() < 0)
        return false;
    bool ok = CopyFdContents(in.get(), out.get());
    if (ok && flush && ::fsync(out.get()) != 0)
        ok = false;
    const int err = errno;
    if (::close(out.release()) != 0 && ok)
        ok = false;
    if (!ok) {
        const int closeErr = errno;
        ::unlink(target.c_str());
        errno = err != 0 ? err : closeErr;
        return false;
    }
    return true;
}

std::string HiddenSibling(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + "." + WideToUtf8(NewTempFileName());
}

void EmptyFolderAt(int dirFd, int depth) {
    DIR* dir = ::fdopendir(dirFd);
    if (dir == nullptr) {
        ::close(dirFd);
        return;
    }
    // Names first, removal after: unlinking while readdir walks may skip entries.
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    const int fd = ::dirfd(dir);
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISDIR(st.st_mode)) {
            ::unlinkat(fd, name.c_str(), 0);
            continue;
        }
        if (depth < kMaxEmptyDepth) {
            // O_NOFOLLOW: a folder swapped for a link since the stat is not entered.
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                EmptyFolderAt(child, depth + 1);
        }
        ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
    }
    ::closedir(dir);
}

}  // namespace

HRESULT LocalResultFromErrno(int err) {
    switch (err) {
        case 0:
            return S_OK;
        case ENOENT:
        case ENOTDIR:
            return E_LOCAL_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
        case EXDEV:
            return E_LOCAL_BUSY;
        case EEXIST:
            return E_LOCAL_EXISTS;
        default:
            return E_FAIL;
    }
}

std::wstring NewTempFileName() {
    uint8_t b[16] = {};
    size_t filled = 0;
    while (filled < sizeof(b)) {
        const ssize_t got = ::getrandom(b + filled, sizeof(b) - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        filled += static_cast<size_t>(got);
    }
    if (filled < sizeof(b)) {
        // No entropy source: still unique within the process.
        static uint64_t serial = 0;
        const uint64_t mix = reinterpret_cast<uintptr_t>(&filled) ^ (++serial << 20) ^ ::getpid();
        for (size_t i = 0; i < sizeof(b); ++i)
            b[i] ^= static_cast<uint8_t>(mix >> ((i % 8) * 8));
    }
    // Version 4, variant 1, as generated identifiers are.
    b[6] = static_cast<uint8_t>((b[6] & 0x0F) | 0x40);
    b[8] = static_cast<uint8_t>((b[8] & 0x3F) | 0x80);
    std::wstring out;
    FormatString(out, L"{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0], b[1],
                 b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return out;
}

HRESULT CopyLocalFile(const std::wstring& source, const std::wstring& destination) {
    const std::string from = WideToUtf8(source);
    const std::string to = WideToUtf8(destination);
    // Copied beside the destination first, so an existing destination is
    // replaced whole or not at all.
    const std::string part = HiddenSibling(to);
    if (!CopyToNewFile(from, part, false))
        return LocalResultFromErrno(errno);
    if (::rename(part.c_str(), to.c_str()) != 0) {
        const int err = errno;
        ::unlink(part.c_str());
        return LocalResultFromErrno(err);
    }
    return S_OK;
}

HRESULT MoveLocalFileReplacing(const std::wstring& source, const std::wstring& destination) {
    const std::string from = WideToUtf8(source);
    const std::string to = WideToUtf8(destination);
    if (::rename(from.c_str(), to.c_str()) == 0) {
        FsyncFolderOf(to);
        return S_OK;
    }
    if (errno != EXDEV)
        return LocalResultFromErrno(errno);
    const std::string part = HiddenSibling(to);
    if (!CopyToNewFile(from, part, true))
        return LocalResultFromErrno(errno);
    if (::rename(part.c_str(), to.c_str()) != 0) {
        const int err = errno;
        ::unlink(part.c_str());
        return LocalResultFromErrno(err);
    }
    FsyncFolderOf(to);
    // The copy is in place; a source that cannot be removed is only litter.
    ::unlink(from.c_str());
    return S_OK;
}

void EmptyFolderNoFollow(const std::wstring& folder) {
    std::string path = WideToUtf8(folder);
    // A trailing "/" would make open follow a link in the last element.
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        EmptyFolderAt(fd, 0);
}

void RemoveFileQuietly(const std::wstring& path) {
    if (!path.empty())
        ::unlink(WideToUtf8(path).c_str());
}

HRESULT ReadFileState(const std::wstring& path, FileState& state) {
    struct stat st {};
    if (::stat(WideToUtf8(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return E_FAIL;
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.size = st.st_size;
    state.modified = st.st_mtim;
    state.changed = st.st_ctim;
    return S_OK;
}

bool SameFileState(const FileState& a, const FileState& b) {
    const auto same = [](const struct timespec& x, const struct timespec& y) {
        return x.tv_sec == y.tv_sec && x.tv_nsec == y.tv_nsec;
    };
    return a.device == b.device && a.inode == b.inode && a.size == b.size && same(a.modified, b.modified) &&
           same(a.changed, b.changed);
}
