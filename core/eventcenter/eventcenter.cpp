#include "core/eventcenter/eventcenter.h"

#include <new>

#include "core/coreapp/isynccenter.h"
#include "core/eventcenter/eventdispatch.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"

HRESULT CreateEventCenter(IEventCenter** out) {
    return CEventCenter::CreateInstance(out);
}

HRESULT CEventCenter::CreateInstance(IEventCenter** out, const HeartbeatTiming& timing) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CEventCenter* center = new (std::nothrow) CEventCenter(timing);
    if (!center)
        return E_FAIL;
    center->AddRef();
    *out = center;
    return S_OK;
}

HRESULT CEventCenter::Init(ISyncCenter* syncCenter) {
    if (!syncCenter)
        return E_POINTER;
    CComPtr<IEventDispatch> dispatch;
    HRESULT hr = CEventDispatch::CreateInstance(&dispatch);
    if (SUCCEEDED(hr))
        hr = dispatch->Init(this, syncCenter);
    std::wstring token;
    std::wstring userId;
    if (SUCCEEDED(hr))
        hr = syncCenter->GetLoginInfo(nullptr, &token, &userId, nullptr);
    CComPtr<IRemoteStorage> remote;
    if (SUCCEEDED(hr))
        hr = syncCenter->GetInterface(IRemoteStorage::Iid(), reinterpret_cast<void**>(&remote));
    if (SUCCEEDED(hr))
        hr = m_heartbeat.Init(token, userId, remote, dispatch);
    m_dispatch = dispatch;
    return hr;
}

HRESULT CEventCenter::UnInit() {
    if (m_dispatch)
        m_dispatch->UnInit();
    return S_OK;
}

HRESULT CEventCenter::Start() {
    return m_heartbeat.StartWork();
}

HRESULT CEventCenter::Stop() {
    return m_heartbeat.StopWork();
}
