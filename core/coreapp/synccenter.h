#pragma once
// The core's application object: logs the user in (typed credentials or the
// stored token), prepares the per-user folder, database and local root, makes
// and owns the five per-user components, hands them out by interface id,
// starts, stops and tears them down, and keeps the status and user values.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "core/coreapp/componentmakers.h"
#include "core/coreapp/ishelladapter.h"
#include "core/coreapp/isynccenter.h"
#include "core/coreapp/syncstatusblock.h"
#include "core/eventcenter/ieventcenter.h"
#include "core/filesystem/filesystem/ifilesystem.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/itaskmgr.h"

class XmlNode;

// The per-user registry value that holds the session token.
extern const wchar_t kTokenValueName[];

class CSyncCenter final : public CUnknownImpl<ISyncCenter> {
public:
    HRESULT Init(const std::wstring& dataDir, IShellAdapter* bridge) override;
    HRESULT UnInit() override;
    HRESULT GetUserValue(std::wstring* out, const std::wstring& name, const std::wstring& def) override;
    HRESULT SetUserValue(const std::wstring& name, const std::wstring& text) override;
    HRESULT BindWithLogin(const std::wstring& userName, const std::wstring& password, int loginMode) override;
    HRESULT UnBind() override;
    HRESULT TryLogin(int unused) override;
    HRESULT GetStatus(SyncStatusRecord* out) override;
    HRESULT PostStatus(const SyncStatusRecord& record, bool queued) override;
    HRESULT FireEvent(uint32_t type, const XmlNode* tree, bool queued) override;
    HRESULT SetOverrideStatus(const SyncStatusRecord& record) override;
    HRESULT ClearOverrideStatus() override;
    HRESULT Start() override;
    HRESULT Stop() override;
    HRESULT GetSyncRoot(std::wstring* out) override;
    HRESULT GetLoginInfo(std::wstring* userName, std::wstring* token, std::wstring* userId,
                         std::wstring* nickName) override;
    HRESULT GetInterface(const IID& iid, void** out) override;

private:
    friend HRESULT CreateSyncCenter(const CoreComponentMakers& makers, ISyncCenter** out);
    explicit CSyncCenter(const CoreComponentMakers& makers) : m_makers(makers) {}
    ~CSyncCenter() override = default;

    struct Components {
        CComPtr<IEventCenter> eventCenter;
        CComPtr<ILocalStorage> localStorage;
        CComPtr<IRemoteStorage> remoteStorage;
        CComPtr<ITaskMgr> taskMgr;
        CComPtr<IFileSystem> fileSystem;
        bool Any() const { return eventCenter || localStorage || remoteStorage || taskMgr || fileSystem; }
    };
    // Log-in and log-out run one at a time; a second caller waits for its turn
    // without any lock held across the first one's network and thread work.
    class LoginTurn {
    public:
        explicit LoginTurn(CSyncCenter& owner);
        ~LoginTurn();

    private:
        CSyncCenter& m_owner;
    };

    // Steps 3 to 8 of a log-in, shared by both log-in roads.
    HRESULT _LoginAndStart(const std::wstring& userName, const std::wstring& password,
                           const std::wstring& token);
    HRESULT _Login(const std::wstring& userName, const std::wstring& password, const std::wstring& token);
    HRESULT _Logout();
    HRESULT _LoginToServer(const std::wstring& userName, const std::wstring& password,
                           const std::wstring& token);
    HRESULT _StoreLoginReply(const XmlNode& reply);
    HRESULT _PrepareUserEnv(const std::wstring& userId);
    HRESULT _InitUserEnv();
    // The components' teardown in the order file system, event center, task
    // manager, local storage, remote storage; a component that fails to come
    // down stays held, and so do the ones after it.
    HRESULT _TearDownComponents();
    HRESULT _UnInitUserEnv();
    void ClearUser(bool deleteFiles);
    void _DeleteUserData(const std::wstring& userDataDir, const std::wstring& syncRoot);

    Components _Snapshot();
    // Takes the component out of its slot under the lock; the caller releases it.
    template <class T>
    CComPtr<T> _Take(CComPtr<T> Components::*slot);
    std::wstring _UserId() const;
    std::wstring _DataDir() const;
    std::wstring _UserDataDir() const;

    CSyncStatusBlock m_status;
    const CoreComponentMakers m_makers;

    // Guards the component references and the bridge; never held while a
    // component is called.
    std::mutex m_componentLock;
    Components m_components;
    CComPtr<IShellAdapter> m_bridge;

    // Set before the components are made (they ask for the log-in at Init).
    std::atomic<bool> m_loggedIn{false};
    std::mutex m_loginLock;
    std::condition_variable m_loginIdle;
    // A log-in or log-out is running.
    bool m_loginBusy = false;

    // Guards the session values, which worker threads read through copies.
    mutable std::mutex m_sessionLock;
    std::wstring m_userId;
    std::wstring m_dataDir;
    // m_dataDir joined with m_userId.
    std::wstring m_userDataDir;
};

// Makes a sync center with the process-wide makers (or the given ones); the
// out pointer receives one reference.
HRESULT CreateSyncCenter(ISyncCenter** out);
HRESULT CreateSyncCenter(const CoreComponentMakers& makers, ISyncCenter** out);
