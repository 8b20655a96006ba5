#include "core/taskmgr/taskinforecord.h"
#include "core/taskmgr/asynctaskmgr.h"

#include <algorithm>
#include <system_error>

#include "base/utility/formatstring.h"
#include "core/filesystem/taskdata/taskdatabase.h"
#include "core/taskmgr/task/file_task/taskfactory.h"
#include "core/taskmgr/taskcluster.h"
#include "platform/uithread.h"

CAsyncTaskMgr::CAsyncTaskMgr(const TaskMgrTuning& tuning) : m_tuning(tuning) {
    if (!m_tuning.taskMaker)
        m_tuning.taskMaker = [](TaskDataBase* record) { return CreateFileTask(record); };
}

CAsyncTaskMgr::~CAsyncTaskMgr() {
    // The tick thread's closure holds a reference, so the last one may go on
    // that thread itself, which cannot join itself.
    if (m_tickThread.load() == std::this_thread::get_id())
        m_tick.Abandon();
}

CAsyncTaskMgr::RecordPtr CAsyncTaskMgr::Own(TaskDataBase* record) {
    if (!record)
        return nullptr;
    return RecordPtr(record, [](TaskDataBase* r) { r->Release(); });
}

HRESULT CAsyncTaskMgr::Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote) {
    CAutoLock lock(m_lock);
    m_syncCenter = syncCenter;
    m_local = local;
    m_remote = remote;
    return S_OK;
}

HRESULT CAsyncTaskMgr::Start() {
    CAutoLock lock(m_lock);
    if (m_stopped)
        return E_FAIL;
    if (m_tick.IsRunning())
        return S_OK;
    std::shared_ptr<CAsyncTaskMgr> self = shared_from_this();
    const uint32_t period = m_tuning.tickMs;
    try {
        // The thread shares the manager, which therefore outlives a tick
        // thread that Stop had to give up on.
        if (!m_tick.Start([self, period](const CWorkerThread::StopToken& stop) {
                self->m_tickThread = std::this_thread::get_id();
                while (!stop.WaitForStop(period))
                    self->Tick();
            }))
            return E_FAIL;
    } catch (const std::system_error&) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CAsyncTaskMgr::Stop(uint32_t timeoutMs) {
    std::vector<RecordPtr> dropped;
    std::vector<std::shared_ptr<CTaskCluster>> clusters;
    {
        CAutoLock lock(m_lock);
        m_stopped = true;
        for (auto& entry : m_waiting)
            dropped.push_back(std::move(entry.second.record));
        m_waiting.clear();
        for (auto& entry : m_running)
            clusters.push_back(entry.second.cluster);
    }
    dropped.clear();
    // The tick thread ends first: tasks stopped here report no callback, as
    // their owners are being shut down too.
    if (m_tickThread.load() == std::this_thread::get_id()) {
        // Called from a completion callback: the tick thread ends after it.
        m_tick.RequestStop();
    } else {
        std::wstring text;
        FormatString(text, L"CAsyncTaskMgr::Stop：线程退出超时，TimeOut = %d", static_cast<int>(timeoutMs));
        m_tick.StopAndJoin(timeoutMs, text);
    }
    uint32_t wait = timeoutMs;
    if (wait != INFINITE_WAIT && !clusters.empty())
        wait = std::max<uint32_t>(wait / static_cast<uint32_t>(clusters.size()), kMinStopWaitMs);
    for (auto& cluster : clusters)
        cluster->Cancel();
    for (auto& cluster : clusters)
        cluster->Stop(wait);
    Sweep(false);
    return S_OK;
}

HRESULT CAsyncTaskMgr::NewCluster(std::shared_ptr<CTaskCluster>* out) {
    auto cluster = std::make_shared<CTaskCluster>(m_tuning.taskMaker);
    const HRESULT hr = cluster->Init(m_syncCenter, kAttempts);
    if (FAILED(hr))
        return hr;
    *out = std::move(cluster);
    return S_OK;
}

HRESULT CAsyncTaskMgr::StartOrQueue(const RecordPtr& record, bool mayQueue, TaskCompletionCallback callback,
                                    void* context) {
    auto queueIfFull = [&]() {
        if (!mayQueue || m_running.size() < kMaxRunning)
            return false;
        m_waiting.emplace(record->key, Waiting{record, callback, context});
        return true;
    };
    {
        CAutoLock lock(m_lock);
        if (m_stopped)
            return E_FAIL;
        if (queueIfFull())
            return S_OK;
    }
    std::shared_ptr<CTaskCluster> cluster;
    HRESULT hr = NewCluster(&cluster);
    if (FAILED(hr))
        return hr;
    CAutoLock lock(m_lock);
    if (m_stopped)
        return E_FAIL;
    if (queueIfFull())
        return S_OK;
    auto it = m_running.emplace(record->key, Running{cluster, record, callback, context});
    hr = cluster->Start(record);
    if (FAILED(hr))
        m_running.erase(it);  // no thread was started: nothing to join
    return hr;
}

HRESULT CAsyncTaskMgr::AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                               void* context) {
    RecordPtr owned = Own(record);
    if (!owned)
        return E_POINTER;
    return StartOrQueue(owned, !noQueue, callback, context);
}

void CAsyncTaskMgr::Tick() {
    Sweep(true);
    Promote();
}

void CAsyncTaskMgr::Sweep(bool callbacks) {
    struct Done {
        Running entry;
        RecordPtr replaced;
    };
    std::vector<Done> done;
    {
        CAutoLock lock(m_lock);
        for (auto it = m_running.begin(); it != m_running.end();) {
            if (!it->second.cluster->IsFinished()) {
                ++it;
                continue;
            }
            Done d{std::move(it->second), nullptr};
            // The record may have changed its key (a new file gets its id).
            RecordPtr& slot = m_finished[d.entry.record->key];
            if (slot != d.entry.record)
                d.replaced = std::move(slot);
            slot = d.entry.record;
            it = m_running.erase(it);
            done.push_back(std::move(d));
        }
    }
    for (Done& d : done) {
        d.entry.cluster->Join();
        d.entry.cluster.reset();
    }
    if (!callbacks)
        return;
    // The entries keep their records alive even if another thread removes
    // them from the finished list while the callbacks run.
    for (Done& d : done) {
        if (d.entry.callback)
            d.entry.callback(d.entry.record.get(), d.entry.context);
    }
}

void CAsyncTaskMgr::Promote() {
    auto canPromote = [this]() { return !m_stopped && !m_waiting.empty() && m_running.size() < kMaxRunning; };
    {
        CAutoLock lock(m_lock);
        if (!canPromote())
            return;
    }
    std::shared_ptr<CTaskCluster> cluster;
    const HRESULT made = NewCluster(&cluster);
    Waiting failed;
    RecordPtr replaced;
    {
        CAutoLock lock(m_lock);
        if (!canPromote())
            return;
        auto first = m_waiting.begin();
        Waiting entry = std::move(first->second);
        m_waiting.erase(first);
        if (SUCCEEDED(made)) {
            // A failed start leaves the record finished with the failure for
            // the next sweep.
            m_running.emplace(entry.record->key,
                              Running{cluster, entry.record, entry.callback, entry.context});
            cluster->Start(entry.record);
            return;
        }
        entry.record->state = kTaskStateFinished;
        entry.record->result = made;
        RecordPtr& slot = m_finished[entry.record->key];
        replaced = std::move(slot);
        slot = entry.record;
        failed = std::move(entry);
    }
    if (failed.callback)
        failed.callback(failed.record.get(), failed.context);
}

HRESULT CAsyncTaskMgr::CancelTask(const std::wstring& key) {
    std::vector<RecordPtr> dropped;
    std::vector<std::shared_ptr<CTaskCluster>> clusters;
    size_t running;
    {
        CAutoLock lock(m_lock);
        for (auto it = m_waiting.begin(); it != m_waiting.end();) {
            if (key.empty() || it->first == key) {
                dropped.push_back(std::move(it->second.record));
                it = m_waiting.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& entry : m_running) {
            if (key.empty() || entry.first == key || entry.second.cluster->RecordKey() == key)
                clusters.push_back(entry.second.cluster);
        }
        running = m_running.size();
    }
    dropped.clear();
    for (auto& cluster : clusters)
        cluster->Cancel();
    // The UI thread only signals: the sweep collects the stopped tasks.
    if (IsUiThread() || clusters.empty())
        return S_OK;
    const uint32_t wait = std::max<uint32_t>(INFINITE_WAIT / static_cast<uint32_t>(running), kMinStopWaitMs);
    for (auto& cluster : clusters)
        cluster->Stop(wait);
    return S_OK;
}

HRESULT CAsyncTaskMgr::GetTaskList(bool finished, std::vector<TaskInfo>* out) {
    if (!out)
        return E_POINTER;
    CAutoLock lock(m_lock);
    if (finished) {
        out->reserve(out->size() + m_finished.size());
        for (const auto& entry : m_finished)
            out->push_back(TaskInfoOfRecord(*entry.second));
        return S_OK;
    }
    out->reserve(out->size() + m_running.size() + m_waiting.size());
    for (const auto& entry : m_running)
        out->push_back(entry.second.cluster->ReadInfo());
    for (const auto& entry : m_waiting)
        out->push_back(TaskInfoOfRecord(*entry.second.record));
    return S_OK;
}

HRESULT CAsyncTaskMgr::RemoveFinishedTask(const std::wstring& key) {
    std::vector<RecordPtr> dropped;
    {
        CAutoLock lock(m_lock);
        if (key.empty()) {
            for (auto& entry : m_finished)
                dropped.push_back(std::move(entry.second));
            m_finished.clear();
        } else {
            auto it = m_finished.find(key);
            if (it != m_finished.end()) {
                dropped.push_back(std::move(it->second));
                m_finished.erase(it);
            }
        }
    }
    return S_OK;
}

HRESULT CAsyncTaskMgr::RetryTask(const std::wstring& key, TaskCompletionCallback callback, void* context) {
    if (key.empty())
        return S_FALSE;
    RecordPtr record;
    {
        CAutoLock lock(m_lock);
        auto it = m_finished.find(key);
        if (it == m_finished.end())
            return S_OK;
        record = std::move(it->second);
        m_finished.erase(it);
    }
    const HRESULT hr = StartOrQueue(record, false, callback, context);
    if (FAILED(hr)) {
        CAutoLock lock(m_lock);
        m_finished.emplace(record->key, record);
    }
    return hr;
}
