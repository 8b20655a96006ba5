#include "core/filesystem/taskdata/transferrecords.h"

#include "base/utility/remotepath.h"

namespace {

// What every single-file transfer record holds alike.
template <class T>
T* MakeFileTransfer(const wchar_t* operation, const std::wstring& key, const std::wstring& itemPath,
                    const std::wstring& localPath, int isUpload) {
    T* record = T::Create();
    if (!record)
        return nullptr;
    record->operationName = operation;
    record->key = key;
    record->itemPath = itemPath;
    record->localPath = localPath;
    record->isFolder = 0;
    record->isUpload = isUpload;
    record->name = GetRemoteFileName(itemPath);
    return record;
}

}  // namespace

TaskData_DownloadFile* MakeDownloadFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                            const std::wstring& localPath) {
    TaskData_DownloadFile* record =
        MakeFileTransfer<TaskData_DownloadFile>(L"DownloadFile", fileId, itemPath, localPath, 0);
    if (record)
        record->previousVersion = 0;
    return record;
}

TaskData_UpdateFile* MakeUpdateFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                        const std::wstring& fileVer, const std::wstring& localPath) {
    TaskData_UpdateFile* record =
        MakeFileTransfer<TaskData_UpdateFile>(L"UpdateFile", fileId, itemPath, localPath, 1);
    if (record)
        record->fileVer = fileVer;
    return record;
}

TaskData_NewFile* MakeUpdateNewFileTask(const std::wstring& parentId, const std::wstring& itemPath,
                                        const std::wstring& localPath) {
    TaskData_NewFile* record =
        MakeFileTransfer<TaskData_NewFile>(L"UpdateNewFile", MakeNewFileKey(), itemPath, localPath, 1);
    if (record)
        record->parentId = parentId;
    return record;
}
