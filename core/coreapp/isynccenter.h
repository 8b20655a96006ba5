#pragma once
// The core's application object: log-in, the per-user environment and its
// components, status records and per-user values.
#include <string>

#include "core/coreapp/syncstatusrecord.h"
#include "platform/unknown.h"

class XmlNode;
struct IShellAdapter;

struct ISyncCenter : IUnknown {
    PELLUX_INTERFACE_ID(0xD039AADC, 0x11E3, 0x4D6B, 0x84, 0x0B, 0xA4, 0x1F, 0xD7, 0xB1, 0x11, 0x59)

    virtual HRESULT Init(const std::wstring& dataDir, IShellAdapter* bridge) = 0;
    virtual HRESULT UnInit() = 0;
    virtual HRESULT GetUserValue(std::wstring* out, const std::wstring& name, const std::wstring& def) = 0;
    virtual HRESULT SetUserValue(const std::wstring& name, const std::wstring& text) = 0;
    // loginMode: 1 keep local data, 2 delete local data at log-out.
    virtual HRESULT BindWithLogin(const std::wstring& userName, const std::wstring& password,
                                  int loginMode) = 0;
    virtual HRESULT UnBind() = 0;
    virtual HRESULT TryLogin(int unused) = 0;
    virtual HRESULT GetStatus(SyncStatusRecord* out) = 0;
    virtual HRESULT PostStatus(const SyncStatusRecord& record, bool queued) = 0;
    virtual HRESULT FireEvent(uint32_t type, const XmlNode* tree, bool queued) = 0;
    virtual HRESULT SetOverrideStatus(const SyncStatusRecord& record) = 0;
    virtual HRESULT ClearOverrideStatus() = 0;
    virtual HRESULT Start() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetSyncRoot(std::wstring* out) = 0;
    // S_FALSE and nothing written while nobody is logged in; each pointer may be null.
    virtual HRESULT GetLoginInfo(std::wstring* userName, std::wstring* token, std::wstring* userId,
                                 std::wstring* nickName) = 0;
    // Hands out a held component (IEventCenter, IFileSystem, ILocalStorage,
    // IRemoteStorage, ITaskMgr, IShellAdapter) with a reference added.
    virtual HRESULT GetInterface(const IID& iid, void** out) = 0;
};
