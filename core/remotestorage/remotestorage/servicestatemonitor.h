#pragma once
// Watches transfer results and turns a failing network or a service that
// announces maintenance into the sync center's override status. Built
// disabled: nothing enables it, so by default every report is ignored.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/criticalsection.h"
#include "platform/event.h"
#include "platform/hresult.h"

constexpr uint32_t kStatusNetworkFailing = 0x10000;
constexpr uint32_t kStatusServiceNotice = 0x20000;
// Longest text of a notice field (260 characters with the terminator).
constexpr size_t kStatusTextMax = 259;

// The override record the monitor posts; texts are empty for kStatusNetworkFailing.
struct ServiceStateRecord {
    uint32_t type = 0;
    std::wstring title;
    std::wstring content;
    std::wstring url;
};

// What the monitor needs of the sync center.
class IServiceStateSink {
public:
    virtual void SetOverrideStatus(const ServiceStateRecord& record) = 0;
    virtual void ClearOverrideStatus() = 0;

protected:
    ~IServiceStateSink() = default;
};

// Longest Disable waits for a post in flight (a sink call is a quick status post).
constexpr uint32_t kDisableWaitMs = 30000;

// Where the state service answers; fixed in the program, not a setting.
extern const wchar_t kServiceStateUrl[];

class ServiceStateMonitor {
public:
    // The process-wide monitor, created on first use, disabled.
    static ServiceStateMonitor& Instance();

    explicit ServiceStateMonitor(std::wstring stateUrl = kServiceStateUrl);
    ServiceStateMonitor(const ServiceStateMonitor&) = delete;
    ServiceStateMonitor& operator=(const ServiceStateMonitor&) = delete;

    // Starts watching; the sink must outlive the time the monitor is enabled.
    // A null sink leaves the monitor disabled.
    void Enable(IServiceStateSink* sink);
    // After it returns the sink is not called any more: a post in flight on
    // another thread is waited for (bounded by kDisableWaitMs), so the sink
    // must never wait for the thread that disables.
    void Disable();

    void Report(bool good);

private:
    enum class Pending {
        kNothing,  // no override change waits to be posted
        kClear,    // the override is to be cleared
        kSet,      // m_pendingRecord is to be posted
    };

    enum class LastReport {
        kNone,  // nothing reported yet: the first report of either kind is news
        kGood,  // the last transfer reached the service
        kBad,   // the last transfer failed on the way
    };

    // Asks the state service; runs on the reporting thread with no lock held.
    void CheckServerState();
    // Hands queued override changes to the sink, the latest last; one thread at a time.
    void PostPending();

    const std::wstring m_stateUrl;
    std::atomic<bool> m_enabled{false};
    CCriticalSection m_lock;
    IServiceStateSink* m_sink = nullptr;
    LastReport m_last = LastReport::kNone;
    bool m_maintenanceShown = false;  // the last check found the service under maintenance
    int m_badCount = 0;               // bad reports since the last check
    bool m_checking = false;          // a thread is asking the state service
    bool m_posting = false;           // a thread is handing changes to the sink
    std::thread::id m_postingThread;  // the thread that is, while m_posting
    CEvent m_postIdle{true, true};    // set while no thread is posting
    Pending m_pending = Pending::kNothing;
    ServiceStateRecord m_pendingRecord;
};

// Every transport download and upload, and requests made with the report flag,
// end here: transfer failures (0x80044001-0x80044004) are bad, the rest good.
void ReportTransportResult(HRESULT result);
