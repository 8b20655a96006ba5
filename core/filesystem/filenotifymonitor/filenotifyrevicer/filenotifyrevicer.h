#pragma once
// The drag-out and copy-out marker monitor: watches the folders where a user
// drops or pastes (the XDG user folders a few levels deep, the top of $HOME,
// mounted media) and relays every file notification to its owner's callback.
// It watches only while a marker this process issued is outstanding, so an
// idle program holds no watches.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangewatcher.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/issuedmarkers.h"

// Actions of the callback.
enum FileNotifyAction {
    kFileNotifyAdded = 0,
    kFileNotifyRemoved = 1,
    kFileNotifyRenamed = 2,  // path is the old name, newPath the new one
    kFileNotifyModified = 3,
};

// (action, path, new path or empty, context) → ignored.
using FileNotifyCallback =
    std::function<int32_t(int action, const std::wstring& path, const std::wstring& newPath, void* context)>;

struct MarkerWatchRoot {
    std::wstring path;
    bool subtree = false;
};

class CFileNotifyRevicer : public CDirectoryChangeHandler {
public:
    // Folder levels watched below each root, and the most kernel watches held.
    static constexpr int kMaxDepth = 3;
    static constexpr size_t kMaxWatches = 2048;
    // File name, folder name and last-write changes.
    static constexpr uint32_t kChangeFilter = kNotifyFileName | kNotifyDirName | kNotifyLastWrite;

    explicit CFileNotifyRevicer(std::shared_ptr<IExecutor> executor,
                                CIssuedMarkers& registry = TheIssuedMarkers());
    ~CFileNotifyRevicer() override;

    // root is the sync root, which is never watched. Returns 0.
    int32_t Init(const std::wstring& root, FileNotifyCallback callback, void* context);
    // Arms the monitor: folders are watched now or as soon as a marker is
    // issued. Returns 0.
    int32_t StartMonitor();
    // Stops watching; no notification follows. Returns 0.
    int32_t StopMonitor();
    // True while folders are watched.
    bool IsWatching() const;

    // The folders to watch for a user whose sync root is syncRoot.
    static std::vector<MarkerWatchRoot> GetMarkerWatchRoots(const std::wstring& syncRoot);

    void OnFileAdded(const std::wstring& path) override;
    void OnFileRemoved(const std::wstring& path) override;
    void OnFileRenamed(const std::wstring& oldPath, const std::wstring& newPath) override;
    void OnFileModified(const std::wstring& path) override;

private:
    // Shared with the registry's listener, which may run on any thread.
    struct Gate {
        std::mutex lock;
        CFileNotifyRevicer* owner = nullptr;
    };
    // Watches or unwatches as the registry asks; under m_gate->lock.
    void RearmLocked();
    void Relay(int action, const std::wstring& path, const std::wstring& newPath);

    std::shared_ptr<IExecutor> m_executor;
    CIssuedMarkers& m_registry;
    std::shared_ptr<Gate> m_gate;
    std::wstring m_root;
    FileNotifyCallback m_callback;
    void* m_context = nullptr;
    // The rest under m_gate->lock.
    std::unique_ptr<CDirectoryChangeWatcher> m_watcher;
    bool m_watching = false;
};
