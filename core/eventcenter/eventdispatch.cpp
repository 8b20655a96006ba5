#include "core/eventcenter/eventdispatch.h"

#include <new>

#include "core/coreapp/isynccenter.h"
#include "core/taskmgr/itaskmgr.h"

HRESULT CEventDispatch::CreateInstance(IEventDispatch** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CEventDispatch* dispatch = new (std::nothrow) CEventDispatch();
    if (!dispatch)
        return E_FAIL;
    dispatch->AddRef();
    *out = dispatch;
    return S_OK;
}

HRESULT CEventDispatch::Init(IEventCenter* owner, ISyncCenter* syncCenter) {
    if (!syncCenter)
        return E_POINTER;
    m_owner = owner;
    m_syncCenter = syncCenter;
    HRESULT hr = syncCenter->GetInterface(ILocalStorage::Iid(), reinterpret_cast<void**>(&m_localStorage));
    // Without the cache every push would be lost; say so instead of succeeding.
    if (FAILED(hr))
        return hr;
    if (!m_localStorage)
        return E_FAIL;
    // The dispatch only runs beside a task manager; it keeps no reference to it.
    CComPtr<ITaskMgr> taskMgr;
    return syncCenter->GetInterface(ITaskMgr::Iid(), reinterpret_cast<void**>(&taskMgr));
}

HRESULT CEventDispatch::UnInit() {
    return S_OK;
}

HRESULT CEventDispatch::XSpaceChange(int64_t opVersion, int64_t shareVersion, int32_t, int32_t) {
    if (!m_localStorage)
        return E_FAIL;
    // A missing version must not become 0: that would make every stale folder look fresh.
    if (opVersion >= 0)
        m_localStorage->SetCurCacheVesion(opVersion);
    if (shareVersion >= 0)
        m_localStorage->SetCurShareCacheVesion(shareVersion);
    return S_OK;
}
