#pragma once
// The file task for a request record, chosen by its operation name.
#include <memory>

#include "core/taskmgr/task/file_task/filetaskhost.h"
#include "core/taskmgr/task/file_task/itask.h"

// "UpdateNewFile", "UpdateFile" and "DownloadFile" (compared without regard to
// case); null for any other operation or when out of memory. The record stays
// the caller's and must outlive the task. The host is the core-access object's.
ITask* CreateFileTask(TaskDataBase* record);
// The same with another host (tests).
ITask* CreateFileTask(TaskDataBase* record, const std::shared_ptr<IFileTaskHost>& host);
