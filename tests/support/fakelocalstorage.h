#pragma once
// The cache half of the local storage in memory, with the real one's
// freshness rules (folder stamps against the current cache version) and its
// row checks; the file half is not there. Thread-safe.
#include <mutex>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/ilocalstorage.h"

namespace pellux_test {

class FakeLocalStorage final : public CUnknownImpl<ILocalStorage> {
public:
    struct Row {
        RemoteItem item;
        int64_t itemVersion = 0;
        int64_t cacheVersion = -1;  // -1: never listed
    };

    static CComPtr<FakeLocalStorage> Make() { return CComPtr<FakeLocalStorage>(new FakeLocalStorage()); }

    std::vector<Row> Rows() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_rows;
    }
    void AddRow(const RemoteItem& item, int64_t cacheVersion = -1) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rows.push_back({item, m_cacheVersion, cacheVersion});
    }
    void SetRootStamp(int64_t version) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rootStamp = version;
    }

    HRESULT Init(const std::wstring&, const std::wstring&) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT Lock() override { return S_OK; }
    HRESULT Unlock() override { return S_OK; }
    HRESULT ClearLastSnapshot() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rows.clear();
        return S_OK;
    }
    HRESULT FolderNeedUpdate(const std::wstring& id) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (id.empty())
            return m_cacheVersion > m_rootStamp ? S_FALSE : S_OK;
        for (const Row& row : m_rows) {
            if (row.item.fileId == id && row.item.isFolder == 1)
                return m_cacheVersion > row.cacheVersion ? S_FALSE : S_OK;
        }
        return S_FALSE;
    }
    HRESULT GetLastSyncSnapshot(const std::wstring& id, std::vector<RemoteItem>* out) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Row& row : m_rows) {
            if (row.item.parentId != id)
                continue;
            if ((row.item.isFolder == 0 && row.item.sha1.empty()) || row.item.fileId.empty())
                return E_FAIL;
            out->push_back(row.item);
        }
        return S_OK;
    }
    HRESULT GetItemInfo(const std::wstring& id, RemoteItem* out) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Row& row : m_rows) {
            if (row.item.fileId == id) {
                *out = row.item;
                return S_OK;
            }
        }
        return E_FAIL;
    }
    HRESULT GetItemShareRight(const std::wstring&, std::vector<SharerInfo>*) override { return E_FAIL; }
    HRESULT AddOrUpdateFileItem(const RemoteItem& item) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (Row& row : m_rows) {
            if (row.item.fileId == item.fileId && (row.item.isFolder != 0) == (item.isFolder != 0)) {
                row.item = item;
                row.itemVersion = m_cacheVersion;
                return S_OK;
            }
        }
        m_rows.push_back({item, m_cacheVersion, -1});
        return S_OK;
    }
    HRESULT UpdateFileVersion(const std::wstring&, int64_t, int64_t, const std::wstring&) override {
        return S_OK;
    }
    HRESULT DeleteStaleChildren(const std::wstring& parentId) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<Row> kept;
        for (const Row& row : m_rows) {
            if (!(row.item.parentId == parentId && row.itemVersion < m_cacheVersion))
                kept.push_back(row);
        }
        m_rows.swap(kept);
        return S_OK;
    }
    HRESULT UpdateFolderCacheVesion(const std::wstring& id) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (id.empty()) {
            m_rootStamp = m_cacheVersion;
            return S_OK;
        }
        for (Row& row : m_rows) {
            if (row.item.fileId == id && row.item.isFolder == 1)
                row.cacheVersion = m_cacheVersion;
        }
        return S_OK;
    }
    HRESULT SetCurCacheVesion(int64_t version) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cacheVersion = version;
        return S_OK;
    }
    int64_t GetCurCacheVesion(int64_t) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cacheVersion;
    }
    HRESULT SetCurShareCacheVesion(int64_t version) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shareVersion = version;
        return S_OK;
    }
    int64_t GetCurShareCacheVesion(int64_t) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shareVersion;
    }
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
    HRESULT LocalFullTextSearch(const std::wstring& searchText, std::vector<RemoteItem>* out) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Row& row : m_rows) {
            if (row.item.name.find(searchText) != std::wstring::npos)
                out->push_back(row.item);
        }
        return S_OK;
    }

private:
    FakeLocalStorage() = default;

    mutable std::mutex m_mutex;
    std::vector<Row> m_rows;
    int64_t m_cacheVersion = 0;
    int64_t m_shareVersion = 0;
    int64_t m_rootStamp = 0;
};

}  // namespace pellux_test
