#pragma once
// Writes pushed versions into the local storage, which then treats folders
// cached under older versions as stale.
#include "core/eventcenter/ieventdispatch.h"
#include "core/localstorage/localstorage/ilocalstorage.h"

class CEventDispatch final : public CUnknownImpl<IEventDispatch> {
public:
    // One reference in out; E_FAIL when the object cannot be made.
    static HRESULT CreateInstance(IEventDispatch** out);

    HRESULT Init(IEventCenter* owner, ISyncCenter* syncCenter) override;
    HRESULT UnInit() override;
    HRESULT XSpaceChange(int64_t opVersion, int64_t shareVersion, int32_t reserved1,
                         int32_t reserved2) override;

private:
    CEventDispatch() = default;

    IEventCenter* m_owner = nullptr;        // not counted: it owns us
    ISyncCenter* m_syncCenter = nullptr;    // not counted: outlives the event center
    CComPtr<ILocalStorage> m_localStorage;  // written by Init before the heartbeat starts
};
