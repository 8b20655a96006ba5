#include "base/filecrypt/sourcefile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SourceFile::~SourceFile() {
    if (fd_ >= 0)
        close(fd_);
}

bool SourceFile::Open(const std::string& path) {
    if (fd_ >= 0)
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool SourceFile::Size(uint64_t* size) const {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0)
        return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool SourceFile::Read(void* buffer, size_t length, size_t* got) {
    *got = 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    // A short read is not the end of the file; only 0 bytes is.
    while (*got < length) {
        ssize_t n = read(fd_, out + *got, length - *got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        *got += static_cast<size_t>(n);
    }
    return true;
}

bool SourceFile::ReadAt(uint64_t offset, void* buffer, size_t length) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < length) {
        ssize_t n = pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool SourceFile::Seek(uint64_t offset) {
    return fd_ >= 0 && lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}
