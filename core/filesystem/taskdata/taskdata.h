#pragma once
// The concrete request records, one per kind of service operation. Each adds
// its own arguments to the base fields and says which of them IsSame compares.
#include <string>

#include "core/filesystem/taskdata/taskdatabase.h"

// Records that are never the same as another, not even as themselves.
#define PELLUX_TASKDATA_NEVER_SAME(T) \
    bool IsSameOwn(const T&) const {  \
        return false;                 \
    }
// Records compared on the base fields alone.
#define PELLUX_TASKDATA_BASE_SAME(T) \
    bool IsSameOwn(const T&) const { \
        return true;                 \
    }

class TaskData_Login : public TaskDataBaseImpl<TaskData_Login> {
public:
    PELLUX_TASKDATA_NEVER_SAME(TaskData_Login)
    std::wstring user;
    std::wstring password;
    std::wstring deviceId;
    std::wstring clientName;
    std::wstring clientVersion;
};

// Log-in with the stored token (the base token field).
class TaskData_ReLogin : public TaskDataBaseImpl<TaskData_ReLogin> {
public:
    PELLUX_TASKDATA_NEVER_SAME(TaskData_ReLogin)
    std::wstring deviceId;
};

class TaskData_GetSpace : public TaskDataBaseImpl<TaskData_GetSpace> {
public:
    PELLUX_TASKDATA_NEVER_SAME(TaskData_GetSpace)
};

// "GetRemoteOptVer" and "GetMaxVer".
class TaskData_GetRemoteOptVer : public TaskDataBaseImpl<TaskData_GetRemoteOptVer> {
public:
    PELLUX_TASKDATA_NEVER_SAME(TaskData_GetRemoteOptVer)
};

// Folder listing; the folder id is the key.
class TaskData_Dir : public TaskDataBaseImpl<TaskData_Dir> {
public:
    PELLUX_TASKDATA_NEVER_SAME(TaskData_Dir)
};

class TaskData_GetItemInfo : public TaskDataBaseImpl<TaskData_GetItemInfo> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_GetItemInfo)
};

class TaskData_GetRecycle : public TaskDataBaseImpl<TaskData_GetRecycle> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_GetRecycle)
    std::wstring opVer;
    // How many entries are asked for.
    int size = 0;
};

class TaskData_CleanRecycle : public TaskDataBaseImpl<TaskData_CleanRecycle> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_CleanRecycle)
};

class TaskData_Recover : public TaskDataBaseImpl<TaskData_Recover> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_Recover)
    // The folder to restore into.
    std::wstring parentId;
};

class TaskData_GetAllShareFile : public TaskDataBaseImpl<TaskData_GetAllShareFile> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_GetAllShareFile)
    // Non-zero: items shared with me; 0: items I shared.
    int toMe = 0;
};

// "DeleteFile" and "DeleteDirectory".
class TaskData_Delete : public TaskDataBaseImpl<TaskData_Delete> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_Delete)
};

// "EditFile" and "RenameDirectory".
class TaskData_Rename : public TaskDataBaseImpl<TaskData_Rename> {
public:
    bool IsSameOwn(const TaskData_Rename& o) const { return name == o.name; }
    // The new name.
    std::wstring name;
};

// "MoveFile" and "MoveDirectory".
class TaskData_Move : public TaskDataBaseImpl<TaskData_Move> {
public:
    bool IsSameOwn(const TaskData_Move& o) const { return parentId == o.parentId && name == o.name; }
    // The target folder.
    std::wstring parentId;
    // The new name; empty when the name is kept.
    std::wstring name;
};

class TaskData_DirectoryAdd : public TaskDataBaseImpl<TaskData_DirectoryAdd> {
public:
    bool IsSameOwn(const TaskData_DirectoryAdd& o) const { return parentId == o.parentId && name == o.name; }
    std::wstring name;
    std::wstring parentId;
};

class TaskData_NewFile : public TaskDataBaseImpl<TaskData_NewFile> {
public:
    bool IsSameOwn(const TaskData_NewFile& o) const { return name == o.name; }
    std::wstring name;
    std::wstring parentId;
};

class TaskData_UpdateFile : public TaskDataBaseImpl<TaskData_UpdateFile> {
public:
    bool IsSameOwn(const TaskData_UpdateFile& o) const { return name == o.name && fileVer == o.fileVer; }
    std::wstring fileVer;
    std::wstring name;
    // The local file's last-write time text up to its last ".".
    std::wstring modTime;
    std::wstring encodedFilePath;
    // Size of the file before encoding, as decimal text.
    std::wstring sourceSize;
    // Size of the encoded file, as decimal text.
    std::wstring uploadSize;
    std::wstring sourceSha1;
    // SHA-1 of the encoded file.
    std::wstring uploadSha1;
    std::wstring uploadAddress;
    std::wstring stub;
};

class TaskData_DownloadFile : public TaskDataBaseImpl<TaskData_DownloadFile> {
public:
    bool IsSameOwn(const TaskData_DownloadFile& o) const { return downloadPath == o.downloadPath; }
    std::wstring name;
    // Where the downloaded data is written.
    std::wstring downloadPath;
    // Non-zero asks for the previous version of the file.
    int previousVersion = 0;
};

class TaskData_GetThumbnail : public TaskDataBaseImpl<TaskData_GetThumbnail> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_GetThumbnail)
    int height = 0;
    int width = 0;
    std::wstring downloadPath;
    std::wstring cachePath;
};

class TaskData_FullTextSearch : public TaskDataBaseImpl<TaskData_FullTextSearch> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_FullTextSearch)
    std::wstring searchText;
    int searchType = 0;
};

class TaskData_PushNotify : public TaskDataBaseImpl<TaskData_PushNotify> {
public:
    PELLUX_TASKDATA_BASE_SAME(TaskData_PushNotify)
    std::wstring userId;
};

#undef PELLUX_TASKDATA_NEVER_SAME
#undef PELLUX_TASKDATA_BASE_SAME

// The log-in record (operation "Login"); null when out of memory.
TaskData_Login* MakeLoginTask(const std::wstring& user, const std::wstring& password,
                              const std::wstring& deviceId, const std::wstring& clientName,
                              const std::wstring& clientVersion);
// The token log-in record (operation "ReLogin"); null when out of memory.
TaskData_ReLogin* MakeReLoginTask(const std::wstring& token, const std::wstring& deviceId);
