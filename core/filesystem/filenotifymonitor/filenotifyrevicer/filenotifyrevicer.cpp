#include "core/filesystem/filenotifymonitor/filenotifyrevicer/filenotifyrevicer.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/log/tracestack.h"
#include "base/utility/localpath.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"

namespace {

std::string UserName() {
    struct passwd pw;
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof(buf), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The mounted volumes below a media folder.
void AddMounts(const std::string& folder, std::vector<std::string>& out) {
    DIR* d = opendir(folder.c_str());
    if (!d)
        return;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        std::string path = folder + "/" + e->d_name;
        if (IsDirectory(path))
            out.push_back(path);
    }
    closedir(d);
}

}  // namespace

CFileNotifyRevicer::CFileNotifyRevicer(std::shared_ptr<IExecutor> executor, CIssuedMarkers& registry)
    : m_executor(std::move(executor)), m_registry(registry), m_gate(std::make_shared<Gate>()) {}

CFileNotifyRevicer::~CFileNotifyRevicer() {
    StopMonitor();
}

int32_t CFileNotifyRevicer::Init(const std::wstring& root, FileNotifyCallback callback, void* context) {
    m_root = root;
    m_callback = std::move(callback);
    m_context = context;
    return 0;
}

int32_t CFileNotifyRevicer::StartMonitor() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CFileNotifyRevicer::StartMonitor()", &hr, L"");
    {
        std::lock_guard<std::mutex> guard(m_gate->lock);
        if (m_gate->owner)
            return 0;
        m_gate->owner = this;
        m_watcher = std::make_unique<CDirectoryChangeWatcher>(m_executor, kFilterFileName);
        CDirectoryChangeWatcher::SubtreeLimits limits;
        limits.maxDepth = kMaxDepth;
        limits.maxWatches = kMaxWatches;
        limits.skipHidden = true;
        if (!m_root.empty())
            limits.excluded.push_back(m_root);
        m_watcher->SetSubtreeLimits(limits);
    }
    std::weak_ptr<Gate> weakGate = m_gate;
    m_registry.SetListener([weakGate] {
        std::shared_ptr<Gate> gate = weakGate.lock();
        if (!gate)
            return;
        std::lock_guard<std::mutex> guard(gate->lock);
        if (gate->owner)
            gate->owner->RearmLocked();
    });
    std::lock_guard<std::mutex> guard(m_gate->lock);
    RearmLocked();
    return 0;
}

int32_t CFileNotifyRevicer::StopMonitor() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CFileNotifyRevicer::StopMonitor()", &hr, L"");
    std::unique_ptr<CDirectoryChangeWatcher> watcher;
    {
        std::lock_guard<std::mutex> guard(m_gate->lock);
        if (!m_gate->owner)
            return 0;
        m_gate->owner = nullptr;
        watcher = std::move(m_watcher);
        m_watching = false;
    }
    m_registry.SetListener(nullptr);
    // Outside the gate: a notification on the watcher's thread may be
    // waiting for it, and Stop waits for that thread.
    if (watcher)
        watcher->Stop();
    return 0;
}

bool CFileNotifyRevicer::IsWatching() const {
    std::lock_guard<std::mutex> guard(m_gate->lock);
    return m_watching;
}

void CFileNotifyRevicer::RearmLocked() {
    if (!m_watcher)
        return;
    const bool want = m_registry.HasOutstanding();
    if (want == m_watching)
        return;
    // The watcher never owns this object: it is stopped before this goes.
    std::shared_ptr<CDirectoryChangeHandler> self(this, [](CDirectoryChangeHandler*) {});
    if (want) {
        for (const auto& root : GetMarkerWatchRoots(m_root))
            m_watcher->WatchDirectory(root.path, kChangeFilter, self, root.subtree);
    } else {
        m_watcher->UnwatchAllDirectories(self);
    }
    m_watching = want;
}

std::vector<MarkerWatchRoot> CFileNotifyRevicer::GetMarkerWatchRoots(const std::wstring& syncRoot) {
    const std::string sync = WideToUtf8(syncRoot);
    const std::string home = GetHomeFolder();
    std::vector<std::string> deep = GetUserDirectoryFolders();
    const std::string user = UserName();
    if (!user.empty()) {
        AddMounts("/media/" + user, deep);
        AddMounts("/run/media/" + user, deep);
    }
    std::vector<MarkerWatchRoot> roots;
    auto add = [&](const std::string& path, bool subtree) {
        std::string name = path.substr(path.rfind('/') + 1);
        if (name.empty() || name[0] == '.' || IsLocalPathInside(path, sync) || !IsDirectory(path))
            return;
        for (const auto& r : roots)
            if (WideToUtf8(r.path) == path)
                return;
        roots.push_back(MarkerWatchRoot{Utf8ToWide(path), subtree});
    };
    add(home, false);
    for (const auto& p : deep)
        add(p, true);
    return roots;
}

void CFileNotifyRevicer::OnFileAdded(const std::wstring& path) {
    Relay(kFileNotifyAdded, path, std::wstring());
}

void CFileNotifyRevicer::OnFileRemoved(const std::wstring& path) {
    Relay(kFileNotifyRemoved, path, std::wstring());
}

void CFileNotifyRevicer::OnFileRenamed(const std::wstring& oldPath, const std::wstring& newPath) {
    Relay(kFileNotifyRenamed, oldPath, newPath);
}

void CFileNotifyRevicer::OnFileModified(const std::wstring& path) {
    Relay(kFileNotifyModified, path, std::wstring());
}

void CFileNotifyRevicer::Relay(int action, const std::wstring& path, const std::wstring& newPath) {
    if (m_callback)
        m_callback(action, path, newPath, m_context);
}
