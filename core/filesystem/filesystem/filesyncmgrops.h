#pragma once
// The open-for-edit manager as the facade sees it.
#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/filesystem/filesystem/filesyncops.h"

class CFileSyncMgrOps final : public FileSyncOps {
public:
    // For the program's set-up before the facade's Init (opener, marker monitor).
    CFileSyncMgr& Manager() { return m_manager; }

    HRESULT Init(ISyncCenter* syncCenter, ILocalStorage* local, IRemoteStorage* remote,
                 ITaskMgr* taskMgr) override {
        return m_manager.Init(syncCenter, local, remote, taskMgr);
    }
    HRESULT UnInit() override { return m_manager.UnInit(); }
    HRESULT OpenFile(const std::wstring& fileId, const std::wstring& remotePath,
                     const std::wstring& localPath) override {
        return m_manager.OpenFile(fileId, remotePath, localPath);
    }
    HRESULT Download(const std::wstring& fileId, const std::wstring& remotePath,
                     const std::wstring& localPath) override {
        return m_manager.Download(fileId, remotePath, localPath);
    }
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& remotePath, const std::wstring& localPath) override {
        return m_manager.Upload(fileId, parentId, fileVersion, remotePath, localPath);
    }
    HRESULT RetryTask(const std::wstring& key) override { return m_manager.RetryTask(key); }
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override { return m_manager.GetOpenFileList(out); }
    HRESULT RemoveOpenFile(const std::wstring& fileId) override { return m_manager.RemoveOpenFile(fileId); }
    HRESULT GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath, std::wstring* remotePath,
                            int* fileVersion) override {
        return m_manager.GetOpenFileInfo(fileId, localPath, remotePath, fileVersion);
    }
    HRESULT UploadOpenFileNow(const std::wstring& fileId) override {
        return m_manager.UploadOpenFileNow(fileId);
    }

private:
    CFileSyncMgr m_manager;
};
