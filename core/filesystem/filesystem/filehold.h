#pragma once
// What the open-for-edit watch can see of a local file from outside: a stamp
// that changes with every save, and whether another program still holds it.
#include <cstdint>
#include <string>

// Size, last-write time and inode: a save in place changes the first two, a
// save by writing a new file and renaming it over the old one the inode.
struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && size == o.size && mtimeNs == o.mtimeNs && inode == o.inode;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

FileStamp ReadFileStamp(const std::wstring& path);

enum class FileHold {
    kFree,
    // Another program is working on it: do not upload a half-saved file.
    kHeld,
    // The file or its folder is gone.
    kMissing,
};

// Linux has no exclusive opening to test for, so this looks for the traces
// editors leave: their lock and swap files beside the file (office suites'
// ".~lock.NAME#" and "~$NAME", vim's ".NAME.swp", emacs' ".#NAME"), advisory
// locks on it (POSIX record, open-file-description and flock locks), and any
// other process of this user with it open (/proc/PID/fd). It cannot see an
// editor that keeps the contents in memory and holds neither the file nor a
// lock file, nor processes of other users.
FileHold ProbeFileHold(const std::wstring& path);
