// The per-user environment: folder, database and local root, the five
// components, log-out and forgetting the user.
#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "base/log/logfile.h"
#include "base/log/tracestack.h"
#include "base/settings/regsettings.h"
#include "base/utility/fileutil.h"
#include "base/utility/localpath.h"
#include "core/coreapp/synccenter.h"
#include "core/coreapp/userdatafolder.h"
#include "platform/strings.h"

namespace {

constexpr DWORD kLoginModeDeleteData = 2;

}  // namespace

template <class T>
CComPtr<T> CSyncCenter::_Take(CComPtr<T> Components::*slot) {
    std::lock_guard<std::mutex> guard(m_componentLock);
    CComPtr<T> taken = std::move(m_components.*slot);
    return taken;
}

HRESULT CSyncCenter::_PrepareUserEnv(const std::wstring& userId) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_PrepareUserEnv()", &hr, L"szUserId:%s", userId);
    std::wstring userDataDir;
    hr = JoinLocalName(_DataDir(), userId, userDataDir);
    if (FAILED(hr))
        return hr;
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        m_userId = userId;
        m_userDataDir = userDataDir;
    }
    hr = RegWriteString(L"", L"UserId", userId);
    if (FAILED(hr))
        return hr;
    hr = CreateFolderTree(userDataDir);
    if (FAILED(hr))
        return hr;
    hr = GetDatabase()->Init(JoinLocalPath(userDataDir, L"norle.db"));
    if (SUCCEEDED(hr))
        hr = GetDbConfigStore()->Open(GetDatabase(), L"config");
    if (FAILED(hr)) {
        CloseUserDatabase();
        return hr;
    }
    std::wstring syncRoot;
    RegReadString(syncRoot, userId, L"SyncRoot", L"");
    if (syncRoot.empty())
        syncRoot = JoinLocalPath(userDataDir, L"Cache");
    hr = CreateFolderTree(syncRoot);
    if (SUCCEEDED(hr))
        hr = RegWriteString(userId, L"SyncRoot", syncRoot);
    if (FAILED(hr))
        CloseUserDatabase();
    return hr;
}

HRESULT CSyncCenter::_InitUserEnv() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_InitUserEnv()", &hr, L"");
    // Each component is held before its Init so that a failing one is torn
    // down with the others.
    auto make = [this](auto& maker, auto Components::*slot, auto init) -> HRESULT {
        if (!maker)
            return E_NOTIMPL;
        typename std::remove_reference<decltype(m_components.*slot)>::type made;
        HRESULT r = maker(&made);
        if (FAILED(r))
            return r;
        if (!made)
            return E_FAIL;
        {
            std::lock_guard<std::mutex> guard(m_componentLock);
            m_components.*slot = made;
        }
        return init(made.get());
    };
    std::wstring syncRoot;
    GetSyncRoot(&syncRoot);
    const std::wstring userDataDir = _UserDataDir();
    hr = make(m_makers.localStorage, &Components::localStorage,
              [&](ILocalStorage* local) { return local->Init(userDataDir, syncRoot); });
    if (FAILED(hr))
        return hr;
    hr = make(m_makers.remoteStorage, &Components::remoteStorage,
              [](IRemoteStorage* remote) { return remote->Init(); });
    if (FAILED(hr))
        return hr;
    Components held = _Snapshot();
    hr = make(m_makers.taskMgr, &Components::taskMgr,
              [&](ITaskMgr* taskMgr) { return taskMgr->Init(this, held.localStorage, held.remoteStorage); });
    if (FAILED(hr))
        return hr;
    held = _Snapshot();
    hr = make(m_makers.fileSystem, &Components::fileSystem, [&](IFileSystem* fileSystem) {
        return fileSystem->Init(this, held.localStorage, held.remoteStorage, held.taskMgr);
    });
    if (FAILED(hr))
        return hr;
    hr = make(m_makers.eventCenter, &Components::eventCenter,
              [this](IEventCenter* eventCenter) { return eventCenter->Init(this); });
    return hr;
}

HRESULT CSyncCenter::_TearDownComponents() {
    HRESULT hr = S_OK;
    HRESULT remembered = S_OK;
    if (CComPtr<IFileSystem> fileSystem = _Snapshot().fileSystem) {
        hr = fileSystem->UnInit();
        if (FAILED(hr))
            remembered = hr;
        _Take(&Components::fileSystem);
    }
    if (CComPtr<IEventCenter> eventCenter = _Snapshot().eventCenter) {
        hr = eventCenter->UnInit();
        if (FAILED(hr))
            return hr;
        _Take(&Components::eventCenter);
    }
    if (CComPtr<ITaskMgr> taskMgr = _Snapshot().taskMgr) {
        hr = taskMgr->UnInit();
        if (FAILED(hr))
            return hr;
        _Take(&Components::taskMgr);
    }
    if (CComPtr<ILocalStorage> local = _Snapshot().localStorage) {
        hr = local->UnInit();
        if (FAILED(hr))
            remembered = hr;
        _Take(&Components::localStorage);
    }
    if (CComPtr<IRemoteStorage> remote = _Snapshot().remoteStorage) {
        hr = remote->UnInit();
        if (FAILED(hr))
            return hr;
        _Take(&Components::remoteStorage);
    }
    return FAILED(remembered) ? remembered : hr;
}

HRESULT CSyncCenter::_UnInitUserEnv() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_UnInitUserEnv()", &hr, L"");
    LoginTurn turn(*this);
    hr = _TearDownComponents();
    if (FAILED(hr))
        return hr;
    CloseUserDatabase();
    if (m_loggedIn && ReadRegDword(L"", L"LoginMode", 0) == kLoginModeDeleteData)
        ClearUser(true);
    m_loggedIn = false;
    return hr;
}

HRESULT CSyncCenter::_Logout() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_Logout()", &hr, L"");
    LoginTurn turn(*this);
    // The components hold the database and files under the user's folder:
    // they come down before anything of the user is forgotten or deleted.
    hr = _TearDownComponents();
    CloseUserDatabase();
    ClearUser(SUCCEEDED(hr) && ReadRegDword(L"", L"LoginMode", 0) == kLoginModeDeleteData);
    if (SUCCEEDED(hr))
        FireEvent(kSyncStatusLoggedOut, nullptr, false);
    m_loggedIn = false;
    return hr;
}

void CSyncCenter::ClearUser(bool deleteFiles) {
    const std::wstring userId = _UserId();
    std::wstring syncRoot;
    RegReadString(syncRoot, userId, L"SyncRoot", L"");
    std::wstring userDataDir;
    if (!userId.empty()) {
        RegWriteString(userId, kTokenValueName, L"");
        RegWriteString(userId, L"UserName", L"");
        RegWriteString(userId, L"NickName", L"");
        JoinLocalName(_DataDir(), userId, userDataDir);
    }
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        m_userId.clear();
        m_userDataDir.clear();
    }
    RegWriteString(L"", L"userid", L"");
    CloseUserDatabase();
    if (deleteFiles && !userDataDir.empty())
        _DeleteUserData(userDataDir, syncRoot);
}

void CSyncCenter::_DeleteUserData(const std::wstring& userDataDir, const std::wstring& syncRoot) {
    DeleteUserDataFolders(userDataDir, syncRoot, _DataDir());
}
