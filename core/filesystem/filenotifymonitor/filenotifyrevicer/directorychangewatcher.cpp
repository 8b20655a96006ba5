#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangewatcher.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "base/log/logfile.h"
#include "base/utility/localpath.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/delayeddirectorychangehandler.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/inotifyrecords.h"
#include "platform/strings.h"
#include "platform/workerthread.h"

namespace {

// Every record the watcher maps; each folder's change filter picks from them.
constexpr uint32_t kInotifyMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_ONLYDIR;
// A move's second half that has not come within this time belongs to no
// watched folder.
constexpr int kRenameWaitMs = 30;
constexpr int kIdlePollMs = 1000;
constexpr uint32_t kStopWaitMs = 5000;
constexpr uint32_t kWatchErrorFileNotFound = 2;

std::string StripSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

uint32_t ErrnoToWin32(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return kWatchErrorBadPathname;
        case EACCES:
        case EPERM:
            return kWatchErrorAccessDenied;
        case ENOMEM:
            return kWatchErrorOutOfMemory;
        default:
            return kWatchErrorNoSystemResources;
    }
}

struct WatchedDirectory {
    std::string path;
    uint32_t changeFilter = 0;
    bool subtree = false;
    std::shared_ptr<CDelayedDirectoryChangeHandler> delayed;
};

// One folder of one watched directory that holds a kernel watch.
struct WatchEntry {
    std::shared_ptr<WatchedDirectory> dir;
    std::string path;
    int depth = 0;
};

struct Outgoing {
    std::shared_ptr<CDelayedDirectoryChangeHandler> delayed;
    int action;
    std::wstring path;
    std::wstring newPath;
    uint32_t error;
};

}  // namespace

struct CDirectoryChangeWatcher::State {
    ~State() {
        if (fd >= 0)
            close(fd);
        if (wakeFd >= 0)
            close(wakeFd);
    }

    std::mutex lock;
    int fd = -1;
    int wakeFd = -1;
    bool stopped = false;
    std::thread::id workerId;
    CWorkerThread thread;
    SubtreeLimits limits;
    std::vector<std::string> excluded;
    bool capLogged = false;
    std::vector<std::shared_ptr<WatchedDirectory>> dirs;
    std::unordered_map<int, std::vector<WatchEntry>> watches;

    // The rest run under the lock.
    bool Excluded(const std::string& path) const {
        for (const auto& e : excluded)
            if (IsLocalPathInside(path, e))
                return true;
        return false;
    }

    // errno of the kernel, 0 on success.
    int AddWatch(const std::shared_ptr<WatchedDirectory>& dir, const std::string& path, int depth,
                 bool root) {
        if (!root && watches.size() >= limits.maxWatches) {
            if (!capLogged)
                PELLUX_LOG_WARNING(L"directory watcher: limit of %u watches reached, %s left out",
                                   static_cast<unsigned>(limits.maxWatches), path);
            capLogged = true;
            return ENOSPC;
        }
        int wd = inotify_add_watch(fd, path.c_str(), kInotifyMask | (root ? 0 : IN_DONT_FOLLOW));
        if (wd < 0)
            return errno;
        auto& list = watches[wd];
        // The same folder reached twice (a bind mount looping back): not again.
        for (const auto& e : list)
            if (e.dir == dir)
                return e.path == path ? 0 : ELOOP;
        list.push_back(WatchEntry{dir, path, depth});
        return 0;
    }

    // Watches the subfolders of path (at depth) as the limits allow; with
    // found, also collects everything inside (things created before the
    // watch could see them).
    void AddSubtree(const std::shared_ptr<WatchedDirectory>& dir, const std::string& path, int depth,
                    std::vector<std::string>* found) {
        DIR* d = opendir(path.c_str());
        if (!d)
            return;
        std::vector<std::string> subfolders;
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            std::string full = Join(path, name);
            bool isDir = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN) {
                struct stat st;
                isDir = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            if (found)
                found->push_back(full);
            if (isDir)
                subfolders.push_back(full);
        }
        closedir(d);
        for (const auto& sub : subfolders) {
            std::string name = sub.substr(sub.rfind('/') + 1);
            if ((limits.skipHidden && name[0] == '.') || Excluded(sub))
                continue;
            if (limits.maxDepth >= 0 && depth + 1 > limits.maxDepth)
                continue;
            if (AddWatch(dir, sub, depth + 1, false) == 0)
                AddSubtree(dir, sub, depth + 1, found);
        }
    }

    void RemoveEntries(const std::shared_ptr<WatchedDirectory>& dir, const std::string* under) {
        for (auto it = watches.begin(); it != watches.end();) {
            auto& list = it->second;
            for (size_t i = list.size(); i-- > 0;)
                if (list[i].dir == dir && (!under || IsLocalPathInside(list[i].path, *under)))
                    list.erase(list.begin() + static_cast<long>(i));
            if (list.empty()) {
                inotify_rm_watch(fd, it->first);
                it = watches.erase(it);
            } else {
                ++it;
            }
        }
    }

    void RenameEntries(const std::shared_ptr<WatchedDirectory>& dir, const std::string& from,
                       const std::string& to) {
        for (auto& w : watches)
            for (auto& e : w.second)
                if (e.dir == dir && IsLocalPathInside(e.path, from))
                    e.path = to + e.path.substr(from.size());
    }

    const WatchEntry* Find(int wd, const std::shared_ptr<WatchedDirectory>& dir) const {
        auto it = watches.find(wd);
        if (it == watches.end())
            return nullptr;
        for (const auto& e : it->second)
            if (e.dir == dir)
                return &e;
        return nullptr;
    }

    void Emit(std::vector<Outgoing>& out, const std::shared_ptr<WatchedDirectory>& dir, int action,
              const std::string& path, const std::string& newPath = std::string(), uint32_t error = 0) {
        out.push_back(Outgoing{dir->delayed, action, Utf8ToWide(path), Utf8ToWide(newPath), error});
    }

    static bool WantsName(const WatchedDirectory& dir, uint32_t mask) {
        return (dir.changeFilter & ((mask & IN_ISDIR) ? kNotifyDirName : kNotifyFileName)) != 0;
    }

    bool MayDescend(const WatchedDirectory& dir, const WatchEntry& parent, const std::string& path,
                    const std::string& name) const {
        return dir.subtree && !(limits.skipHidden && name[0] == '.') && !Excluded(path) &&
               (limits.maxDepth < 0 || parent.depth + 1 <= limits.maxDepth);
    }

    void HandlePlain(const InotifyRecord& r, std::vector<Outgoing>& out) {
        if (r.mask & IN_Q_OVERFLOW) {
            for (const auto& dir : dirs)
                Emit(out, dir, kChangeReadError, dir->path, std::string(), kWatchErrorNotifyEnumDir);
            return;
        }
        if (r.mask & IN_IGNORED) {
            // The folder went away (or was unwatched here, then it is no longer listed).
            auto it = watches.find(r.wd);
            if (it == watches.end())
                return;
            std::vector<WatchEntry> gone = std::move(it->second);
            watches.erase(it);
            for (const auto& e : gone) {
                if (e.depth != 0)
                    continue;
                Emit(out, e.dir, kChangeReadError, e.dir->path, std::string(), kWatchErrorFileNotFound);
                RemoveEntries(e.dir, nullptr);
                for (size_t i = 0; i < dirs.size(); ++i)
                    if (dirs[i] == e.dir)
                        dirs.erase(dirs.begin() + static_cast<long>(i));
            }
            return;
        }
        if (r.name.empty())
            return;
        auto it = watches.find(r.wd);
        if (it == watches.end())
            return;
        const std::vector<WatchEntry> entries = it->second;
        for (const auto& e : entries) {
            const auto& dir = e.dir;
            if (!dir->subtree && e.depth != 0)
                continue;
            std::string full = Join(e.path, r.name);
            if (r.mask & IN_CREATE) {
                if (WantsName(*dir, r.mask))
                    Emit(out, dir, kChangeAdded, full);
                if ((r.mask & IN_ISDIR) && MayDescend(*dir, e, full, r.name) &&
                    AddWatch(dir, full, e.depth + 1, false) == 0) {
                    std::vector<std::string> found;
                    AddSubtree(dir, full, e.depth + 1, &found);
                    for (const auto& f : found) {
                        struct stat st;
                        bool isDir = lstat(f.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
                        if (dir->changeFilter & (isDir ? kNotifyDirName : kNotifyFileName))
                            Emit(out, dir, kChangeAdded, f);
                    }
                }
            } else if (r.mask & IN_DELETE) {
                if (WantsName(*dir, r.mask))
                    Emit(out, dir, kChangeRemoved, full);
            } else if (((r.mask & IN_MODIFY) && !(r.mask & IN_ISDIR) && (dir->changeFilter & kNotifySize)) ||
                       ((r.mask & IN_CLOSE_WRITE) && (dir->changeFilter & kNotifyLastWrite)) ||
                       ((r.mask & IN_ATTRIB) &&
                        (dir->changeFilter & (kNotifyAttributes | kNotifySecurity)))) {
                Emit(out, dir, kChangeModified, full);
            }
        }
    }

    void HandleMove(const PairedChange& c, std::vector<Outgoing>& out) {
        const bool isDir = ((c.kind == PairedChange::kMovedIn ? c.to.mask : c.from.mask) & IN_ISDIR) != 0;
        const uint32_t nameBit = isDir ? kNotifyDirName : kNotifyFileName;
        const std::vector<std::shared_ptr<WatchedDirectory>> all = dirs;
        for (const auto& dir : all) {
            const WatchEntry* from = c.kind != PairedChange::kMovedIn ? Find(c.from.wd, dir) : nullptr;
            const WatchEntry* to = c.kind != PairedChange::kMovedOut ? Find(c.to.wd, dir) : nullptr;
            if (from && !dir->subtree && from->depth != 0)
                from = nullptr;
            if (to && !dir->subtree && to->depth != 0)
                to = nullptr;
            if (!from && !to)
                continue;
            std::string oldPath = from ? Join(from->path, c.from.name) : std::string();
            std::string newPath = to ? Join(to->path, c.to.name) : std::string();
            if (from && to) {
                if (dir->changeFilter & nameBit)
                    Emit(out, dir, kChangeRenamed, oldPath, newPath);
                if (isDir)
                    RenameEntries(dir, oldPath, newPath);
            } else if (from) {
                if (dir->changeFilter & nameBit)
                    Emit(out, dir, kChangeRemoved, oldPath);
                if (isDir)
                    RemoveEntries(dir, &oldPath);
            } else {
                if (dir->changeFilter & nameBit)
                    Emit(out, dir, kChangeAdded, newPath);
                if (isDir && MayDescend(*dir, *to, newPath, c.to.name)) {
                    WatchEntry parent = *to;
                    if (AddWatch(dir, newPath, parent.depth + 1, false) == 0)
                        AddSubtree(dir, newPath, parent.depth + 1, nullptr);
                }
            }
        }
    }
};

namespace {

void RunWatcher(const std::shared_ptr<CDirectoryChangeWatcher::State>& st,
                const CWorkerThread::StopToken& token);

}  // namespace

CDirectoryChangeWatcher::CDirectoryChangeWatcher(std::shared_ptr<IExecutor> executor, uint32_t filterFlags)
    : m_executor(executor ? std::move(executor) : std::make_shared<CInlineExecutor>()),
      m_filterFlags(filterFlags ? filterFlags : kFilterFileName),
      m_state(std::make_shared<State>()) {}

CDirectoryChangeWatcher::~CDirectoryChangeWatcher() {
    Stop();
}

void CDirectoryChangeWatcher::SetSubtreeLimits(const SubtreeLimits& limits) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->limits = limits;
    m_state->excluded.clear();
    for (const auto& e : limits.excluded)
        if (!e.empty())
            m_state->excluded.push_back(StripSlashes(WideToUtf8(e)));
}

uint32_t CDirectoryChangeWatcher::WatchDirectory(const std::wstring& directory, uint32_t changeFilter,
                                                 std::shared_ptr<CDirectoryChangeHandler> handler,
                                                 bool watchSubtree, const std::wstring& includePatterns,
                                                 const std::wstring& excludePatterns) {
    if (directory.empty() || changeFilter == 0 || !handler)
        return kWatchErrorInvalidParameter;
    const std::string path = StripSlashes(WideToUtf8(directory));
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return ErrnoToWin32(errno);
    if (!S_ISDIR(st.st_mode))
        return kWatchErrorBadPathname;
    UnwatchDirectory(directory);

    auto dir = std::make_shared<WatchedDirectory>();
    dir->path = path;
    dir->changeFilter = changeFilter;
    dir->subtree = watchSubtree;
    dir->delayed = std::make_shared<CDelayedDirectoryChangeHandler>(
        handler, m_executor, m_filterFlags, Utf8ToWide(path), includePatterns, excludePatterns);
    std::shared_ptr<State> st2 = m_state;
    {
        std::lock_guard<std::mutex> guard(st2->lock);
        if (st2->fd < 0) {
            st2->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (st2->fd < 0)
                return ErrnoToWin32(errno);
        }
        int error = st2->AddWatch(dir, path, 0, true);
        if (error != 0)
            return ErrnoToWin32(error);
        if (watchSubtree)
            st2->AddSubtree(dir, path, 0, nullptr);
        st2->dirs.push_back(dir);
    }
    uint32_t started = StartThread();
    if (started != 0) {
        std::lock_guard<std::mutex> guard(st2->lock);
        st2->RemoveEntries(dir, nullptr);
        for (size_t i = 0; i < st2->dirs.size(); ++i)
            if (st2->dirs[i] == dir)
                st2->dirs.erase(st2->dirs.begin() + static_cast<long>(i));
        return started;
    }
    dir->delayed->Post(kChangeWatchStarted, Utf8ToWide(path), std::wstring(), 0);
    return 0;
}

uint32_t CDirectoryChangeWatcher::StartThread() {
    std::shared_ptr<State> st = m_state;
    std::lock_guard<std::mutex> guard(st->lock);
    if (st->thread.IsRunning())
        return 0;
    st->thread.Join(0);  // a thread that ended on a poll failure
    if (st->wakeFd < 0) {
        st->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (st->wakeFd < 0)
            return kWatchErrorNoThread;
    }
    bool ok = st->thread.Start([st](const CWorkerThread::StopToken& token) { RunWatcher(st, token); });
    return ok ? 0 : kWatchErrorNoThread;
}

bool CDirectoryChangeWatcher::UnwatchDirectory(const std::wstring& directory) {
    const std::string path = StripSlashes(WideToUtf8(directory));
    std::shared_ptr<WatchedDirectory> found;
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        auto& dirs = m_state->dirs;
        for (size_t i = 0; i < dirs.size(); ++i) {
            if (dirs[i]->path == path) {
                found = dirs[i];
                dirs.erase(dirs.begin() + static_cast<long>(i));
                break;
            }
        }
        if (found)
            m_state->RemoveEntries(found, nullptr);
    }
    if (!found)
        return false;
    found->delayed->Post(kChangeWatchStopped, Utf8ToWide(found->path));
    return true;
}

bool CDirectoryChangeWatcher::UnwatchAllDirectories(const std::shared_ptr<CDirectoryChangeHandler>& handler) {
    std::vector<std::wstring> paths;
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        for (const auto& d : m_state->dirs)
            if (d->delayed->Handler() == handler)
                paths.push_back(Utf8ToWide(d->path));
    }
    bool any = false;
    for (const auto& p : paths)
        any = UnwatchDirectory(p) || any;
    return any;
}

bool CDirectoryChangeWatcher::IsWatched(const std::wstring& directory) const {
    const std::string path = StripSlashes(WideToUtf8(directory));
    std::lock_guard<std::mutex> guard(m_state->lock);
    for (const auto& d : m_state->dirs)
        if (d->path == path)
            return true;
    return false;
}

void CDirectoryChangeWatcher::Stop() {
    std::shared_ptr<State> st = m_state;
    bool onWorker;
    {
        std::lock_guard<std::mutex> guard(st->lock);
        st->stopped = true;
        for (const auto& d : st->dirs)
            d->delayed->Retire();
        onWorker = st->workerId == std::this_thread::get_id();
    }
    st->thread.RequestStop();
    if (st->wakeFd >= 0) {
        uint64_t one = 1;
        if (write(st->wakeFd, &one, sizeof(one)) < 0) {
            // The stop flag alone ends the thread at its next poll.
        }
    }
    if (onWorker) {
        st->thread.Abandon();
    } else {
        st->thread.StopAndJoin(kStopWaitMs, L"directory watcher: the change thread did not stop in time");
    }
    // A later watch starts afresh. A thread left running (it was stopped from
    // itself, or a handler held it too long) checks its stop request before it
    // touches the descriptor again.
    std::lock_guard<std::mutex> guard(st->lock);
    st->dirs.clear();
    st->watches.clear();
    if (st->fd >= 0)
        close(st->fd);
    st->fd = -1;
    st->stopped = false;
    st->workerId = std::thread::id();
    st->capLogged = false;
}

bool CDirectoryChangeWatcher::IsThreadRunning() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->thread.IsRunning();
}

size_t CDirectoryChangeWatcher::WatchCount() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->watches.size();
}

namespace {

void RunWatcher(const std::shared_ptr<CDirectoryChangeWatcher::State>& st,
                const CWorkerThread::StopToken& token) {
    {
        std::lock_guard<std::mutex> guard(st->lock);
        st->workerId = std::this_thread::get_id();
    }
    // Large enough for many records at once, aligned as the kernel wants.
    alignas(inotify_event) static thread_local char buffer[64 * 1024];
    std::optional<InotifyRecord> carry;
    while (!token.StopRequested()) {
        pollfd fds[2] = {{st->fd, POLLIN, 0}, {st->wakeFd, POLLIN, 0}};
        int ready = poll(fds, 2, carry ? kRenameWaitMs : kIdlePollMs);
        if (token.StopRequested())
            break;
        if (ready < 0 && errno != EINTR) {
            PELLUX_LOG_ERROR(L"directory watcher: poll failed (errno %d), watching ends", errno);
            break;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t n;
            if (read(st->wakeFd, &n, sizeof(n)) < 0) {
                // Nothing to clear.
            }
        }
        std::vector<InotifyRecord> batch;
        if (fds[0].revents & POLLIN) {
            for (;;) {
                ssize_t got = read(st->fd, buffer, sizeof(buffer));
                if (got <= 0)
                    break;
                auto records = ParseInotifyBuffer(buffer, static_cast<size_t>(got));
                batch.insert(batch.end(), records.begin(), records.end());
            }
        }
        if (batch.empty() && !carry)
            continue;
        std::vector<PairedChange> changes = PairRenames(batch, carry, batch.empty());
        std::vector<Outgoing> out;
        {
            std::lock_guard<std::mutex> guard(st->lock);
            if (st->stopped)
                break;
            for (const auto& c : changes) {
                if (c.kind == PairedChange::kPlain)
                    st->HandlePlain(c.from, out);
                else
                    st->HandleMove(c, out);
            }
        }
        for (const auto& o : out)
            o.delayed->Post(o.action, o.path, o.newPath, o.error);
    }
}

}  // namespace
