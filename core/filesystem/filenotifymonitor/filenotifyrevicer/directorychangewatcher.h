#pragma once
// Watches folders (each with or without its subtree) through inotify and turns
// the kernel's records into calls of the callers' handlers: one inotify
// descriptor and one thread serve every folder of the watcher. New subfolders
// are watched as they appear, a move inside the watched folders arrives as one
// rename, and a queue overflow is reported as a read error
// (kWatchErrorNotifyEnumDir) to every handler. Handlers run on the executor.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangehandler.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/notificationfilter.h"

// Change filter bits of WatchDirectory, as the rest of the program knows them.
enum DirectoryChangeFilter : uint32_t {
    kNotifyFileName = 0x1,    // files added, removed, renamed
    kNotifyDirName = 0x2,     // folders added, removed, renamed
    kNotifyAttributes = 0x4,  // attribute changes, as modified
    kNotifySize = 0x8,        // every write, as modified
    kNotifyLastWrite = 0x10,  // a writer closed the file, as modified
    kNotifySecurity = 0x100,  // ownership and mode changes, as modified
};

class CDirectoryChangeWatcher {
public:
    // How far a subtree watch reaches.
    struct SubtreeLimits {
        int maxDepth = -1;                   // folder levels below the watched one; negative: no limit
        size_t maxWatches = 8192;            // kernel watches of this watcher; further folders are left out
        bool skipHidden = false;             // subfolders whose name starts with "." are left out
        std::vector<std::wstring> excluded;  // these folders and everything below them are left out
    };

    // filterFlags of NotificationFilterFlags; 0 means kFilterFileName.
    explicit CDirectoryChangeWatcher(std::shared_ptr<IExecutor> executor, uint32_t filterFlags = 0);
    ~CDirectoryChangeWatcher();
    CDirectoryChangeWatcher(const CDirectoryChangeWatcher&) = delete;
    CDirectoryChangeWatcher& operator=(const CDirectoryChangeWatcher&) = delete;

    // For the watches made from now on.
    void SetSubtreeLimits(const SubtreeLimits& limits);

    // 0 on success, else a Win32 code: 87 for an empty path, filter 0 or no
    // handler; 161 when the folder is missing; 5 when it may not be read; 1450
    // when the system has no more watches. A folder already watched is
    // unwatched first. The handler gets "watch started" (0) on success.
    uint32_t WatchDirectory(const std::wstring& directory, uint32_t changeFilter,
                            std::shared_ptr<CDirectoryChangeHandler> handler, bool watchSubtree,
                            const std::wstring& includePatterns = std::wstring(),
                            const std::wstring& excludePatterns = std::wstring());
    // True when the folder was watched; its handler gets "watch stopped".
    bool UnwatchDirectory(const std::wstring& directory);
    // True when the handler watched any folder here.
    bool UnwatchAllDirectories(const std::shared_ptr<CDirectoryChangeHandler>& handler);
    // Paths compare exactly (Linux names are case-sensitive); a trailing "/"
    // does not count.
    bool IsWatched(const std::wstring& directory) const;

    // Ends the thread and forgets every folder without "watch stopped";
    // nothing is delivered afterwards, not even what the executor still holds.
    // Safe from a handler running on the watcher's own thread.
    void Stop();

    bool IsThreadRunning() const;
    // Folders that hold a kernel watch now.
    size_t WatchCount() const;

    // Shared with the thread, which may outlive a stop that timed out.
    struct State;

private:
    uint32_t StartThread();

    std::shared_ptr<IExecutor> m_executor;
    uint32_t m_filterFlags;
    std::shared_ptr<State> m_state;
};
