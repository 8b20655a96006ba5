#include "core/filesystem/taskdata/transferrecords.h"

#include "base/utility/remotepath.h"

TaskData_DownloadFile* MakeDownloadFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                            const std::wstring& localPath) {
    TaskData_DownloadFile* record = TaskData_DownloadFile::Create();
    if (!record)
        return nullptr;
    record->operationName = L"DownloadFile";
    record->key = fileId;
    record->itemPath = itemPath;
    record->localPath = localPath;
    record->isFolder = 0;
    record->isUpload = 0;
    record->name = GetRemoteFileName(itemPath);
    record->previousVersion = 0;
    return record;
}

TaskData_UpdateFile* MakeUpdateFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                        const std::wstring& fileVer, const std::wstring& localPath) {
    TaskData_UpdateFile* record = TaskData_UpdateFile::Create();
    if (!record)
        return nullptr;
    record->operationName = L"UpdateFile";
    record->key = fileId;
    record->itemPath = itemPath;
    record->localPath = localPath;
    record->isFolder = 0;
    record->isUpload = 1;
    record->fileVer = fileVer;
    record->name = GetRemoteFileName(itemPath);
    return record;
}

TaskData_NewFile* MakeUpdateNewFileTask(const std::wstring& parentId, const std::wstring& itemPath,
                                        const std::wstring& localPath) {
    TaskData_NewFile* record = TaskData_NewFile::Create();
    if (!record)
        return nullptr;
    record->operationName = L"UpdateNewFile";
    record->key = MakeNewFileKey();
    record->parentId = parentId;
    record->itemPath = itemPath;
    record->localPath = localPath;
    record->isFolder = 0;
    record->isUpload = 1;
    record->name = GetRemoteFileName(itemPath);
    return record;
}
