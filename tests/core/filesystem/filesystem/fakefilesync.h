#pragma once
// An open-for-edit manager that records the transfers the facade hands it
// and answers each with a result the test chooses.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/filesystem/filesystem/filesyncops.h"

namespace pellux_test {

class FakeFileSync final : public FileSyncOps {
public:
    struct Transfer {
        std::wstring fileId;
        std::wstring parentId;
        std::wstring remotePath;
        std::wstring localPath;
    };

    HRESULT Init(ISyncCenter*, ILocalStorage*, IRemoteStorage*, ITaskMgr*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT OpenFile(const std::wstring&, const std::wstring&, const std::wstring&) override { return S_OK; }
    HRESULT Download(const std::wstring&, const std::wstring&, const std::wstring&) override {
        ++downloads;
        return S_OK;
    }
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int,
                   const std::wstring& remotePath, const std::wstring& localPath) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_uploads.push_back({fileId, parentId, remotePath, localPath});
        return uploadResult ? uploadResult(remotePath) : S_OK;
    }
    HRESULT RetryTask(const std::wstring&) override { return S_OK; }
    HRESULT GetOpenFileList(std::vector<TaskInfo>*) override { return S_OK; }
    HRESULT RemoveOpenFile(const std::wstring&) override { return S_OK; }
    HRESULT GetOpenFileInfo(const std::wstring&, std::wstring*, std::wstring*, int*) override {
        return E_FAIL;
    }
    HRESULT UploadOpenFileNow(const std::wstring&) override { return E_FAIL; }

    std::vector<Transfer> Uploads() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_uploads;
    }

    // By remote path; S_OK when unset. Set before the facade is used.
    std::function<HRESULT(const std::wstring&)> uploadResult;
    std::atomic<int> downloads{0};

private:
    mutable std::mutex m_mutex;
    std::vector<Transfer> m_uploads;
};

}  // namespace pellux_test
