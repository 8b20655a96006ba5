#include "platform/fileinfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds) {
    return static_cast<uint64_t>(seconds * 10000000ll) + kFileTimeUnixEpoch + nanoseconds / 100;
}

int64_t FileTimeToUnixSeconds(uint64_t fileTime) {
    int64_t units = static_cast<int64_t>(fileTime - kFileTimeUnixEpoch);
    int64_t seconds = units / 10000000;
    if (units % 10000000 < 0)
        --seconds;
    return seconds;
}

bool GetFileAttributeData(const std::string& path, FileAttributeData* data) {
    if (path.empty() || !data)
        return false;
    struct statx sx;
    if (statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    FileAttributeData out;
    out.isDirectory = S_ISDIR(sx.stx_mode);
    out.readOnly = (sx.stx_mode & S_IWUSR) == 0;
    out.size = out.isDirectory ? 0 : sx.stx_size;
    out.lastWriteTime = UnixTimeToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    out.lastAccessTime = UnixTimeToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    out.creationTime = (sx.stx_mask & STATX_BTIME)
                           ? UnixTimeToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                           : out.lastWriteTime;
    *data = out;
    return true;
}

bool PathExists(const std::string& path) {
    FileAttributeData d;
    return GetFileAttributeData(path, &d);
}

bool IsDirectoryPath(const std::string& path) {
    FileAttributeData d;
    return GetFileAttributeData(path, &d) && d.isDirectory;
}

bool IsReadOnlyPath(const std::string& path) {
    FileAttributeData d;
    return GetFileAttributeData(path, &d) && d.readOnly;
}
