// The task-list and open-file-list slots: forwarded to the task manager and
// to the open-for-edit manager.
#include "core/filesystem/filesystem/filesystem.h"

HRESULT CFileSystem::CancelTask(const std::wstring& taskId) {
    return m_taskMgr ? m_taskMgr->CancelTask(taskId) : E_FAIL;
}

HRESULT CFileSystem::GetTaskList(bool finished, std::vector<TaskInfo>* out) {
    return m_taskMgr ? m_taskMgr->GetTaskList(finished, out) : E_FAIL;
}

HRESULT CFileSystem::RemoveFinishedTask(const std::wstring& taskId) {
    return m_taskMgr ? m_taskMgr->RemoveFinishedTask(taskId) : E_FAIL;
}

HRESULT CFileSystem::RetryTask(const std::wstring& taskId) {
    return m_fileSync ? m_fileSync->RetryTask(taskId) : E_NOTIMPL;
}

HRESULT CFileSystem::GetOpenFileList(std::vector<TaskInfo>* out) {
    return m_fileSync ? m_fileSync->GetOpenFileList(out) : E_NOTIMPL;
}

HRESULT CFileSystem::RemoveOpenFile(const std::wstring& fileId) {
    return m_fileSync ? m_fileSync->RemoveOpenFile(fileId) : E_NOTIMPL;
}

HRESULT CFileSystem::GetOpenFileInfo(const std::wstring& fileId, std::wstring* localPath,
                                     std::wstring* remotePath, int* fileVersion) {
    return m_fileSync ? m_fileSync->GetOpenFileInfo(fileId, localPath, remotePath, fileVersion) : E_NOTIMPL;
}

HRESULT CFileSystem::UploadOpenFileNow(const std::wstring& fileId) {
    return m_fileSync ? m_fileSync->UploadOpenFileNow(fileId) : E_NOTIMPL;
}
