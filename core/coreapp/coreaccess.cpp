#include "core/coreapp/coreaccess.h"

#include <climits>
#include <cwchar>

#include "base/utility/formatstring.h"
#include "core/coreapp/shelladapter.h"
#include "core/coreapp/synccenter.h"

CCoreAccess& GetCoreAccess() {
    static CCoreAccess access;
    return access;
}

CCoreAccess::~CCoreAccess() {
    // Whatever the sync center still does may need the bridge: it goes last.
    std::lock_guard<std::mutex> guard(m_lock);
    m_fileSystem.Release();
    m_syncCenter.Release();
    m_bridge.Release();
}

HRESULT CCoreAccess::Startup(const std::wstring& dataDir, IMainWindow* sink) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_syncCenter || m_bridge)
            return E_FAIL;
    }
    CComPtr<IShellAdapter> bridge;
    HRESULT hr = CreateShellAdapter(&bridge);
    if (FAILED(hr))
        return hr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bridge = bridge;
    }
    hr = bridge->Init(sink);
    if (FAILED(hr))
        return hr;
    CComPtr<ISyncCenter> syncCenter;
    hr = CreateSyncCenter(&syncCenter);
    if (FAILED(hr))
        return hr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_syncCenter = syncCenter;
    }
    return syncCenter->Init(dataDir, bridge);
}

HRESULT CCoreAccess::Shutdown() {
    CComPtr<ISyncCenter> syncCenter;
    CComPtr<IShellAdapter> bridge;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_fileSystem.Release();
        syncCenter = m_syncCenter;
        bridge = m_bridge;
    }
    HRESULT hr = S_OK;
    if (syncCenter) {
        syncCenter->Stop();
        hr = syncCenter->UnInit();
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_syncCenter.Release();
        }
        syncCenter.Release();
    }
    // The components have come down: nothing of the core asks the user any more.
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bridge.Release();
    }
    if (bridge)
        bridge->UnInit();
    return hr;
}

HRESULT CCoreAccess::BindWithLogin(const std::wstring& userName, const std::wstring& password,
                                   int loginMode) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    if (!syncCenter)
        return E_FAIL;
    HRESULT hr = syncCenter->BindWithLogin(userName, password, loginMode);
    return FAILED(hr) ? hr : FetchFileSystem();
}

HRESULT CCoreAccess::TryLogin(int unused) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    if (!syncCenter)
        return E_FAIL;
    HRESULT hr = syncCenter->TryLogin(unused);
    return FAILED(hr) ? hr : FetchFileSystem();
}

HRESULT CCoreAccess::FetchFileSystem() {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    if (!syncCenter)
        return E_FAIL;
    IFileSystem* fileSystem = nullptr;
    HRESULT hr = syncCenter->GetInterface(IFileSystem::Iid(), reinterpret_cast<void**>(&fileSystem));
    if (FAILED(hr))
        return hr;
    CComPtr<IFileSystem> held;
    held.Attach(fileSystem);
    std::lock_guard<std::mutex> guard(m_lock);
    m_fileSystem = held;
    return hr;
}

HRESULT CCoreAccess::UnBind() {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_fileSystem.Release();
    }
    return syncCenter ? syncCenter->UnBind() : E_FAIL;
}

bool CCoreAccess::IsLoggedIn() {
    std::wstring userName;
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    return syncCenter && syncCenter->GetLoginInfo(&userName, nullptr, nullptr, nullptr) == S_OK;
}

HRESULT CCoreAccess::GetLoginInfo(std::wstring* userName, std::wstring* token, std::wstring* userId,
                                  std::wstring* nickName) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    return syncCenter ? syncCenter->GetLoginInfo(userName, token, userId, nickName) : E_FAIL;
}

std::wstring CCoreAccess::GetUserValue(std::wstring& out, const std::wstring& name, const std::wstring& def) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    if (!syncCenter || FAILED(syncCenter->GetUserValue(&out, name, def)))
        out = def;
    return out;
}

HRESULT CCoreAccess::SetUserValue(const std::wstring& name, const std::wstring& text) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    return syncCenter ? syncCenter->SetUserValue(name, text) : E_FAIL;
}

int CCoreAccess::GetUserIntValue(const std::wstring& name) {
    std::wstring text;
    GetUserValue(text, name, L"");
    if (text.empty())
        return 0;
    long value = std::wcstol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

HRESULT CCoreAccess::SetUserIntValue(const std::wstring& name, int value) {
    std::wstring text;
    return SetUserValue(name, FormatString(text, L"%d", value));
}

HRESULT CCoreAccess::GetSyncRoot(std::wstring& out) {
    CComPtr<ISyncCenter> syncCenter = _SyncCenter();
    return syncCenter ? syncCenter->GetSyncRoot(&out) : E_FAIL;
}

HRESULT CCoreAccess::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    CComPtr<IShellAdapter> bridge = _Bridge();
    return bridge ? bridge->ShowMessage(text, caption) : E_FAIL;
}

int CCoreAccess::AskUser(const std::wstring& rememberKey, const std::wstring& text,
                         const std::wstring& caption, const std::wstring& buttons, int flag,
                         const std::wstring& checkText, int rememberValue) {
    CComPtr<IShellAdapter> bridge = _Bridge();
    // Callers take "not shown" as leave to go ahead; with nobody to ask the
    // only safe answer is cancel.
    if (!bridge)
        return kAskCancel;
    return bridge->AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue);
}

HRESULT CCoreAccess::ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                                 uint32_t timeoutMs) {
    CComPtr<IShellAdapter> bridge = _Bridge();
    return bridge ? bridge->ShowBalloon(text, title, iconFlags, timeoutMs) : E_FAIL;
}

CComPtr<ISyncCenter> CCoreAccess::_SyncCenter() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_syncCenter;
}

CComPtr<IShellAdapter> CCoreAccess::_Bridge() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bridge;
}

CComPtr<IFileSystem> CCoreAccess::_FileSystem() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_fileSystem;
}
