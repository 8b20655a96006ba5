#include "core/filesystem/filenotifymonitor/filenotifyrevicer/delayeddirectorychangehandler.h"

#include <exception>

#include "base/log/logfile.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/notificationfilter.h"

CDelayedDirectoryChangeHandler::CDelayedDirectoryChangeHandler(
    std::shared_ptr<CDirectoryChangeHandler> handler, std::shared_ptr<IExecutor> executor,
    uint32_t filterFlags, std::wstring directory, const std::wstring& includePatterns,
    const std::wstring& excludePatterns)
    : m_handler(std::move(handler)),
      m_executor(std::move(executor)),
      m_flags(filterFlags),
      m_directory(std::move(directory)),
      m_includes(SplitPatterns(includePatterns)),
      m_excludes(SplitPatterns(excludePatterns)) {}

void CDelayedDirectoryChangeHandler::Post(int action, const std::wstring& path, const std::wstring& newPath,
                                          uint32_t error) {
    if (m_retired)
        return;
    if (action == kChangeWatchStarted && (m_flags & kFilterNoWatchStarted))
        return;
    if (action == kChangeWatchStopped && (m_flags & kFilterNoWatchStopped)) {
        Retire();
        return;
    }
    auto self = shared_from_this();
    m_executor->Post([self, n = Notification{action, path, newPath, error}] { self->Deliver(n); });
}

void CDelayedDirectoryChangeHandler::Deliver(const Notification& n) {
    if (m_retired || !m_handler)
        return;
    CDirectoryChangeHandler& h = *m_handler;
    try {
        auto ask = [&] { return h.OnFilterNotification(n.action, n.path, n.newPath); };
        if (PassesNotificationFilter(m_flags, n.action, n.path, n.newPath, m_directory, m_includes,
                                     m_excludes, ask)) {
            switch (n.action) {
                case kChangeAdded:
                    h.OnFileAdded(n.path);
                    break;
                case kChangeRemoved:
                    h.OnFileRemoved(n.path);
                    break;
                case kChangeModified:
                    h.OnFileModified(n.path);
                    break;
                case kChangeRenamed:
                    h.OnFileRenamed(n.path, n.newPath);
                    break;
                case kChangeReadError:
                    h.OnReadError(n.error, n.path);
                    break;
                case kChangeWatchStarted:
                    h.OnWatchStarted(n.error, n.path);
                    break;
                case kChangeWatchStopped:
                    h.OnWatchStopped(n.path);
                    break;
                default:
                    break;
            }
        }
    } catch (const std::exception& e) {
        PELLUX_LOG_ERROR(L"directory change handler failed: %s", e.what());
    } catch (...) {
        PELLUX_LOG_ERROR(L"directory change handler failed");
    }
    if (n.action == kChangeWatchStopped)
        Retire();
}
