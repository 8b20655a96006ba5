#include "core/filesystem/filesystem/filesyncmgr.h"

#include <sys/stat.h>

#include <condition_variable>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>

#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "core/coreapp/ishelladapter.h"
#include "core/coreapp/isynccenter.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/filenotifyrevicer.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"
#include "core/filesystem/filesystem/filehold.h"
#include "core/filesystem/taskdata/transferrecords.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "core/taskmgr/itaskmgr.h"
#include "platform/criticalsection.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "platform/tickcount.h"
#include "platform/workerthread.h"

namespace {

const wchar_t kCaption[] = L"Orvane便携版";
constexpr uint32_t kBalloonIcon = 1;
constexpr uint32_t kBalloonMs = 30000;
constexpr uint32_t kStopTimeoutMs = 5000;

// The watch of one open file; only the worker reads and writes it.
struct WatchState {
    // The file as the last pass saw it.
    FileStamp seen;
    // The file as it was when its content was last hashed (or opened).
    FileStamp hashed;
    // Passes since seen last changed.
    int quiet = 0;
    // Passes the file has been missing in a row.
    int missing = 0;
    uint32_t lastChangeTick = 0;
    // The content last hashed differs from the entry's SHA-1 and no upload of
    // it has succeeded yet.
    bool dirty = false;
    // The last upload failed because the file was busy: post again at retryTick.
    bool retryUpload = false;
    uint32_t retryTick = 0;
};

struct OpenFileEntry {
    // kTaskFlagOpenAfterDownload, kTaskFlagOpenedOldCopy.
    int flags = 0;
    int fileVersion = 0;
    std::wstring fileId;
    std::wstring itemPath;
    std::wstring localPath;
    // Of the content as opened, or as last uploaded.
    std::wstring sha1;
    // Uploads of this entry posted and not yet reported back.
    int uploadsInFlight = 0;
    WatchState watch;
};

bool TickReached(uint32_t now, uint32_t when) {
    return static_cast<int32_t>(now - when) >= 0;
}

void SetWritable(const std::wstring& path, bool writable) {
    const std::string local = WideToUtf8(path);
    struct stat st {};
    if (::stat(local.c_str(), &st) != 0)
        return;
    const mode_t mode = writable ? (st.st_mode | S_IWUSR) : (st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
    ::chmod(local.c_str(), mode & 07777);
}

std::wstring LocalFileName(const std::wstring& path) {
    std::wstring name;
    return GetFileNameFromPath(name, path);
}

// Live states by address, so a completion that arrives after its manager is
// gone finds nothing instead of freed memory.
std::mutex g_liveLock;
std::map<const void*, std::weak_ptr<CFileSyncMgr::State>> g_live;

}  // namespace

class CFileSyncMgr::State : public std::enable_shared_from_this<State> {
public:
    State(FileOpener opener, const FileSyncTiming& timing)
        : m_opener(opener ? std::move(opener) : FileOpener(OpenWithDesktop)), m_timing(timing) {}

    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, ITaskMgr* taskMgr,
                 const std::shared_ptr<IExecutor>& executor,
                 const std::shared_ptr<IMarkerDownloader>& downloader);
    HRESULT UnInit();

    HRESULT OpenFlow(const std::wstring& fileId, const std::wstring& itemPath, const std::wstring& localPath,
                     bool open);
    HRESULT PostUpload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                       const std::wstring& itemPath, const std::wstring& localPath, bool noQueue);
    HRESULT UploadOpenFileNow(const std::wstring& fileId);
    void GetOpenFileList(std::vector<TaskInfo>* out);
    void RemoveOpenFile(const std::wstring& fileId);
    HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath, std::wstring* itemPath,
                            int* fileVersion);
    void Queue(TaskDataBase* outcome);

    CComPtr<ITaskMgr> m_taskMgr;

private:
    HRESULT Post(TaskDataBase* record, bool noQueue);
    void WorkerLoop(const CWorkerThread::StopToken& token);
    void HandleOutcome(TaskDataBase* record);
    void OnTaskComplete(TaskDataBase* record);
    void ReportTaskError(const TaskDataBase* record);
    void CheckOpenFiles();
    void RestoreReadOnly(const std::wstring& fileId, const std::wstring& localPath);
    // Sets a copy holding content the service has not seen aside beside it,
    // before a download replaces it; fails when that cannot be done.
    HRESULT KeepUnsyncedEdit(const std::wstring& localPath, const std::wstring& syncedSha1);
    bool IsOpen(const std::wstring& fileId);

    void Message(const std::wstring& text);
    void Balloon(const std::wstring& text);
    int Ask(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& buttons);

    const FileOpener m_opener;
    const FileSyncTiming m_timing;
    CComPtr<ILocalStorage> m_local;
    std::wstring m_cacheRoot;

    // Guards the open-file list; never held while calling the task manager,
    // the bridge, the opener or while hashing.
    CCriticalSection m_openLock{LockRank::kOpenFileList};
    std::map<std::wstring, OpenFileEntry> m_openFiles;

    // Outcomes queued by completion callbacks for the worker.
    std::mutex m_queueLock;
    std::condition_variable m_queueChanged;
    std::deque<TaskDataBase*> m_outcomes;
    bool m_stopping = false;

    CWorkerThread m_worker;
    std::unique_ptr<CFileNotifyRevicer> m_monitor;
};

HRESULT CFileSyncMgr::State::Init(ISyncCenter* syncCenter, ILocalStorage* local, ITaskMgr* taskMgr,
                                  const std::shared_ptr<IExecutor>& executor,
                                  const std::shared_ptr<IMarkerDownloader>& downloader) {
    if (!syncCenter || !local || !taskMgr)
        return E_POINTER;
    m_local = local;
    m_taskMgr = taskMgr;
    std::wstring root;
    HRESULT hr = syncCenter->GetSyncRoot(&root);
    if (FAILED(hr))
        return hr;
    if (executor && downloader) {
        auto handler = std::make_shared<CMarkerFileHandler>(root, downloader);
        m_monitor = std::make_unique<CFileNotifyRevicer>(executor);
        m_monitor->Init(
            root,
            [handler](int action, const std::wstring& path, const std::wstring& newPath, void*) {
                return handler->OnFileNotify(action, path, newPath);
            },
            nullptr);
        hr = m_monitor->StartMonitor();
        if (FAILED(hr))
            return hr;
    }
    while (root.size() > 1 && root.back() == L'/')
        root.pop_back();
    m_cacheRoot = root;  // before the worker reads it
    std::shared_ptr<State> self = shared_from_this();
    if (!m_worker.Start([self](const CWorkerThread::StopToken& token) { self->WorkerLoop(token); }))
        return E_FAIL;
    return IsDirectoryPath(WideToUtf8(root)) ? S_OK : E_FAIL;
}

HRESULT CFileSyncMgr::State::UnInit() {
    HRESULT hr = S_OK;
    if (m_monitor)
        hr = m_monitor->StopMonitor();
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_stopping = true;
    }
    m_queueChanged.notify_all();
    // Joined even when the loop has already left: the thread must not end
    // up destroying this state (and its own handle) from the inside.
    m_worker.StopAndJoin(kStopTimeoutMs,
                         FormatStringUnbounded(L"CFileSyncMgr::UnInit: 线程退出超时，TimeOut = %d",
                                               static_cast<int>(kStopTimeoutMs)));
    return hr;
}

void CFileSyncMgr::State::Message(const std::wstring& text) {
    GetCoreAccess().ShowMessage(text, kCaption);
}

void CFileSyncMgr::State::Balloon(const std::wstring& text) {
    GetCoreAccess().ShowBalloon(text, kCaption, kBalloonIcon, kBalloonMs);
}

int CFileSyncMgr::State::Ask(const std::wstring& rememberKey, const std::wstring& text,
                             const std::wstring& buttons) {
    return GetCoreAccess().AskUser(rememberKey, text, kCaption, buttons, 1, L"记住我的选择", -1);
}

bool CFileSyncMgr::State::IsOpen(const std::wstring& fileId) {
    CAutoLock lock(m_openLock);
    return m_openFiles.count(fileId) != 0;
}

HRESULT CFileSyncMgr::State::Post(TaskDataBase* record, bool noQueue) {
    if (!record)
        return E_OUTOFMEMORY;
    return m_taskMgr->AddTask(record, noQueue, &CFileSyncMgr::OnTransferComplete, this);
}

HRESULT CFileSyncMgr::State::KeepUnsyncedEdit(const std::wstring& localPath, const std::wstring& syncedSha1) {
    std::wstring sha1;
    // A copy that cannot be read cannot be shown to hold nothing new.
    if (FAILED(FileSha1Hex(localPath, std::function<bool()>(), sha1)))
        return E_LOCAL_BUSY;
    if (CompareNoCaseAscii(sha1, syncedSha1) == 0)
        return S_OK;
    const std::wstring name = LocalFileName(localPath);
    const size_t dot = name.rfind(L'.');
    const std::wstring stem = dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos || dot == 0 ? L"" : name.substr(dot);
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    std::wstring folder;
    GetParentFolder(folder, localPath);
    for (int n = 1; n < 100; ++n) {
        std::wstring copyName;
        FormatString(copyName, L"%s (冲突副本 %04d-%02d-%02d %02d%02d%02d%s)%s", stem, parts.tm_year + 1900,
                     parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                     n == 1 ? std::wstring() : L" " + std::to_wstring(n), extension);
        std::wstring copyPath;
        if (FAILED(JoinLocalName(folder, copyName, copyPath)) || PathExists(WideToUtf8(copyPath)))
            continue;
        if (::rename(WideToUtf8(localPath).c_str(), WideToUtf8(copyPath).c_str()) != 0)
            return E_LOCAL_BUSY;
        Balloon(FormatStringUnbounded(L"文件“%s”在本机的修改尚未上传，已另存为“%s”。", name, copyName));
        return S_OK;
    }
    // Never replace the edit without a copy of it.
    return E_LOCAL_EXISTS;
}

HRESULT CFileSyncMgr::State::OpenFlow(const std::wstring& fileId, const std::wstring& itemPath,
                                      const std::wstring& localPath, bool open) {
    if (open && IsOpen(fileId)) {
        Message(
            FormatStringUnbounded(L"文件“%s”已处于打开状态，不能重复打开。", GetRemoteFileName(itemPath)));
        return S_OK;
    }
    const FileStamp stamp = ReadFileStamp(localPath);
    if (stamp.exists)
        SetWritable(localPath, true);
    RemoteItem item;
    const bool known = SUCCEEDED(m_local->GetItemInfo(fileId, &item));
    if (known && stamp.exists) {
        // The copy is reused only when it provably is the service's current version.
        TaskData_GetItemInfo* query = TaskData_GetItemInfo::Create();
        if (!query)
            return E_OUTOFMEMORY;
        query->operationName = L"GetFileInfo";
        query->key = fileId;
        XmlNode reply;
        const HRESULT hr = m_taskMgr->ExecuteTask(query, &reply, 1);
        query->Release();
        std::wstring sha1;
        if (SUCCEEDED(hr) && ParseReplyInt(reply.GetValue(L"fileVer")) == item.fileVer &&
            static_cast<int64_t>(stamp.size) == item.size &&
            SUCCEEDED(FileSha1Hex(localPath, std::function<bool()>(), sha1)) &&
            CompareNoCaseAscii(sha1, item.sha1) == 0) {
            TaskDataBase* done = MakeDownloadFileTask(fileId, itemPath, localPath);
            if (!done)
                return E_OUTOFMEMORY;
            done->state = kTaskStateFinished;
            done->result = S_OK;
            done->flags = open ? kTaskFlagOpenAfterDownload : 0;
            done->version = item.fileVer;
            done->sha1 = item.sha1;
            OnTaskComplete(done);
            done->Release();
            return S_OK;
        }
    }
    if (stamp.exists) {
        const HRESULT kept = KeepUnsyncedEdit(localPath, known ? item.sha1 : std::wstring());
        if (FAILED(kept))
            return kept;
    }
    TaskDataBase* download = MakeDownloadFileTask(fileId, itemPath, localPath);
    if (download && open)
        download->flags |= kTaskFlagOpenAfterDownload;
    return Post(download, open);
}

HRESULT CFileSyncMgr::State::PostUpload(const std::wstring& fileId, const std::wstring& parentId,
                                        int fileVersion, const std::wstring& itemPath,
                                        const std::wstring& localPath, bool noQueue) {
    TaskDataBase* record = nullptr;
    if (fileId.empty())
        record = MakeUpdateNewFileTask(parentId, itemPath, localPath);
    else
        record = MakeUpdateFileTask(fileId, itemPath, std::to_wstring(fileVersion), localPath);
    return Post(record, noQueue);
}

HRESULT CFileSyncMgr::State::UploadOpenFileNow(const std::wstring& fileId) {
    OpenFileEntry entry;
    {
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(fileId);
        if (it == m_openFiles.end())
            return E_FAIL;
        ++it->second.uploadsInFlight;
        entry = it->second;
    }
    const HRESULT hr = PostUpload(fileId, L"", entry.fileVersion, entry.itemPath, entry.localPath, true);
    if (FAILED(hr)) {
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(fileId);
        if (it != m_openFiles.end())
            --it->second.uploadsInFlight;
    }
    return hr;
}

void CFileSyncMgr::State::GetOpenFileList(std::vector<TaskInfo>* out) {
    CAutoLock lock(m_openLock);
    for (const auto& [id, entry] : m_openFiles) {
        TaskInfo info;
        info.key = id;
        info.itemPath = entry.itemPath;
        info.isUpload = 1;
        info.flags = entry.flags;
        out->push_back(std::move(info));
    }
}

void CFileSyncMgr::State::RemoveOpenFile(const std::wstring& fileId) {
    std::vector<OpenFileEntry> removed;
    {
        CAutoLock lock(m_openLock);
        if (fileId.empty()) {
            for (auto& [id, entry] : m_openFiles)
                removed.push_back(std::move(entry));
            m_openFiles.clear();
        } else {
            auto it = m_openFiles.find(fileId);
            if (it != m_openFiles.end()) {
                removed.push_back(std::move(it->second));
                m_openFiles.erase(it);
            }
        }
    }
    for (const OpenFileEntry& entry : removed)
        RestoreReadOnly(entry.fileId, entry.localPath);
}

HRESULT CFileSyncMgr::State::GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath,
                                             std::wstring* itemPath, int* fileVersion) {
    CAutoLock lock(m_openLock);
    auto it = m_openFiles.find(fileId);
    if (it == m_openFiles.end())
        return E_FAIL;
    if (localPath)
        *localPath = it->second.localPath;
    if (itemPath)
        *itemPath = it->second.itemPath;
    if (fileVersion)
        *fileVersion = it->second.fileVersion;
    return S_OK;
}

void CFileSyncMgr::State::Queue(TaskDataBase* outcome) {
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (!m_stopping) {
            m_outcomes.push_back(outcome);
            outcome = nullptr;
        }
    }
    if (outcome)
        outcome->Release();
    m_queueChanged.notify_all();
}

void CFileSyncMgr::State::WorkerLoop(const CWorkerThread::StopToken& token) {
    uint32_t nextPass = GetTickCount() + m_timing.checkPeriodMs;
    while (!token.StopRequested()) {
        std::deque<TaskDataBase*> outcomes;
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            const uint32_t now = GetTickCount();
            const uint32_t wait = TickReached(now, nextPass) ? 0 : nextPass - now;
            m_queueChanged.wait_for(lock, std::chrono::milliseconds(wait),
                                    [this] { return m_stopping || !m_outcomes.empty(); });
            if (m_stopping)
                break;
            outcomes.swap(m_outcomes);
        }
        for (TaskDataBase* outcome : outcomes) {
            HandleOutcome(outcome);
            outcome->Release();
        }
        if (TickReached(GetTickCount(), nextPass)) {
            CheckOpenFiles();
            nextPass = GetTickCount() + m_timing.checkPeriodMs;
        }
    }
    std::lock_guard<std::mutex> lock(m_queueLock);
    for (TaskDataBase* outcome : m_outcomes)
        outcome->Release();
    m_outcomes.clear();
}

void CFileSyncMgr::State::HandleOutcome(TaskDataBase* record) {
    const bool isUpload = record->operationName == L"UpdateFile" || record->operationName == L"UpdateNewFile";
    if (isUpload) {
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(record->key);
        if (it != m_openFiles.end()) {
            OpenFileEntry& entry = it->second;
            if (entry.uploadsInFlight > 0)
                --entry.uploadsInFlight;
            if (record->result == E_LOCAL_BUSY) {
                // Held by another program for now: the edit is posted again
                // later, so there is no failure to report yet.
                entry.watch.retryUpload = true;
                entry.watch.retryTick = GetTickCount() + m_timing.busyRetryMs;
                return;
            }
        }
    }
    if (record->result != S_OK && record->operationName == L"DownloadFile" &&
        (record->flags & kTaskFlagOpenAfterDownload) != 0 && PathExists(WideToUtf8(record->localPath))) {
        const std::wstring name = LocalFileName(record->localPath);
        const int answer =
            Ask(L"Wizard_OpenOldVersion",
                FormatStringUnbounded(L"文件“%s”下载失败，您希望打开缓存在您机器上的旧版本吗？", name),
                L"打开旧版本|取消");
        if (answer == kAskDefault || answer == kAskNotShown) {
            Balloon(FormatStringUnbounded(L"正在为您只读打开缓存在您机器上的“%s”文件。", name));
            record->result = S_OK;
            record->flags |= kTaskFlagOpenedOldCopy;
            SetWritable(record->localPath, false);
        }
    }
    if (record->state == kTaskStateFinished && record->result == S_OK)
        OnTaskComplete(record);
    else
        ReportTaskError(record);
}

void CFileSyncMgr::State::OnTaskComplete(TaskDataBase* record) {
    const std::wstring& op = record->operationName;
    if (op == L"DownloadFile") {
        if ((record->flags & kTaskFlagOpenAfterDownload) == 0)
            return;
        // An old copy opened instead of a failed download stays read-only and
        // is never uploaded.
        if ((record->flags & kTaskFlagOpenedOldCopy) == 0)
            SetWritable(record->localPath, true);
        // Taken before the editor sees the file, so even its first save
        // counts as a change.
        const FileStamp opened = ReadFileStamp(record->localPath);
        m_opener(record->localPath);
        OpenFileEntry entry;
        entry.flags = record->flags;
        entry.fileVersion = record->version;
        entry.fileId = record->key;
        entry.itemPath = record->itemPath;
        entry.localPath = record->localPath;
        entry.sha1 = record->sha1;
        entry.watch.seen = entry.watch.hashed = opened;
        entry.watch.lastChangeTick = GetTickCount();
        CAutoLock lock(m_openLock);
        m_openFiles.emplace(record->key, std::move(entry));
        return;
    }
    if (op != L"UpdateFile" && op != L"UpdateNewFile")
        return;
    {
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(record->key);
        if (it != m_openFiles.end()) {
            it->second.fileVersion = record->version;
            if (!record->sha1.empty())
                it->second.sha1 = record->sha1;
            // What was hashed is on the service now.
            it->second.watch.dirty = false;
        }
    }
    RestoreReadOnly(record->key, record->localPath);
    if (op == L"UpdateFile") {
        const auto* update = dynamic_cast<const TaskData_UpdateFile*>(record);
        const int64_t size = update ? ParseReplyInt64(update->sourceSize) : 0;
        m_local->UpdateFileVersion(record->key, size, record->version, record->sha1);
    }
}

void CFileSyncMgr::State::ReportTaskError(const TaskDataBase* record) {
    const HRESULT code = record->result;
    if (code == E_RESULT_METHOD_VERSION_NOT_MATCH) {
        const std::wstring text = L"当前Tessal版本太旧，请重启Tessal，Tessal会自动为您升级。";
        Message(text);
        Balloon(text);
        return;
    }
    if (code == E_RESULT_CLIENT_TOKEN_EXPIRED || code == E_RESULT_CLIENT_NO_LOGIN) {
        m_local->ClearLastSnapshot();
        const std::wstring text = L"您的会话已经过期，为了您的安全，请重新登录Tessal。";
        Message(text);
        Balloon(text);
        return;
    }
    Balloon(FormatStringUnbounded(L"%s“%s”%s", record->isUpload == 1 ? L"上传" : L"下载",
                                  GetRemoteFileName(record->itemPath),
                                  code == E_CANCELLED ? L"被取消" : L"失败"));
}

void CFileSyncMgr::State::RestoreReadOnly(const std::wstring& fileId, const std::wstring& localPath) {
    const std::wstring prefix = m_cacheRoot + L"/";
    if (m_cacheRoot.empty() || localPath.compare(0, prefix.size(), prefix) != 0 || IsOpen(fileId))
        return;
    SetWritable(localPath, false);
}

void CFileSyncMgr::State::CheckOpenFiles() {
    const uint32_t now = GetTickCount();
    std::vector<OpenFileEntry> entries;
    {
        CAutoLock lock(m_openLock);
        for (const auto& [id, entry] : m_openFiles)
            entries.push_back(entry);
    }
    struct Ended {
        OpenFileEntry entry;
        bool missing;
    };
    std::vector<Ended> ended;
    std::vector<OpenFileEntry> uploads;
    // Files are examined without the lock: hashing a large file must not
    // stall the lists the UI reads.
    for (OpenFileEntry& entry : entries) {
        WatchState& w = entry.watch;
        bool end = false;
        bool upload = false;
        const FileStamp stamp = ReadFileStamp(entry.localPath);
        if (stamp.exists)
            w.missing = 0;
        if (!stamp.exists) {
            // A save may write a new file and rename it over the old one;
            // only a file missing for several passes is gone.
            end = ++w.missing >= m_timing.missingPasses;
        } else if (stamp != w.seen) {
            w.seen = stamp;
            w.quiet = 0;
            w.lastChangeTick = now;
        } else {
            if (w.quiet < m_timing.quietPasses)
                ++w.quiet;
            const bool readOnlyCopy = (entry.flags & kTaskFlagOpenedOldCopy) != 0;
            const bool retryDue = w.retryUpload && TickReached(now, w.retryTick);
            if (!readOnlyCopy && entry.uploadsInFlight == 0 && w.quiet >= m_timing.quietPasses &&
                (stamp != w.hashed || retryDue)) {
                std::wstring sha1;
                if (ProbeFileHold(entry.localPath) == FileHold::kFree &&
                    SUCCEEDED(FileSha1Hex(entry.localPath, std::function<bool()>(), sha1))) {
                    w.hashed = stamp;
                    w.retryUpload = false;
                    w.dirty = CompareNoCaseAscii(sha1, entry.sha1) != 0;
                    upload = w.dirty;
                }
            } else if (!w.dirty && !w.retryUpload && entry.uploadsInFlight == 0 &&
                       TickReached(now, w.lastChangeTick + m_timing.idleEndMs) &&
                       ProbeFileHold(entry.localPath) != FileHold::kHeld) {
                end = true;
            }
        }
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(entry.fileId);
        if (it == m_openFiles.end())
            continue;  // removed by the user meanwhile
        it->second.watch = w;
        if (end) {
            ended.push_back({std::move(it->second), !stamp.exists});
            m_openFiles.erase(it);
        } else if (upload && it->second.uploadsInFlight == 0) {
            ++it->second.uploadsInFlight;
            uploads.push_back(it->second);
        }
    }
    for (const Ended& e : ended) {
        if (e.missing)
            Balloon(FormatStringUnbounded(L"文件“%s”已不存在，不再为您同步它的修改。",
                                          LocalFileName(e.entry.localPath)));
        else
            RestoreReadOnly(e.entry.fileId, e.entry.localPath);
    }
    for (const OpenFileEntry& entry : uploads) {
        if (SUCCEEDED(
                PostUpload(entry.fileId, L"", entry.fileVersion, entry.itemPath, entry.localPath, true)))
            continue;
        CAutoLock lock(m_openLock);
        auto it = m_openFiles.find(entry.fileId);
        if (it != m_openFiles.end()) {
            --it->second.uploadsInFlight;
            it->second.watch.retryUpload = true;
            it->second.watch.retryTick = GetTickCount() + m_timing.busyRetryMs;
        }
    }
}

// ---- the manager ----

CFileSyncMgr::CFileSyncMgr() = default;

CFileSyncMgr::~CFileSyncMgr() {
    UnInit();
}

void CFileSyncMgr::SetFileOpener(FileOpener opener) {
    m_opener = std::move(opener);
}

void CFileSyncMgr::SetTiming(const FileSyncTiming& timing) {
    m_timing = timing;
}

void CFileSyncMgr::SetMarkerMonitor(std::shared_ptr<IExecutor> executor,
                                    std::shared_ptr<IMarkerDownloader> downloader) {
    m_markerExecutor = std::move(executor);
    m_markerDownloader = std::move(downloader);
}

HRESULT CFileSyncMgr::Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                           ITaskMgr* taskMgr) {
    (void)remote;  // every transfer goes through the task manager
    UnInit();
    m_state = std::make_shared<State>(m_opener, m_timing);
    {
        std::lock_guard<std::mutex> lock(g_liveLock);
        g_live[m_state.get()] = m_state;
    }
    return m_state->Init(syncCenter, local, taskMgr, m_markerExecutor, m_markerDownloader);
}

HRESULT CFileSyncMgr::UnInit() {
    std::shared_ptr<State> state = std::move(m_state);
    if (!state)
        return S_OK;
    {
        std::lock_guard<std::mutex> lock(g_liveLock);
        g_live.erase(state.get());
    }
    return state->UnInit();
}

void CFileSyncMgr::OnTransferComplete(TaskDataBase* record, void* context) {
    if (!record)
        return;
    std::shared_ptr<State> state;
    {
        std::lock_guard<std::mutex> lock(g_liveLock);
        auto it = g_live.find(context);
        if (it != g_live.end())
            state = it->second.lock();
    }
    if (!state)
        return;
    // The record stays the task manager's; the worker gets a copy.
    if (TaskDataBase* copy = record->Clone())
        state->Queue(copy);
}

HRESULT CFileSyncMgr::OpenFile(const std::wstring& fileId, const std::wstring& itemPath,
                               const std::wstring& localPath) {
    return m_state ? m_state->OpenFlow(fileId, itemPath, localPath, true) : E_FAIL;
}

HRESULT CFileSyncMgr::Download(const std::wstring& fileId, const std::wstring& itemPath,
                               const std::wstring& localPath) {
    return m_state ? m_state->OpenFlow(fileId, itemPath, localPath, false) : E_FAIL;
}

HRESULT CFileSyncMgr::Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                             const std::wstring& itemPath, const std::wstring& localPath) {
    return m_state ? m_state->PostUpload(fileId, parentId, fileVersion, itemPath, localPath, false) : E_FAIL;
}

HRESULT CFileSyncMgr::CancelTask(const std::wstring& taskId) {
    return m_state ? m_state->m_taskMgr->CancelTask(taskId) : E_FAIL;
}

HRESULT CFileSyncMgr::GetTaskList(bool finished, std::vector<TaskInfo>* out) {
    return m_state ? m_state->m_taskMgr->GetTaskList(finished, out) : E_FAIL;
}

HRESULT CFileSyncMgr::RemoveFinishedTask(const std::wstring& taskId) {
    return m_state ? m_state->m_taskMgr->RemoveFinishedTask(taskId) : E_FAIL;
}

HRESULT CFileSyncMgr::RetryTask(const std::wstring& taskId) {
    return m_state ? m_state->m_taskMgr->RetryTask(taskId, &CFileSyncMgr::OnTransferComplete, m_state.get())
                   : E_FAIL;
}

HRESULT CFileSyncMgr::GetOpenFileList(std::vector<TaskInfo>* out) {
    if (!out)
        return E_POINTER;
    if (m_state)
        m_state->GetOpenFileList(out);
    return S_OK;
}

HRESULT CFileSyncMgr::RemoveOpenFile(const std::wstring& fileId) {
    if (m_state)
        m_state->RemoveOpenFile(fileId);
    return S_OK;
}

HRESULT CFileSyncMgr::GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath,
                                      std::wstring* itemPath, int* fileVersion) {
    return m_state ? m_state->GetOpenFileInfo(fileId, localPath, itemPath, fileVersion) : E_FAIL;
}

HRESULT CFileSyncMgr::UploadOpenFileNow(const std::wstring& fileId) {
    return m_state ? m_state->UploadOpenFileNow(fileId) : E_FAIL;
}
