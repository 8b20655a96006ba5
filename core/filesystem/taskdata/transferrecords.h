#pragma once
// The transfer records of a single file, as the open-for-edit manager, the
// facade and the file tasks build them. Each returns null when out of memory.
#include <string>

#include "core/filesystem/taskdata/taskdata.h"

// "DownloadFile": key = file id, not an upload, own name = the item path's
// last component.
TaskData_DownloadFile* MakeDownloadFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                            const std::wstring& localPath);
// "UpdateFile": a new version of an existing file; fileVer is the version the
// upload replaces, in decimal.
TaskData_UpdateFile* MakeUpdateFileTask(const std::wstring& fileId, const std::wstring& itemPath,
                                        const std::wstring& fileVer, const std::wstring& localPath);
// "UpdateNewFile": a file new to the folder; the key is MakeNewFileKey().
TaskData_NewFile* MakeUpdateNewFileTask(const std::wstring& parentId, const std::wstring& itemPath,
                                        const std::wstring& localPath);
