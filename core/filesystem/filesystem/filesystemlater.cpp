// Transfers, sharing views, the recycle bin, search and the task and
// open-file lists: not built yet.
#include "core/filesystem/filesystem/filesystem.h"

HRESULT CFileSystem::OpenFile(const std::wstring&, const std::wstring&, const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::Download(const std::wstring&, const std::wstring&, const std::wstring&,
                              const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::Upload(const std::wstring&, const std::wstring&, int, const std::wstring&,
                            const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::DownloadFolder(const std::wstring&, const std::wstring&, const std::wstring&,
                                    const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::UploadFolder(const std::wstring&, int, const std::wstring&, const std::wstring&,
                                  const std::atomic<int32_t>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetThumbnail(const std::wstring&, const std::wstring&, int, int) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::FullTextSearch(const std::wstring&, int, std::vector<RemoteItem>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::DirShareToOther(const std::wstring&, const std::wstring&, std::vector<RemoteItem>*,
                                     bool) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::DirShareToMe(const std::wstring&, const std::wstring&, std::vector<RemoteItem>*, bool) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetItemShareRight(const std::wstring&, std::vector<SharerInfo>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetRecycle(const std::wstring&, int64_t, std::vector<RemoteItem>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::CleanRecycle(const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::Recover(const std::wstring&, const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::CancelTask(const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetTaskList(bool, std::vector<TaskInfo>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::RemoveFinishedTask(const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::RetryTask(const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetOpenFileList(std::vector<TaskInfo>*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::RemoveOpenFile(const std::wstring&) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::GetOpenFileInfo(const std::wstring&, std::wstring*, std::wstring*, int*) {
    return E_NOTIMPL;
}
HRESULT CFileSystem::UploadOpenFileNow(const std::wstring&) {
    return E_NOTIMPL;
}
