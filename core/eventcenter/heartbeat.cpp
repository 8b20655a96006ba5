#include "core/eventcenter/heartbeat.h"

#include <algorithm>
#include <atomic>

#include "base/log/logfile.h"
#include "core/eventcenter/ieventdispatch.h"
#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/remoteitem.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"

struct CHeartbeat::State {
    HeartbeatTiming timing;
    // 1 once StopWork was called; never cleared. Read by the transfer's
    // progress path too, hence atomic.
    std::atomic<int32_t> stop{0};
    // Set together with stop, so that the pauses end at once.
    CEvent wake{true, false};
    CComPtr<IEventDispatch> dispatch;
    CComPtr<IRemoteStorage> remote;
    std::unique_ptr<TaskData_PushNotify, void (*)(TaskData_PushNotify*)> record{
        nullptr, [](TaskData_PushNotify* r) { r->Release(); }};
};

namespace {

// Aborts the pending long poll at the transfer's next progress report.
HRESULT StopCheck(void* context, int64_t, int64_t, int64_t, int64_t, int64_t) {
    return static_cast<const std::atomic<int32_t>*>(context)->load() != 0 ? E_FAIL : S_OK;
}

}  // namespace

CHeartbeat::CHeartbeat(const HeartbeatTiming& timing) : m_state(std::make_shared<State>()) {
    m_state->timing = timing;
    m_state->timing.periodMs = std::max<uint32_t>(timing.periodMs, 1);
    m_state->timing.maxBackoffMs = std::max(timing.maxBackoffMs, m_state->timing.periodMs);
}

CHeartbeat::~CHeartbeat() {
    StopWork();
}

HRESULT CHeartbeat::Init(const std::wstring&, const std::wstring& userId, IRemoteStorage* remote,
                         IEventDispatch* dispatch) {
    if (m_thread.IsRunning())
        return E_FAIL;
    if (!m_state->record) {
        m_state->record.reset(TaskData_PushNotify::Create());
        if (!m_state->record)
            return E_OUTOFMEMORY;
    }
    m_state->remote = remote;
    m_state->dispatch = dispatch;
    m_state->record->userId = userId;
    return S_OK;
}

HRESULT CHeartbeat::StartWork() {
    if (m_state->stop.load() != 0 || !m_state->remote || !m_state->dispatch || !m_state->record)
        return E_FAIL;
    std::shared_ptr<State> state = m_state;
    if (!m_thread.Start([state](const CWorkerThread::StopToken&) { WorkThread(state); }))
        return E_FAIL;
    return S_OK;
}

HRESULT CHeartbeat::StopWork() {
    m_state->stop.store(1);
    m_state->wake.Set();
    // The stop check ends a held poll within about a second; no time limit.
    m_thread.Join(INFINITE_WAIT);
    return S_OK;
}

void CHeartbeat::WorkThread(const std::shared_ptr<State>& state) {
    State& s = *state;
    if (s.wake.Wait(s.timing.periodMs))
        return;
    uint32_t backoff = s.timing.periodMs;
    while (s.stop.load() == 0) {
        XmlNode reply;
        const HRESULT hr = s.remote->PushNotify(s.record.get(), &StopCheck, &s.stop, &reply);
        if (s.stop.load() != 0)
            break;
        uint32_t pause = s.timing.periodMs;
        if (SUCCEEDED(hr)) {
            s.dispatch->XSpaceChange(ParseReplyVersion(reply, L"opVer"),
                                     ParseReplyVersion(reply, L"shareVer"), 0, 0);
            backoff = s.timing.periodMs;
        } else {
            // An unreachable service fails at once; without a back-off we would
            // hammer it (and the log) five times a second.
            pause = backoff;
            if (backoff == s.timing.periodMs)
                PELLUX_LOG_WARNING(L"push poll failed (0x%08X); polling again with back-off", hr);
            backoff = std::min(backoff * 2, s.timing.maxBackoffMs);
        }
        if (s.wake.Wait(pause))
            break;
    }
}
