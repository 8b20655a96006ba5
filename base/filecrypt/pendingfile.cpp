#include "base/filecrypt/pendingfile.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <random>

#include "platform/atomicfile.h"

namespace {

std::string TemporaryName(const std::string& folder) {
    static std::atomic<uint32_t> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    char name[64];
    std::snprintf(name, sizeof(name), "/.pellux-%d-%u-%08x.part", static_cast<int>(getpid()),
                  counter.fetch_add(1), static_cast<unsigned>(random()));
    return folder + name;
}

}  // namespace

PendingFile::~PendingFile() {
    Discard();
}

bool PendingFile::Create(const std::string& destination) {
    if (fd_ >= 0 || destination.empty() || destination.back() == '/')
        return false;
    const std::string folder = ParentFolderOf(destination);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string temporary = TemporaryName(folder);
        // 0666 lets the umask decide, as for any new file.
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = std::move(temporary);
            destination_ = destination;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool PendingFile::Write(const void* bytes, size_t length) {
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    while (length != 0) {
        ssize_t n = write(fd_, in, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        in += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool PendingFile::WriteAt(uint64_t offset, const void* bytes, size_t length) {
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    while (length != 0) {
        ssize_t n = pwrite(fd_, in, length, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        in += n;
        offset += static_cast<uint64_t>(n);
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool PendingFile::Commit() {
    if (fd_ < 0)
        return false;
    const int fd = fd_;
    fd_ = -1;
    // close reports late write errors of some file systems.
    if (close(fd) != 0 || rename(temporary_.c_str(), destination_.c_str()) != 0) {
        unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void PendingFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}
