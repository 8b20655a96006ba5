#include "ui/middlewindow/taskinfocache.h"

#include "base/utility/formatstring.h"

CTaskInfoCache::CTaskInfoCache(std::shared_ptr<ITaskCore> core, uint32_t pollMs, uint32_t stopWaitMs)
    : core_(std::move(core)), lists_(std::make_shared<Lists>()), pollMs_(pollMs), stopWaitMs_(stopWaitMs) {}

CTaskInfoCache::~CTaskInfoCache() {
    UnInit();
}

bool CTaskInfoCache::Init() {
    if (thread_)
        return false;
    thread_ = std::make_unique<CWorkerThread>();
    // The body owns what it touches: a poller abandoned at UnInit may still run.
    std::shared_ptr<ITaskCore> core = core_;
    std::shared_ptr<Lists> lists = lists_;
    const uint32_t period = pollMs_;
    return thread_->Start([core, lists, period](const CWorkerThread::StopToken& stop) {
        while (!stop.WaitForStop(period))
            Poll(*core, *lists);
    });
}

void CTaskInfoCache::UnInit() {
    if (!thread_)
        return;
    std::wstring text;
    FormatString(text, L"CTaskInfoCache::UnInit：线程退出超时，TimeOut = %d", static_cast<int>(stopWaitMs_));
    thread_->StopAndJoin(stopWaitMs_, text);
    thread_.reset();
}

void CTaskInfoCache::Poll(ITaskCore& core, Lists& lists) {
    std::vector<TaskInfo> open, unfinished, finished;
    core.GetOpenFileList(&open);
    core.GetTaskList(false, &unfinished);
    core.GetTaskList(true, &finished);
    std::lock_guard<std::mutex> guard(lists.lock);
    lists.open.swap(open);
    lists.unfinished.swap(unfinished);
    lists.finished.swap(finished);
    ++lists.generation;
}

bool CTaskInfoCache::Read(std::vector<TaskInfo> Lists::*list, std::vector<TaskInfo>& out) {
    std::unique_lock<std::mutex> guard(lists_->lock, std::try_to_lock);
    if (!guard.owns_lock())
        return false;
    out = (*lists_).*list;
    return true;
}

bool CTaskInfoCache::GetOpenFileList(std::vector<TaskInfo>& out) {
    return Read(&Lists::open, out);
}

bool CTaskInfoCache::GetUnfinishedList(std::vector<TaskInfo>& out) {
    return Read(&Lists::unfinished, out);
}

bool CTaskInfoCache::GetFinishedList(std::vector<TaskInfo>& out) {
    return Read(&Lists::finished, out);
}

uint64_t CTaskInfoCache::Generation() {
    std::lock_guard<std::mutex> guard(lists_->lock);
    return lists_->generation;
}
