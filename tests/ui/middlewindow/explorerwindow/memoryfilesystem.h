#pragma once
// A remote space held in memory behind the core-access object: folders by
// parent id, the two shared views, the recycle bin in scripted pages, search
// hits; the task lists are the recording fake's. Every call is logged with
// its main argument; a result can be scripted per operation. Jobs call it
// from the waiting dialog's worker, so it locks.
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/filesystem/filesystem/ifilesystem.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"
#include "tests/support/fakecomponents.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace pellux_test {

inline RemoteItem Item(int kind, const std::wstring& name, const std::wstring& id,
                       const std::wstring& parentId, int64_t size = 0) {
    RemoteItem item;
    item.isFolder = kind;
    item.name = name;
    item.fileId = id;
    item.parentId = parentId;
    item.size = size;
    item.modTime = L"2026-01-02 03:04:05";
    return item;
}

class MemoryFileSystem final : public FakeFileSystem {
public:
    explicit MemoryFileSystem(FakeLog& log) : FakeFileSystem(log, "files") {}
    std::map<std::wstring, std::vector<RemoteItem>> folders;  // by parent id, "" the root
    std::map<std::wstring, std::vector<RemoteItem>> shareToMe;
    std::map<std::wstring, std::vector<RemoteItem>> shareToOther;
    // Handed out in order by GetRecycle.
    void SetRecyclePages(std::vector<std::vector<RemoteItem>> pages) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_pages = std::move(pages);
        m_page = 0;
    }
    std::vector<RemoteItem> searchHits;
    std::map<std::string, HRESULT> results;  // scripted result per operation

    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_calls;
    }
    void ClearCalls() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.clear();
    }

    HRESULT GetMaxVer(std::wstring* opVer) override {
        *opVer = L"5000000000";
        return Log("GetMaxVer", L"");
    }
    HRESULT GetSpaceInfo(int64_t* used, int64_t* total, bool) override {
        *used = 1 << 20;
        *total = int64_t(1) << 32;
        return Log("GetSpaceInfo", L"");
    }
    HRESULT Dir(const std::wstring& parentId, std::vector<RemoteItem>* out, bool) override {
        return List("Dir", folders, parentId, out);
    }
    HRESULT NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                      std::wstring* newId) override {
        HRESULT hr = Log("NewFolder", fullPath);
        if (hr == S_OK) {
            std::lock_guard<std::mutex> guard(m_lock);
            *newId = L"new" + std::to_wstring(++m_next);
        }
        return hr;
    }
    HRESULT Rename(bool, const std::wstring& fileId, const std::wstring& newName) override {
        return Log("Rename", fileId + L"=" + newName);
    }
    HRESULT Move(bool, const std::wstring& fileId, const std::wstring& newParentId) override {
        return Log("Move", fileId + L">" + newParentId);
    }
    HRESULT Delete(bool, const std::wstring& fileId) override { return Log("Delete", fileId); }
    HRESULT OpenFile(const std::wstring& fileId, const std::wstring&, const std::wstring&) override {
        return Log("OpenFile", fileId);
    }
    HRESULT Download(const std::wstring& fileId, const std::wstring&, const std::wstring&,
                     const std::wstring& localPath) override {
        return Log("Download", fileId + L">" + localPath);
    }
    HRESULT Upload(const std::wstring&, const std::wstring& parentId, int, const std::wstring& remotePath,
                   const std::wstring& localPath) override {
        return Log("Upload", remotePath);
    }
    HRESULT DownloadFolder(const std::wstring& folderId, const std::wstring&, const std::wstring&,
                           const std::wstring& localFolder) override {
        return Log("DownloadFolder", folderId + L">" + localFolder);
    }
    HRESULT UploadFolder(const std::wstring&, int, const std::wstring& remotePath, const std::wstring&,
                         const std::atomic<int32_t>*) override {
        return Log("UploadFolder", remotePath);
    }
    // Writes the preview bytes when set (any thread); its result is the call's.
    std::function<HRESULT(const std::wstring& path)> writePreview;
    HRESULT GetThumbnail(const std::wstring& fileId, const std::wstring& path, int, int) override {
        HRESULT hr = Log("GetThumbnail", fileId);
        return hr == S_OK && writePreview ? writePreview(path) : hr;
    }
    HRESULT FullTextSearch(const std::wstring& searchText, int, std::vector<RemoteItem>* out) override {
        HRESULT hr = Log("FullTextSearch", searchText);
        if (hr == S_OK)
            *out = searchHits;
        return hr;
    }
    HRESULT DirShareToOther(const std::wstring& parentId, const std::wstring&, std::vector<RemoteItem>* out,
                            bool) override {
        return List("DirShareToOther", shareToOther, parentId, out);
    }
    HRESULT DirShareToMe(const std::wstring& parentId, const std::wstring&, std::vector<RemoteItem>* out,
                         bool) override {
        return List("DirShareToMe", shareToMe, parentId, out);
    }
    HRESULT GetRecycle(const std::wstring& opVersion, int64_t, std::vector<RemoteItem>* out) override {
        HRESULT hr = Log("GetRecycle", opVersion);
        std::lock_guard<std::mutex> guard(m_lock);
        if (hr == S_OK && m_page < m_pages.size())
            *out = m_pages[m_page++];
        return hr;
    }
    HRESULT CleanRecycle(const std::wstring& fileId) override { return Log("CleanRecycle", fileId); }
    HRESULT Recover(const std::wstring& fileId, const std::wstring& parentId) override {
        return Log("Recover", fileId + L">" + parentId);
    }

private:
    HRESULT Log(const std::string& op, const std::wstring& arg) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(op + " " + WideToUtf8(arg));
        auto it = results.find(op);
        return it == results.end() ? S_OK : it->second;
    }
    HRESULT List(const std::string& op, const std::map<std::wstring, std::vector<RemoteItem>>& from,
                 const std::wstring& parentId, std::vector<RemoteItem>* out) {
        HRESULT hr = Log(op, parentId);
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = from.find(parentId);
        if (hr == S_OK && it != from.end())
            *out = it->second;
        return hr;
    }

    std::mutex m_lock;
    std::vector<std::string> m_calls;
    std::vector<std::vector<RemoteItem>> m_pages;
    size_t m_page = 0;
    int m_next = 0;
};

}  // namespace pellux_test

#pragma GCC diagnostic pop
