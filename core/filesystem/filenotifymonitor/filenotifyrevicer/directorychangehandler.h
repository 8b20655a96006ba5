#pragma once
// What a caller of the directory-change watcher implements. Every slot runs on
// the watcher's executor, never under one of the watcher's locks; the base
// slots do nothing and the filter lets everything through.
#include <cstdint>
#include <string>

// Win32 codes the watcher reports, as the rest of the program knows them.
constexpr uint32_t kWatchErrorNone = 0;
constexpr uint32_t kWatchErrorAccessDenied = 5;
constexpr uint32_t kWatchErrorOutOfMemory = 14;
constexpr uint32_t kWatchErrorInvalidParameter = 87;
constexpr uint32_t kWatchErrorBadPathname = 161;
constexpr uint32_t kWatchErrorNoThread = 164;
// The directory changed more than the notification queue could hold: re-read it.
constexpr uint32_t kWatchErrorNotifyEnumDir = 1022;
// The system's limit of watches was reached.
constexpr uint32_t kWatchErrorNoSystemResources = 1450;

// Actions of the delivered notifications (also the filter's action argument).
enum DirectoryChangeAction {
    kChangeAdded = 1,
    kChangeRemoved = 2,
    kChangeModified = 3,
    kChangeRenamed = 4,
    kChangeReadError = 5,
    kChangeWatchStarted = 6,
    kChangeWatchStopped = 7,
};

class CDirectoryChangeHandler {
public:
    virtual ~CDirectoryChangeHandler() = default;

    virtual void OnFileAdded(const std::wstring& path) { (void)path; }
    virtual void OnFileRemoved(const std::wstring& path) { (void)path; }
    virtual void OnFileRenamed(const std::wstring& oldPath, const std::wstring& newPath) {
        (void)oldPath;
        (void)newPath;
    }
    virtual void OnFileModified(const std::wstring& path) { (void)path; }
    // The directory is no longer watched (it went away), or, with
    // kWatchErrorNotifyEnumDir, changes were lost and it is still watched.
    virtual void OnReadError(uint32_t error, const std::wstring& directory) {
        (void)error;
        (void)directory;
    }
    virtual void OnWatchStarted(uint32_t error, const std::wstring& directory) {
        (void)error;
        (void)directory;
    }
    virtual void OnWatchStopped(const std::wstring& directory) { (void)directory; }
    virtual bool OnFilterNotification(int action, const std::wstring& path, const std::wstring& newPath) {
        (void)action;
        (void)path;
        (void)newPath;
        return true;
    }
};
