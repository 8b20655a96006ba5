// Log-in roads, start and stop, and handing out the components.
#include "core/coreapp/synccenter.h"

#include <new>

#include "base/db/dbconfigstore.h"
#include "base/log/logfile.h"
#include "base/log/tracestack.h"
#include "base/settings/regsettings.h"
#include "base/utility/fileutil.h"
#include "base/utility/fileversion.h"
#include "base/utility/localpath.h"
#include "core/coreapp/deviceid.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"

const wchar_t kTokenValueName[] = L"{5f3cde84-0629-43e4-8ec2-98524cf82edf}";

namespace {

bool FolderExists(const std::wstring& path) {
    return !path.empty() && IsDirectoryPath(WideToUtf8(path));
}

}  // namespace

HRESULT CreateSyncCenter(ISyncCenter** out) {
    return CreateSyncCenter(GetDefaultComponentMakers(), out);
}

HRESULT CreateSyncCenter(const CoreComponentMakers& makers, ISyncCenter** out) {
    if (!out)
        return E_POINTER;
    CSyncCenter* center = new (std::nothrow) CSyncCenter(makers);
    if (!center)
        return E_FAIL;
    center->AddRef();
    *out = center;
    return S_OK;
}

CSyncCenter::LoginTurn::LoginTurn(CSyncCenter& owner) : m_owner(owner) {
    std::unique_lock<std::mutex> lock(m_owner.m_loginLock);
    m_owner.m_loginIdle.wait(lock, [this] { return !m_owner.m_loginBusy; });
    m_owner.m_loginBusy = true;
}

CSyncCenter::LoginTurn::~LoginTurn() {
    {
        std::lock_guard<std::mutex> lock(m_owner.m_loginLock);
        m_owner.m_loginBusy = false;
    }
    m_owner.m_loginIdle.notify_one();
}

HRESULT CSyncCenter::Init(const std::wstring& dataDir, IShellAdapter* bridge) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::Init()", &hr, L"DataDir = %s", dataDir);
    {
        std::lock_guard<std::mutex> guard(m_componentLock);
        m_bridge = bridge;
    }
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        m_dataDir = dataDir;
    }
    hr = CreateFolderTree(dataDir);
    return hr;
}

HRESULT CSyncCenter::UnInit() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::UnInit()", &hr, L"");
    hr = _UnInitUserEnv();
    return hr;
}

HRESULT CSyncCenter::BindWithLogin(const std::wstring& userName, const std::wstring& password,
                                   int loginMode) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::BindWithLogin", &hr, L"UserName = %s, szPassword = %s", userName,
                       L"-password-");
    LogWrite(kLogInfo, __FILE__, __LINE__, L"CSyncCenter::BindWithLogin UserName = %s, szPassword = %s",
             userName, L"-password-");
    if (userName.empty() || password.empty() || !FolderExists(_DataDir())) {
        hr = E_FAIL;
        return hr;
    }
    RegWriteDword(L"", L"LoginMode", static_cast<DWORD>(loginMode));
    hr = _LoginAndStart(userName, password, L"");
    return hr;
}

HRESULT CSyncCenter::TryLogin(int /*unused*/) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::TryLogin", &hr, L"");
    std::wstring userId, userName, token, syncRoot;
    RegReadString(userId, L"", L"UserId", L"");
    // A stored id that could not name a folder never came from a log-in of ours.
    if (!userId.empty() && !IsSafeLocalName(userId)) {
        hr = E_FAIL;
        return hr;
    }
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        m_userId = userId;
    }
    RegReadString(userName, userId, L"UserName", L"");
    RegReadString(token, userId, kTokenValueName, L"");
    RegReadString(syncRoot, userId, L"SyncRoot", L"");
    if (userName.empty() || token.empty() || !FolderExists(_DataDir()) || !FolderExists(syncRoot)) {
        hr = E_FAIL;
        return hr;
    }
    hr = _LoginAndStart(userName, L"", token);
    return hr;
}

HRESULT CSyncCenter::_LoginAndStart(const std::wstring& userName, const std::wstring& password,
                                    const std::wstring& token) {
    FireEvent(kSyncStatusLoggingIn, nullptr, false);
    HRESULT hr = _Login(userName, password, token);
    if (hr == E_RESULT_CLIENT_NO_LOGIN || hr == E_RESULT_CLIENT_TOKEN_EXPIRED)
        ClearUser(false);
    if (hr != S_OK) {
        LogWrite(kLogWarning, __FILE__, __LINE__, L"CSyncCenter: log-in failed, hr = 0x%08X",
                 static_cast<uint32_t>(hr));
        FireEvent(kSyncStatusLoggedOut, nullptr, false);
    }
    if (SUCCEEDED(hr))
        hr = Start();
    return hr;
}

HRESULT CSyncCenter::_Login(const std::wstring& userName, const std::wstring& password,
                            const std::wstring& token) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_Login()", &hr, L"");
    LoginTurn turn(*this);
    if (m_loggedIn)
        return hr;
    // What a failed log-out left behind must come down before anything new is made.
    if (_Snapshot().Any()) {
        hr = _TearDownComponents();
        if (FAILED(hr))
            return hr;
    }
    hr = _LoginToServer(userName, password, token);
    if (hr != S_OK)
        return hr;
    m_loggedIn = true;
    hr = _InitUserEnv();
    if (FAILED(hr)) {
        // A half-built environment must not be started or left running: the
        // next log-in starts from nothing and asks the service again.
        _TearDownComponents();
        CloseUserDatabase();
        m_loggedIn = false;
    }
    return hr;
}

HRESULT CSyncCenter::_LoginToServer(const std::wstring& userName, const std::wstring& password,
                                    const std::wstring& token) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::_LoginToServer()", &hr, L"");
    const std::wstring deviceId = MakeDeviceId();
    if (deviceId.empty()) {
        hr = E_FAIL;
        return hr;
    }
    std::wstring version;
    GetVersionString(version);
    CComPtr<IRemoteStorage> remote;
    hr = m_makers.remoteStorage ? m_makers.remoteStorage(&remote) : E_NOTIMPL;
    if (FAILED(hr))
        return hr;
    if (!remote) {
        hr = E_FAIL;
        return hr;
    }
    XmlNode reply;
    if (!token.empty()) {
        TaskData_ReLogin* record = MakeReLoginTask(token, deviceId);
        if (!record)
            return hr = E_FAIL;
        hr = remote->ReLogin(record, nullptr, nullptr, &reply);
        record->Release();
    } else {
        TaskData_Login* record = MakeLoginTask(userName, password, deviceId, L"pellux", version);
        if (!record)
            return hr = E_FAIL;
        hr = remote->Login(record, nullptr, nullptr, &reply);
        record->Release();
    }
    if (hr != S_OK)
        return hr;
    hr = _StoreLoginReply(reply);
    return hr;
}

HRESULT CSyncCenter::_StoreLoginReply(const XmlNode& reply) {
    const std::wstring userId = reply.GetValue(L"userId");
    // The id names the user's folder and registry key: it must be one plain
    // path element, or a hostile reply could reach outside the data folder.
    if (!IsSafeLocalName(userId) || userId.find(L'\\') != std::wstring::npos) {
        LogWrite(kLogError, __FILE__, __LINE__, L"CSyncCenter: the log-in reply's user id is unusable");
        return E_FAIL;
    }
    HRESULT hr = _PrepareUserEnv(userId);
    if (FAILED(hr))
        return hr;
    hr = RegWriteString(userId, L"NickName", reply.GetValue(L"nickName"));
    if (SUCCEEDED(hr))
        hr = RegWriteString(userId, L"UserName", reply.GetValue(L"email"));
    if (SUCCEEDED(hr))
        hr = RegWriteString(userId, kTokenValueName, reply.GetValue(L"token"));
    if (FAILED(hr)) {
        // Without the stored token the session cannot be used or resumed.
        LogWrite(kLogError, __FILE__, __LINE__, L"CSyncCenter: the session could not be stored");
        CloseUserDatabase();
        return hr;
    }
    return S_OK;
}

HRESULT CSyncCenter::UnBind() {
    HRESULT hr = S_OK;
    std::wstring userName;
    GetUserValue(&userName, L"UserName", L"");
    PELLUX_TRACE_SCOPE(L"CSyncCenter::UnBind()", &hr, L"Current UserName = %s, UserId = %s", userName,
                       _UserId());
    hr = Stop();
    if (SUCCEEDED(hr))
        hr = _Logout();
    return hr;
}

HRESULT CSyncCenter::Start() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::Start()", &hr, L"");
    Components components = _Snapshot();
    if (!components.taskMgr || !components.eventCenter) {
        hr = E_FAIL;
        return hr;
    }
    hr = components.taskMgr->Start();
    if (SUCCEEDED(hr))
        hr = components.eventCenter->Start();
    return hr;
}

HRESULT CSyncCenter::Stop() {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CSyncCenter::Stop()", &hr, L"");
    Components components = _Snapshot();
    if (components.eventCenter)
        hr = components.eventCenter->Stop();
    if (components.taskMgr)
        hr = components.taskMgr->Stop(-1);
    return hr;
}

HRESULT CSyncCenter::GetInterface(const IID& iid, void** out) {
    if (!out)
        return E_POINTER;
    IUnknown* found = nullptr;
    void* itf = nullptr;
    auto pick = [&](auto* component) {
        found = component;
        itf = component;
    };
    {
        std::lock_guard<std::mutex> guard(m_componentLock);
        if (iid == IEventCenter::Iid() && m_components.eventCenter)
            pick(m_components.eventCenter.get());
        else if (iid == IFileSystem::Iid() && m_components.fileSystem)
            pick(m_components.fileSystem.get());
        else if (iid == ILocalStorage::Iid() && m_components.localStorage)
            pick(m_components.localStorage.get());
        else if (iid == IRemoteStorage::Iid() && m_components.remoteStorage)
            pick(m_components.remoteStorage.get());
        else if (iid == ITaskMgr::Iid() && m_components.taskMgr)
            pick(m_components.taskMgr.get());
        else if (iid == IShellAdapter::Iid() && m_bridge)
            pick(m_bridge.get());
        if (found)
            found->AddRef();
    }
    if (!found)
        return E_FAIL;
    *out = itf;
    return S_OK;
}

CSyncCenter::Components CSyncCenter::_Snapshot() {
    std::lock_guard<std::mutex> guard(m_componentLock);
    return m_components;
}

std::wstring CSyncCenter::_UserId() const {
    std::lock_guard<std::mutex> guard(m_sessionLock);
    return m_userId;
}

std::wstring CSyncCenter::_DataDir() const {
    std::lock_guard<std::mutex> guard(m_sessionLock);
    return m_dataDir;
}

std::wstring CSyncCenter::_UserDataDir() const {
    std::lock_guard<std::mutex> guard(m_sessionLock);
    return m_userDataDir;
}
