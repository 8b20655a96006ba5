#pragma once
// Parsed settings files kept between reads. A file is read and parsed again
// only when its stamp (device, inode, size, change and modification times)
// differs from the one it was parsed under, so a change on disk, also one by
// another process, takes effect at the next read.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;

    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs &&
               changedNs == o.changedNs;
    }
};

// False when the path cannot be examined (a missing file).
bool ReadFileStamp(const std::string& path, FileStamp* stamp);

template <class Parsed>
class CParsedFileCache {
public:
    // Reads the file with read and parses the bytes with parse unless the
    // cached result still matches the file; null when the file is missing or
    // read fails. The stamp is taken before reading, so a change during the
    // read is seen at the next call.
    std::shared_ptr<const Parsed> Get(const std::string& path, const std::function<bool(std::string*)>& read,
                                      const std::function<Parsed(const std::string&)>& parse) {
        FileStamp stamp;
        if (!ReadFileStamp(path, &stamp))
            return nullptr;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            auto found = m_entries.find(path);
            if (found != m_entries.end() && found->second.stamp == stamp)
                return found->second.parsed;
        }
        std::string bytes;
        if (!read(&bytes))
            return nullptr;
        auto parsed = std::make_shared<const Parsed>(parse(bytes));
        std::lock_guard<std::mutex> hold(m_lock);
        // A process reads a handful of settings files; tests make many.
        if (m_entries.size() >= kMaxFiles)
            m_entries.clear();
        m_entries[path] = Entry{stamp, parsed};
        return parsed;
    }

private:
    static constexpr size_t kMaxFiles = 16;
    struct Entry {
        FileStamp stamp;
        std::shared_ptr<const Parsed> parsed;
    };
    std::mutex m_lock;
    std::map<std::string, Entry> m_entries;
};
