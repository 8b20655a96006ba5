#pragma once
// The watcher's wrapper around a caller's handler: it filters each
// notification and hands it to the executor, so the caller's handler never
// runs under the watcher's lock. Once retired it delivers nothing more, even
// what is still queued in the executor.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangehandler.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"

class CDelayedDirectoryChangeHandler : public std::enable_shared_from_this<CDelayedDirectoryChangeHandler> {
public:
    CDelayedDirectoryChangeHandler(std::shared_ptr<CDirectoryChangeHandler> handler,
                                   std::shared_ptr<IExecutor> executor, uint32_t filterFlags,
                                   std::wstring directory, const std::wstring& includePatterns,
                                   const std::wstring& excludePatterns);

    // Queues one notification (actions of DirectoryChangeAction). A "watch
    // stopped" retires the handler once it has been delivered.
    void Post(int action, const std::wstring& path, const std::wstring& newPath = std::wstring(),
              uint32_t error = 0);
    void Retire() { m_retired = true; }
    bool IsRetired() const { return m_retired; }
    const std::shared_ptr<CDirectoryChangeHandler>& Handler() const { return m_handler; }

private:
    struct Notification {
        int action;
        std::wstring path;
        std::wstring newPath;
        uint32_t error;
    };
    void Deliver(const Notification& n);

    std::shared_ptr<CDirectoryChangeHandler> m_handler;
    std::shared_ptr<IExecutor> m_executor;
    uint32_t m_flags;
    std::wstring m_directory;
    std::vector<std::wstring> m_includes;
    std::vector<std::wstring> m_excludes;
    // Set by a stop: nothing is delivered from then on.
    std::atomic<bool> m_retired{false};
};
