// The facade's transfers: single files go to the open-for-edit manager after
// the facade's own checks and prompts; folder trees are walked here.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/log/logfile.h"
#include "base/log/tracestack.h"
#include "base/utility/fileutil.h"
#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/filesystem/facaderecord.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"

namespace {

// The service refuses bigger uploads; telling the user before the transfer
// saves a long wait for a refusal.
constexpr uint64_t kMaxUploadBytes = 0x12C00000;  // 300 MiB
// The over-size notice is shown once per process.
std::atomic<bool> g_overSizeNoticeShown{false};
// Folder walks stop here: a remote tree that names itself as its own child,
// or a local tree this deep, would otherwise recurse until the stack ends.
constexpr int kMaxFolderDepth = 64;
constexpr int kUploadEntryPauseMs = 50;

struct LocalEntry {
    std::string name;  // as the file system has it
    bool isFolder = false;
};

// The folder's entries in name order; links to folders are left out so a
// walk never leaves the tree it was given or loops through it.
bool ListLocalFolder(const std::string& folder, std::vector<LocalEntry>* out) {
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        struct stat own;
        if (lstat(path.c_str(), &own) != 0)
            continue;
        if (S_ISDIR(own.st_mode)) {
            out->push_back({name, true});
            continue;
        }
        // A link counts as the file it names; a link to a folder is skipped.
        struct stat target;
        if (stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode))
            out->push_back({name, false});
    }
    closedir(dir);
    std::sort(out->begin(), out->end(),
              [](const LocalEntry& a, const LocalEntry& b) { return a.name < b.name; });
    return true;
}

}  // namespace

HRESULT CFileSystem::OpenFile(const std::wstring& fileId, const std::wstring& relFolder,
                              const std::wstring& remotePath) {
    if (!m_local)
        return E_FAIL;
    if (!m_fileSync)
        return E_NOTIMPL;
    std::wstring folder;
    m_local->GetFullPath(&folder, relFolder);
    std::wstring localPath;
    // The name comes from the service: it must not lead out of the cache folder.
    const HRESULT hr = JoinLocalName(folder, GetRemoteFileName(remotePath), localPath);
    if (FAILED(hr))
        return hr;
    // The open flow reports to the user itself.
    m_fileSync->OpenFile(fileId, remotePath, localPath);
    return S_OK;
}

HRESULT CFileSystem::Download(const std::wstring& fileId, const std::wstring&, const std::wstring& remotePath,
                              const std::wstring& localPath) {
    if (PathExists(WideToUtf8(localPath))) {
        std::wstring name;
        GetFileNameFromPath(name, localPath);
        std::wstring text;
        FormatString(text, L"\"%s\" 已经存在，是否进行文件替换?", name);
        const int answer = AskUser(L"Wizard_DownLoadFileExist", text, L"替换|取消", 0, L"下次不再提示");
        if (answer != kAskDefault && answer != kAskNotShown)
            return S_OK;
    }
    if (!m_fileSync)
        return E_NOTIMPL;
    return m_fileSync->Download(fileId, remotePath, localPath);
}

HRESULT CFileSystem::Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                            const std::wstring& remotePath, const std::wstring& localPath) {
    uint64_t size = 0;
    if (FAILED(GetFileSize64(localPath, size)))
        size = 0;
    if (size > kMaxUploadBytes) {
        if (!g_overSizeNoticeShown.exchange(true)) {
            std::wstring text;
            FormatString(text, L"您要上传的文件“%s”大于300M，不允许上传哦~", GetRemoteFileName(remotePath));
            ShowMessage(text);
        }
        return E_FAIL;
    }
    if (!m_fileSync)
        return E_NOTIMPL;
    return m_fileSync->Upload(fileId, parentId, fileVersion, remotePath, localPath);
}

HRESULT CFileSystem::DownloadFolder(const std::wstring& folderId, const std::wstring& parentId,
                                    const std::wstring& remotePath, const std::wstring& localFolder) {
    return DownloadFolderAt(folderId, parentId, remotePath, localFolder, 0);
}

HRESULT CFileSystem::DownloadFolderAt(const std::wstring& folderId, const std::wstring&,
                                      const std::wstring& remotePath, const std::wstring& localFolder,
                                      int depth) {
    if (depth > kMaxFolderDepth) {
        PELLUX_LOG_WARNING(L"download of %s stops: folders nested deeper than %d", remotePath,
                           kMaxFolderDepth);
        return E_FAIL;
    }
    CreateFolderTree(localFolder);
    std::vector<RemoteItem> items;
    HRESULT unreachable = S_OK;
    HRESULT hr = ListFolder(folderId, &items, false, &unreachable);
    if (FAILED(hr))
        return hr;
    // Offline the listing may be cached rows or nothing at all; neither is an
    // empty folder, and the downloads could not run anyway.
    if (FAILED(unreachable))
        return unreachable;
    if (items.empty())
        return S_FALSE;
    for (const RemoteItem& item : items) {
        if (item.isFolder != 1 && item.name.empty() && item.fileId.empty())
            return S_FALSE;
        std::wstring childLocal;
        hr = JoinLocalName(localFolder, item.name, childLocal);
        if (FAILED(hr))
            return hr;
        const std::wstring childRemote = JoinRemotePath(remotePath, item.name);
        if (item.isFolder == 1)
            hr = DownloadFolderAt(item.fileId, item.parentId, childRemote, childLocal, depth + 1);
        else
            hr = Download(item.fileId, item.parentId, childRemote, childLocal);
        if (FAILED(hr))
            return hr;
    }
    return hr;
}

HRESULT CFileSystem::UploadFolder(const std::wstring& parentId, int passedOn, const std::wstring& remotePath,
                                  const std::wstring& localFolder, const std::atomic<int32_t>* keepGoing) {
    return UploadFolderAt(parentId, passedOn, remotePath, localFolder, keepGoing, 0);
}

HRESULT CFileSystem::UploadFolderAt(const std::wstring& parentId, int passedOn,
                                    const std::wstring& remotePath, const std::wstring& localFolder,
                                    const std::atomic<int32_t>* keepGoing, int depth) {
    if (depth > kMaxFolderDepth) {
        PELLUX_LOG_WARNING(L"upload of %s stops: folders nested deeper than %d", localFolder,
                           kMaxFolderDepth);
        return E_FAIL;
    }
    std::wstring folderId;
    HRESULT hr = NewFolder(parentId, remotePath, &folderId);
    if (hr == E_RESULT_TARGET_EXIST) {
        if (AskUser(L"Wizard_UpLoadFolderExist", L"文件夹已经存在，是否进行文件合并?", L"确定|取消") ==
            kAskCancel)
            return hr;
    } else if (FAILED(hr)) {
        return hr;
    }
    // Without the folder's id the entries would land in the root.
    if (folderId.empty())
        return E_FAIL;
    std::vector<LocalEntry> entries;
    if (!ListLocalFolder(WideToUtf8(localFolder), &entries))
        return E_LOCAL_NOT_FOUND;
    // Every entry is tried; the first failure is what the caller hears of.
    HRESULT firstFailure = S_OK;
    for (const LocalEntry& entry : entries) {
        if (keepGoing && keepGoing->load() == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kUploadEntryPauseMs));
        const std::wstring name = Utf8ToWide(entry.name);
        const std::wstring childLocal = JoinLocalPath(localFolder, name);
        // A "\" in a local name would split into two remote elements.
        if (name.find(L'\\') != std::wstring::npos)
            hr = E_INVALIDARG;
        else if (entry.isFolder)
            hr = UploadFolderAt(folderId, passedOn, JoinRemotePath(remotePath, name), childLocal, keepGoing,
                                depth + 1);
        else
            hr = Upload(std::wstring(), folderId, 0, JoinRemotePath(remotePath, name), childLocal);
        if (FAILED(hr) && SUCCEEDED(firstFailure))
            firstFailure = hr;
    }
    return FAILED(firstFailure) ? firstFailure : hr;
}

HRESULT CFileSystem::GetThumbnail(const std::wstring& fileId, const std::wstring& path, int height,
                                  int width) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CFileSystem::GetThumbnail()", &hr, L"fileid = %s, height = %ld, width", fileId,
                       height);
    if (!m_local)
        return hr;
    auto record = MakeFacadeRecord<TaskData_GetThumbnail>(L"GetThumbnail", m_token);
    if (!record)
        return hr = E_OUTOFMEMORY;
    record->key = fileId;
    record->height = height;
    record->width = width;
    record->cachePath = path;
    hr = m_local->GetTempFilePath(&record->downloadPath);
    if (FAILED(hr))
        return hr;
    return hr = RunQuery(record.get(), nullptr, 3);
}
