#pragma once
// Small stand-ins for the task manager's neighbours: a sync center that hands
// out a token and storage objects and records posted statuses, and a local
// storage that does nothing.
#include <mutex>
#include <string>
#include <vector>

#include "core/coreapp/isynccenter.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"

namespace pellux_test {

class FakeSyncCenter : public CUnknownImpl<ISyncCenter> {
public:
    std::wstring token = L"fake-token";
    CComPtr<ILocalStorage> local;
    CComPtr<IRemoteStorage> remote;

    std::vector<SyncStatusRecord> Posted() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_posted;
    }

    HRESULT Init(const std::wstring&, IShellAdapter*) override { return E_NOTIMPL; }
    HRESULT UnInit() override { return E_NOTIMPL; }
    HRESULT GetUserValue(std::wstring*, const std::wstring&, const std::wstring&) override {
        return E_NOTIMPL;
    }
    HRESULT SetUserValue(const std::wstring&, const std::wstring&) override { return E_NOTIMPL; }
    HRESULT BindWithLogin(const std::wstring&, const std::wstring&, int) override { return E_NOTIMPL; }
    HRESULT UnBind() override { return E_NOTIMPL; }
    HRESULT TryLogin(int) override { return E_NOTIMPL; }
    HRESULT GetStatus(SyncStatusRecord*) override { return E_NOTIMPL; }
    HRESULT PostStatus(const SyncStatusRecord& record, bool) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_posted.push_back(record);
        return S_OK;
    }
    HRESULT FireEvent(uint32_t, const XmlNode*, bool) override { return E_NOTIMPL; }
    HRESULT SetOverrideStatus(const SyncStatusRecord&) override { return E_NOTIMPL; }
    HRESULT ClearOverrideStatus() override { return E_NOTIMPL; }
    HRESULT Start() override { return E_NOTIMPL; }
    HRESULT Stop() override { return E_NOTIMPL; }
    HRESULT GetSyncRoot(std::wstring*) override { return E_NOTIMPL; }
    HRESULT GetLoginInfo(std::wstring*, std::wstring* tokenOut, std::wstring*, std::wstring*) override {
        if (tokenOut)
            *tokenOut = token;
        return S_OK;
    }
    HRESULT GetInterface(const IID& iid, void** out) override {
        IUnknown* held = nullptr;
        if (iid == ILocalStorage::Iid())
            held = local.get();
        else if (iid == IRemoteStorage::Iid())
            held = remote.get();
        if (!held) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return held->QueryInterface(iid, out);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<SyncStatusRecord> m_posted;
};

class NullLocalStorage : public CUnknownImpl<ILocalStorage> {
public:
    HRESULT Init(const std::wstring&, const std::wstring&) override { return E_NOTIMPL; }
    HRESULT UnInit() override { return E_NOTIMPL; }
    HRESULT Lock() override { return E_NOTIMPL; }
    HRESULT Unlock() override { return E_NOTIMPL; }
    HRESULT ClearLastSnapshot() override { return E_NOTIMPL; }
    HRESULT FolderNeedUpdate(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT GetLastSyncSnapshot(const std::wstring&, std::vector<RemoteItem>*) override { return E_NOTIMPL; }
    HRESULT GetItemInfo(const std::wstring&, RemoteItem*) override { return E_NOTIMPL; }
    HRESULT GetItemShareRight(const std::wstring&, std::vector<SharerInfo>*) override { return E_NOTIMPL; }
    HRESULT AddOrUpdateFileItem(const RemoteItem&) override { return E_NOTIMPL; }
    HRESULT UpdateFileVersion(const std::wstring&, int64_t, int64_t, const std::wstring&) override {
        return E_NOTIMPL;
    }
    HRESULT DeleteStaleChildren(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT UpdateFolderCacheVesion(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT SetCurCacheVesion(int64_t) override { return E_NOTIMPL; }
    int64_t GetCurCacheVesion(int64_t def) override { return def; }
    HRESULT SetCurShareCacheVesion(int64_t) override { return E_NOTIMPL; }
    int64_t GetCurShareCacheVesion(int64_t def) override { return def; }
    HRESULT GetFileInfoByPath(const std::wstring&, std::wstring*, bool) override { return E_NOTIMPL; }
    HRESULT GetFileSizeByPath(const std::wstring&, int64_t*, bool) override { return E_NOTIMPL; }
    HRESULT GetFileTimeByPath(const std::wstring&, std::wstring*, std::wstring*, bool) override {
        return E_NOTIMPL;
    }
    HRESULT EncodeFile(const std::wstring&, const std::wstring&, const std::wstring&,
                       const std::wstring&) override {
        return E_NOTIMPL;
    }
    HRESULT DecodeFile(const std::wstring&, const std::wstring&, const std::wstring&) override {
        return E_NOTIMPL;
    }
    HRESULT GetTempFilePath(std::wstring*) override { return E_NOTIMPL; }
    HRESULT CopyFileToTempPathByFullPath(const std::wstring&, std::wstring*, bool) override {
        return E_NOTIMPL;
    }
    HRESULT MoveTempFileToSyncSpace(const std::wstring&, const std::wstring&, const std::wstring&,
                                    const std::wstring&) override {
        return E_NOTIMPL;
    }
    std::wstring GetFullPath(std::wstring* out, const std::wstring& relativePath) override {
        if (out)
            *out = relativePath;
        return relativePath;
    }
    HRESULT LocalFullTextSearch(const std::wstring&, std::vector<RemoteItem>*) override { return E_NOTIMPL; }
};

}  // namespace pellux_test
