#include "platform/parsedfilecache.h"

#include <sys/stat.h>

bool ReadFileStamp(const std::string& path, FileStamp* stamp) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return false;
    stamp->device = static_cast<uint64_t>(st.st_dev);
    stamp->inode = static_cast<uint64_t>(st.st_ino);
    stamp->size = static_cast<int64_t>(st.st_size);
    stamp->modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp->changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}
