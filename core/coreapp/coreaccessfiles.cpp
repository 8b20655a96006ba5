// The file-system forwarders of the core-access object.
#include "core/coreapp/coreaccess.h"

template <class Call>
HRESULT CCoreAccess::_WithFileSystem(Call call) {
    CComPtr<IFileSystem> fileSystem = _FileSystem();
    return fileSystem ? call(*fileSystem) : E_FAIL;
}

HRESULT CCoreAccess::GetMaxVer(std::wstring* opVer) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetMaxVer(opVer); });
}

HRESULT CCoreAccess::GetSpaceInfo(int64_t* used, int64_t* total, bool forceRefresh) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetSpaceInfo(used, total, forceRefresh); });
}

HRESULT CCoreAccess::Dir(const std::wstring& parentId, const std::wstring& /*itemPath*/,
                         std::vector<RemoteItem>* out, bool forceRefresh) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.Dir(parentId, out, forceRefresh); });
}

HRESULT CCoreAccess::NewFolder(const std::wstring& parentId, const std::wstring& fullPath,
                               std::wstring* newId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.NewFolder(parentId, fullPath, newId); });
}

HRESULT CCoreAccess::Rename(bool isFolder, const std::wstring& fileId, const std::wstring& /*itemPath*/,
                            const std::wstring& newName) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.Rename(isFolder, fileId, newName); });
}

HRESULT CCoreAccess::Move(bool isFolder, const std::wstring& fileId, const std::wstring& /*itemPath*/,
                          const std::wstring& newParentId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.Move(isFolder, fileId, newParentId); });
}

HRESULT CCoreAccess::Delete(bool isFolder, const std::wstring& fileId, const std::wstring& /*itemPath*/) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.Delete(isFolder, fileId); });
}

HRESULT CCoreAccess::OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                              const std::wstring& remotePath) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.OpenFile(fileId, relFolder, remotePath); });
}

HRESULT CCoreAccess::Download(const std::wstring& fileId, const std::wstring& parentId,
                              const std::wstring& remotePath, const std::wstring& localPath) {
    return _WithFileSystem(
        [&](IFileSystem& fs) { return fs.Download(fileId, parentId, remotePath, localPath); });
}

HRESULT CCoreAccess::Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                            const std::wstring& remotePath, const std::wstring& localPath) {
    return _WithFileSystem(
        [&](IFileSystem& fs) { return fs.Upload(fileId, parentId, fileVersion, remotePath, localPath); });
}

HRESULT CCoreAccess::DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                                    const std::wstring& remotePath, const std::wstring& localFolder) {
    return _WithFileSystem(
        [&](IFileSystem& fs) { return fs.DownloadFolder(folderId, parentId, remotePath, localFolder); });
}

HRESULT CCoreAccess::UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                                  const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing) {
    return _WithFileSystem([&](IFileSystem& fs) {
        return fs.UploadFolder(parentId, passedOn, remotePath, localFolder, keepGoing);
    });
}

HRESULT CCoreAccess::GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height,
                                  int width) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetThumbnail(fileId, path, height, width); });
}

HRESULT CCoreAccess::FullTextSearch(const std::wstring& searchText, int searchType,
                                    std::vector<RemoteItem>* out) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.FullTextSearch(searchText, searchType, out); });
}

HRESULT CCoreAccess::DirShareToOther(const std::wstring& parentId, const std::wstring& fullPath,
                                     std::vector<RemoteItem>* out, bool forceRefresh) {
    return _WithFileSystem(
        [&](IFileSystem& fs) { return fs.DirShareToOther(parentId, fullPath, out, forceRefresh); });
}

HRESULT CCoreAccess::DirShareToMe(const std::wstring& parentId, const std::wstring& fullPath,
                                  std::vector<RemoteItem>* out, bool forceRefresh) {
    return _WithFileSystem(
        [&](IFileSystem& fs) { return fs.DirShareToMe(parentId, fullPath, out, forceRefresh); });
}

HRESULT CCoreAccess::GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetItemShareRight(id, out); });
}

HRESULT CCoreAccess::GetRecycle(const std::wstring& opVersion, int64_t size, std::vector<RemoteItem>* out) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetRecycle(opVersion, size, out); });
}

HRESULT CCoreAccess::CleanRecycle(const std::wstring& fileId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.CleanRecycle(fileId); });
}

HRESULT CCoreAccess::Recover(const std::wstring& fileId, const std::wstring& parentId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.Recover(fileId, parentId); });
}

HRESULT CCoreAccess::CancelAllTasks(const std::wstring& taskId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.CancelTask(taskId); });
}

HRESULT CCoreAccess::GetTaskList(bool finished, std::vector<TaskInfo>* out) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetTaskList(finished, out); });
}

HRESULT CCoreAccess::ClearTaskList(const std::wstring& taskId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.RemoveFinishedTask(taskId); });
}

HRESULT CCoreAccess::RetryTask(const std::wstring& taskId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.RetryTask(taskId); });
}

HRESULT CCoreAccess::GetOpenFileList(std::vector<TaskInfo>* out) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.GetOpenFileList(out); });
}

HRESULT CCoreAccess::RemoveOpenFile(const std::wstring& fileId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.RemoveOpenFile(fileId); });
}

HRESULT CCoreAccess::UploadOpenFileNow(const std::wstring& fileId) {
    return _WithFileSystem([&](IFileSystem& fs) { return fs.UploadOpenFileNow(fileId); });
}
