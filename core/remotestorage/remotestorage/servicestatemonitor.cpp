#include "core/remotestorage/remotestorage/servicestatemonitor.h"

#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/diagnostics.h"
#include "platform/strings.h"

// A reserved name: the check is never enabled, and a stray one must not reach anyone.
const wchar_t kServiceStateUrl[] = L"http://state.pellux.example/api_server/";

namespace {

constexpr long kCheckTimeoutSeconds = 10;

std::wstring Cut(const std::wstring& text) {
    return text.substr(0, kStatusTextMax);
}

}  // namespace

ServiceStateMonitor& ServiceStateMonitor::Instance() {
    // Never destroyed: a worker abandoned at exit may still report to it.
    static ServiceStateMonitor* const monitor = new ServiceStateMonitor;
    return *monitor;
}

ServiceStateMonitor::ServiceStateMonitor(std::wstring stateUrl) : m_stateUrl(std::move(stateUrl)) {}

void ServiceStateMonitor::Enable(IServiceStateSink* sink) {
    if (!sink)
        return;
    {
        CAutoLock lock(m_lock);
        m_sink = sink;
    }
    m_enabled.store(true);
}

void ServiceStateMonitor::Disable() {
    m_enabled.store(false);
    bool wait = false;
    {
        CAutoLock lock(m_lock);
        m_sink = nullptr;
        // A sink that disables from inside its own call is not waited for.
        wait = m_posting && m_postingThread != std::this_thread::get_id();
    }
    if (wait && !m_postIdle.Wait(kDisableWaitMs))
        PlatformLog(0, __FILE__, __LINE__, L"ServiceStateMonitor::Disable: a post did not finish in time");
}

void ServiceStateMonitor::Report(bool good) {
    if (!m_enabled.load())
        return;
    bool check = false;
    {
        CAutoLock lock(m_lock);
        const LastReport now = good ? LastReport::kGood : LastReport::kBad;
        if (now != m_last) {
            m_pending = good ? Pending::kClear : Pending::kSet;
            m_pendingRecord = ServiceStateRecord();
            m_pendingRecord.type = kStatusNetworkFailing;
        }
        m_last = now;
        if (good) {
            check = m_maintenanceShown;
        } else if (!m_maintenanceShown) {
            // Good reports in between do not reset the count.
            if (++m_badCount > 3) {
                m_badCount = 0;
                check = true;
            }
        }
        // One check at a time; a report that finds one running lets it answer.
        check = check && !m_checking;
        if (check)
            m_checking = true;
    }
    PostPending();
    if (check)
        CheckServerState();
}

void ServiceStateMonitor::CheckServerState() {
    CurlSession session;
    bool failed = true;
    bool maintenance = false;
    ServiceStateRecord notice;
    if (session.EnsureHandle()) {
        session.FullReset();
        // The state service is asked directly: no proxy, cap or header list.
        ProxyOptions noProxy;
        session.ApplyProxy(noProxy);
        const CURLcode code = session.TextGet(WideToUtf8(m_stateUrl), kCheckTimeoutSeconds);
        if (code == CURLE_OK) {
            XmlNode reply;
            if (session.ResponseBody().empty()) {
                failed = false;
            } else if (SUCCEEDED(reply.Parse(session.ResponseText()))) {
                failed = false;
                if (CompareNoCase(reply.GetValue(L"State"), L"maintain") == 0) {
                    maintenance = true;
                    notice.type = kStatusServiceNotice;
                    notice.title = Cut(reply.GetValue(L"Title"));
                    notice.content = Cut(reply.GetValue(L"Content"));
                    notice.url = Cut(reply.GetValue(L"URL"));
                }
            }
        }
    }
    {
        CAutoLock lock(m_lock);
        m_checking = false;
        if (failed) {
            m_maintenanceShown = false;
        } else if (maintenance) {
            m_maintenanceShown = true;
            m_pending = Pending::kSet;
            m_pendingRecord = notice;
        }
    }
    PostPending();
}

void ServiceStateMonitor::PostPending() {
    {
        CAutoLock lock(m_lock);
        if (m_posting)
            return;
        m_posting = true;
        m_postingThread = std::this_thread::get_id();
        m_postIdle.Reset();
    }
    // Override changes are handed out without the lock; whoever posts drains
    // what others queued meanwhile, so the sink always ends at the latest state.
    for (;;) {
        Pending pending;
        ServiceStateRecord record;
        IServiceStateSink* sink;
        {
            CAutoLock lock(m_lock);
            if (m_pending == Pending::kNothing || !m_sink) {
                m_pending = Pending::kNothing;
                m_posting = false;
                m_postIdle.Set();
                return;
            }
            pending = m_pending;
            record = m_pendingRecord;
            sink = m_sink;
            m_pending = Pending::kNothing;
        }
        if (pending == Pending::kClear) {
            sink->ClearOverrideStatus();
        } else {
            sink->SetOverrideStatus(record);
        }
    }
}

void ReportTransportResult(HRESULT result) {
    const bool bad = result == E_TRANSPORT_TIMEOUT || result == E_TRANSPORT_CONNECT ||
                     result == E_TRANSPORT_FAILED || result == E_CHECKSUM_MISMATCH;
    ServiceStateMonitor::Instance().Report(!bad);
}
