#include "base/sevenzip/sevenzipreader.h"

#include "platform/fdio.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/sevenzip/sevenzipheaderguard.h"
#include "platform/strings.h"

namespace {

const unsigned char kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
const size_t kStartHeaderSize = 32;
const size_t kBlockSize = 64 * 1024;

uint64_t Le(const unsigned char* p, int width) {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// The start header as the format's own reader checks it: signature at offset
// 0, major version 0, both CRCs, and the header inside the file; then the
// header's counts and sizes within bounds. libarchive is more lenient (it
// looks for archives inside executables and trusts the sizes), so files from
// the network are checked here first.
bool StartHeaderIsSound(int fd, uint64_t fileSize) {
    unsigned char h[kStartHeaderSize];
    if (fileSize < kStartHeaderSize || pread(fd, h, sizeof(h), 0) != static_cast<ssize_t>(sizeof(h)))
        return false;
    if (std::memcmp(h, kSignature, sizeof(kSignature)) != 0 || h[6] != 0)
        return false;
    if (crc32(0, h + 12, 20) != Le(h + 8, 4))
        return false;
    const uint64_t offset = Le(h + 12, 8);
    const uint64_t size = Le(h + 20, 8);
    const uint64_t room = fileSize - kStartHeaderSize;
    if (size == 0)
        return true;  // an archive without items
    if (offset > room || size > room - offset || size > kSevenZipMaxHeaderBytes)
        return false;
    uLong crc = crc32(0, Z_NULL, 0);
    std::vector<unsigned char> buf(kBlockSize);
    uint64_t pos = kStartHeaderSize + offset;
    for (uint64_t left = size; left > 0;) {
        const size_t want = left < buf.size() ? static_cast<size_t>(left) : buf.size();
        const ssize_t n = pread(fd, buf.data(), want, static_cast<off_t>(pos));
        if (n <= 0)
            return false;
        crc = crc32(crc, buf.data(), static_cast<uInt>(n));
        pos += static_cast<uint64_t>(n);
        left -= static_cast<uint64_t>(n);
    }
    return crc == Le(h + 28, 4) && SevenZipHeaderIsBounded(fd, kStartHeaderSize + offset, size);
}

// One open archive file read through libarchive's 7z reader alone.
class SevenZipFile {
public:
    ~SevenZipFile() {
        if (m_archive != nullptr)
            archive_read_free(m_archive);
        if (m_fd >= 0)
            close(m_fd);
    }

    // libarchive also finds archives inside self-extracting executables;
    // only a file that starts with a sound 7z start header is taken.
    bool Open(const std::wstring& path) {
        m_fd = open(WideToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0 || fstat(m_fd, &m_stat) != 0 || !S_ISREG(m_stat.st_mode))
            return false;
        if (!StartHeaderIsSound(m_fd, static_cast<uint64_t>(m_stat.st_size)))
            return false;
        m_archive = archive_read_new();
        if (m_archive == nullptr || archive_read_support_format_7zip(m_archive) != ARCHIVE_OK)
            return false;
        return archive_read_open_fd(m_archive, m_fd, kBlockSize) == ARCHIVE_OK;
    }

    // ARCHIVE_OK with an entry, ARCHIVE_EOF after the last, or a failure.
    int Next(archive_entry** entry) {
        const int r = archive_read_next_header(m_archive, entry);
        // Warnings concern names that do not fit the locale; names are not used.
        return r == ARCHIVE_WARN ? ARCHIVE_OK : r;
    }

    archive* handle() const { return m_archive; }
    const struct stat& info() const { return m_stat; }

private:
    int m_fd = -1;
    struct stat m_stat = {};
    archive* m_archive = nullptr;
};

bool SameFile(const std::string& path, const struct stat& other) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && st.st_dev == other.st_dev && st.st_ino == other.st_ino;
}

bool StreamEntry(archive* a, int destFd) {
    std::vector<char> buf(kBlockSize);
    for (;;) {
        const la_ssize_t n = archive_read_data(a, buf.data(), buf.size());
        if (n == 0)
            return true;
        if (n < 0 || !WriteAllToFd(destFd, buf.data(), static_cast<size_t>(n)))
            return false;
    }
}

}  // namespace

int ExtractFirstFileFrom7z(const std::wstring& destPath, const std::wstring& archivePath) {
    SevenZipFile file;
    if (!file.Open(archivePath))
        return 0;
    archive_entry* entry = nullptr;
    int r;
    while ((r = file.Next(&entry)) == ARCHIVE_OK && archive_entry_filetype(entry) == AE_IFDIR) {
    }
    if (r != ARCHIVE_OK)
        return 0;

    const std::string dest = WideToUtf8(destPath);
    // The item streams straight to the destination, so it cannot overwrite
    // the archive it is read from.
    if (SameFile(dest, file.info()))
        return 0;
    const int destFd = open(dest.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (destFd < 0)
        return 0;
    bool ok = StreamEntry(file.handle(), destFd);
    if (close(destFd) != 0)
        ok = false;
    if (!ok)
        unlink(dest.c_str());
    return ok ? 1 : 0;
}

int Query7zArchive(const std::wstring& archivePath, uint64_t* size) {
    SevenZipFile file;
    if (!file.Open(archivePath))
        return 0;
    archive_entry* entry = nullptr;
    const int r = file.Next(&entry);
    if (r != ARCHIVE_OK && r != ARCHIVE_EOF)
        return 0;
    if (size != nullptr) {
        const la_int64_t itemSize = r == ARCHIVE_OK ? archive_entry_size(entry) : 0;
        *size = itemSize > 0 ? static_cast<uint64_t>(itemSize) : 0;
    }
    return 1;
}
