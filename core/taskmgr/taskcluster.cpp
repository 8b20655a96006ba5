#include "core/taskmgr/taskinforecord.h"
#include "core/taskmgr/taskcluster.h"

#include <algorithm>
#include <cstring>

#include "core/coreapp/isynccenter.h"
#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/criticalsection.h"

namespace {

struct RecordReleaser {
    void operator()(TaskDataBase* record) const {
        if (record)
            record->Release();
    }
};

template <class T>
bool AssignAs(TaskDataBase& to, const TaskDataBase& from) {
    T* target = dynamic_cast<T*>(&to);
    const T* source = dynamic_cast<const T*>(&from);
    if (!target || !source)
        return false;
    *target = *source;
    return true;
}

// Hands the task's finished copy back into the manager's record: the whole
// record for the transfer classes, the shared fields for any other.
void CopyRecord(TaskDataBase& to, const TaskDataBase& from) {
    if (AssignAs<TaskData_NewFile>(to, from) || AssignAs<TaskData_UpdateFile>(to, from) ||
        AssignAs<TaskData_DownloadFile>(to, from))
        return;
    to.sequence = from.sequence;
    to.operationName = from.operationName;
    to.token = from.token;
    to.key = from.key;
    to.version = from.version;
    to.itemPath = from.itemPath;
    to.localPath = from.localPath;
    to.sha1 = from.sha1;
    to.isFolder = from.isFolder;
    to.spareFlag = from.spareFlag;
    to.isUpload = from.isUpload;
    to.flags = from.flags;
}

bool IsSessionProblem(HRESULT hr) {
    return hr == E_RESULT_CLIENT_TOKEN_EXPIRED || hr == E_RESULT_METHOD_VERSION_NOT_MATCH ||
           hr == E_RESULT_CLIENT_NO_LOGIN;
}

}  // namespace

struct CTaskCluster::Shared {
    // The cluster lock: the manager's record and the fields below.
    mutable CCriticalSection lock{LockRank::kTaskCluster};
    ISyncCenter* syncCenter = nullptr;
    CComPtr<ILocalStorage> local;
    CComPtr<IRemoteStorage> remote;
    std::wstring token;
    bool haveToken = false;
    int attempts = 1;
    std::shared_ptr<TaskDataBase> record;
    // Declared before the task, which points into it and goes first.
    std::unique_ptr<TaskDataBase, RecordReleaser> working;
    std::unique_ptr<ITask> task;
    int64_t bytesDone = 0;
    int64_t bytesTotal = 0;
    // A worker thread was started for the record.
    bool started = false;
    // The record holds its outcome (state 3).
    bool finished = false;
    // The manager gave up waiting for the worker; the record is no longer ours.
    bool abandoned = false;
};

CTaskCluster::CTaskCluster(TaskMaker maker) : m_maker(std::move(maker)) {}

CTaskCluster::~CTaskCluster() = default;

HRESULT CTaskCluster::Init(ISyncCenter* syncCenter, int attempts) {
    if (!syncCenter)
        return E_POINTER;
    auto shared = std::make_shared<Shared>();
    shared->syncCenter = syncCenter;
    shared->attempts = std::max(1, attempts);
    HRESULT hr = syncCenter->GetInterface(ILocalStorage::Iid(), reinterpret_cast<void**>(&shared->local));
    if (FAILED(hr))
        return hr;
    hr = syncCenter->GetInterface(IRemoteStorage::Iid(), reinterpret_cast<void**>(&shared->remote));
    if (FAILED(hr))
        return hr;
    if (!shared->local || !shared->remote)
        return E_FAIL;
    std::wstring token;
    if (syncCenter->GetLoginInfo(nullptr, &token, nullptr, nullptr) == S_OK) {
        shared->token = token;
        shared->haveToken = true;
    }
    m_shared = std::move(shared);
    return S_OK;
}

HRESULT CTaskCluster::Start(const std::shared_ptr<TaskDataBase>& record) {
    if (!m_shared || !record || m_shared->record)
        return E_FAIL;
    Shared& s = *m_shared;
    auto giveUp = [&s](HRESULT hr) {
        CAutoLock lock(s.lock);
        s.record->state = kTaskStateFinished;
        s.record->result = hr;
        s.finished = true;
        return hr;
    };
    {
        CAutoLock lock(s.lock);
        s.record = record;
        record->state = kTaskStateRunning;
        record->result = S_OK;
        record->bytesDone = 0;
        record->bytesTotal = 0;
        if (s.haveToken)
            record->token = s.token;
    }
    s.working.reset(record->Clone());
    if (!s.working)
        return giveUp(E_OUTOFMEMORY);
    ITask* task = m_maker ? m_maker(s.working.get()) : nullptr;
    if (!task)
        return giveUp(E_FAIL);
    task->Init(s.local, s.remote, &CTaskCluster::OnProgress, &s);
    {
        CAutoLock lock(s.lock);
        s.task.reset(task);
        s.started = true;
    }
    std::shared_ptr<Shared> shared = m_shared;
    if (!_Start([shared] { Run(shared); })) {
        {
            CAutoLock lock(s.lock);
            s.started = false;
        }
        return giveUp(E_FAIL);
    }
    return S_OK;
}

void CTaskCluster::Run(const std::shared_ptr<Shared>& shared) {
    HRESULT result = E_FAIL;
    for (int left = shared->attempts; left > 0; --left) {
        result = shared->task->Execute();
        if (!IsRetryableTaskResult(result))
            break;
    }
    Finish(*shared, result);
}

void CTaskCluster::Finish(Shared& s, HRESULT result) {
    // The status is posted under the cluster lock (cluster before status in the
    // lock order) so that a manager giving up on this worker cannot race it:
    // once abandoned, nothing here touches the sync center or the record.
    CAutoLock lock(s.lock);
    s.working->state = kTaskStateFinished;
    s.working->result = result;
    if (s.abandoned)
        return;
    if (IsSessionProblem(result)) {
        SyncStatusRecord status(kSyncStatusSessionProblem);
        const uint32_t value = kSessionProblemBodyValue;
        std::memcpy(status.body, &value, sizeof(value));
        s.syncCenter->PostStatus(status, true);
    }
    CopyRecord(*s.record, *s.working);
    s.record->state = kTaskStateFinished;
    s.record->result = result;
    s.record->bytesDone = s.bytesDone;
    s.record->bytesTotal = s.bytesTotal;
    s.finished = true;
}

bool CTaskCluster::Stop(uint32_t timeoutMs) {
    Cancel();
    if (_Stop(timeoutMs) || !m_shared)
        return true;
    Shared& s = *m_shared;
    CAutoLock lock(s.lock);
    if (!s.finished && s.record) {
        s.record->state = kTaskStateFinished;
        s.record->result = E_CANCELLED;
        s.finished = true;
    }
    s.abandoned = true;
    return false;
}

void CTaskCluster::Cancel() {
    if (!m_shared)
        return;
    ITask* task;
    {
        CAutoLock lock(m_shared->lock);
        task = m_shared->task.get();
    }
    if (task)
        task->Cancel();
}

bool CTaskCluster::IsFinished() const {
    if (!m_shared)
        return true;
    CAutoLock lock(m_shared->lock);
    return m_shared->abandoned || (m_shared->finished && (!m_shared->started || _HasEnded()));
}

TaskInfo CTaskCluster::ReadInfo() const {
    TaskInfo info;
    if (!m_shared)
        return info;
    CAutoLock lock(m_shared->lock);
    const TaskDataBase* record = m_shared->record.get();
    if (!record)
        return info;
    info = TaskInfoOfRecord(*record);
    info.flags = 0;  // a running task's flags are not shown
    return info;
}

std::wstring CTaskCluster::RecordKey() const {
    if (!m_shared)
        return std::wstring();
    CAutoLock lock(m_shared->lock);
    return m_shared->record ? m_shared->record->key : std::wstring();
}

HRESULT CTaskCluster::OnProgress(void* context, int64_t downloadTotal, int64_t downloadNow,
                                 int64_t uploadTotal, int64_t uploadNow, int64_t) {
    Shared* s = static_cast<Shared*>(context);
    if (!s)
        return S_OK;
    // An upload also reports its (zero) download totals: the upload pair wins.
    const bool upload = uploadTotal > 0;
    const int64_t total = std::max<int64_t>(0, upload ? uploadTotal : downloadTotal);
    const int64_t done = std::max<int64_t>(0, upload ? uploadNow : downloadNow);
    CAutoLock lock(s->lock);
    s->bytesTotal = total;
    s->bytesDone = done;
    if (!s->abandoned && s->record) {
        s->record->bytesTotal = total;
        s->record->bytesDone = done;
    }
    return S_OK;
}
