#pragma once
// Keeps the local cache's idea of the remote space current: the push
// heartbeat's reported versions go through the event dispatch into the cache.
#include "core/eventcenter/heartbeat.h"
#include "core/eventcenter/ieventcenter.h"
#include "core/eventcenter/ieventdispatch.h"

class CEventCenter final : public CUnknownImpl<IEventCenter> {
public:
    // One reference in out; E_FAIL when the object cannot be made.
    static HRESULT CreateInstance(IEventCenter** out, const HeartbeatTiming& timing = HeartbeatTiming());

    HRESULT Init(ISyncCenter* syncCenter) override;
    HRESULT UnInit() override;
    HRESULT Start() override;
    HRESULT Stop() override;

private:
    explicit CEventCenter(const HeartbeatTiming& timing) : m_heartbeat(timing) {}

    CComPtr<IEventDispatch> m_dispatch;  // null until Init
    CHeartbeat m_heartbeat;
};

// The event center with the heartbeat's normal periods (tests that need other
// periods use CEventCenter::CreateInstance).
HRESULT CreateEventCenter(IEventCenter** out);
