#pragma once
// A sync center that only hands out what a test gave it: the log-in facts and
// the components (found through QueryInterface on each), and the statuses
// posted to it.
#include <mutex>
#include <string>
#include <vector>

#include "core/coreapp/isynccenter.h"

namespace pellux_test {

class FakeSyncCenter final : public CUnknownImpl<ISyncCenter> {
public:
    static CComPtr<FakeSyncCenter> Make() { return CComPtr<FakeSyncCenter>(new FakeSyncCenter()); }

    void AddComponent(IUnknown* component) { m_components.emplace_back(component); }

    HRESULT Init(const std::wstring&, IShellAdapter*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT GetUserValue(std::wstring* out, const std::wstring&, const std::wstring& def) override {
        if (out)
            *out = def;
        return S_OK;
    }
    HRESULT SetUserValue(const std::wstring&, const std::wstring&) override { return S_OK; }
    HRESULT BindWithLogin(const std::wstring&, const std::wstring&, int) override { return E_NOTIMPL; }
    HRESULT UnBind() override { return E_NOTIMPL; }
    HRESULT TryLogin(int) override { return E_NOTIMPL; }
    HRESULT GetStatus(SyncStatusRecord*) override { return E_NOTIMPL; }
    HRESULT PostStatus(const SyncStatusRecord& record, bool) override {
        std::lock_guard<std::mutex> lock(m_postedLock);
        m_posted.push_back(record);
        return S_OK;
    }
    std::vector<SyncStatusRecord> Posted() const {
        std::lock_guard<std::mutex> lock(m_postedLock);
        return m_posted;
    }
    HRESULT FireEvent(uint32_t, const XmlNode*, bool) override { return S_OK; }
    HRESULT SetOverrideStatus(const SyncStatusRecord&) override { return S_OK; }
    HRESULT ClearOverrideStatus() override { return S_OK; }
    HRESULT Start() override { return S_OK; }
    HRESULT Stop() override { return S_OK; }
    HRESULT GetSyncRoot(std::wstring* out) override {
        if (out)
            *out = syncRoot;
        return S_OK;
    }
    HRESULT GetLoginInfo(std::wstring* userName, std::wstring* tokenOut, std::wstring* userIdOut,
                         std::wstring* nickName) override {
        if (userName)
            *userName = L"demo";
        if (tokenOut)
            *tokenOut = token;
        if (userIdOut)
            *userIdOut = userId;
        if (nickName)
            *nickName = L"demo";
        return S_OK;
    }
    HRESULT GetInterface(const IID& iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        for (const CComPtr<IUnknown>& component : m_components) {
            if (SUCCEEDED(component->QueryInterface(iid, out)))
                return S_OK;
        }
        return E_NOINTERFACE;
    }

    std::wstring token, userId, syncRoot;

private:
    FakeSyncCenter() = default;
    std::vector<CComPtr<IUnknown>> m_components;
    mutable std::mutex m_postedLock;
    std::vector<SyncStatusRecord> m_posted;
};

}  // namespace pellux_test
