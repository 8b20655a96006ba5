#pragma once
// The file task for a request record, chosen by its operation name.
#include "core/taskmgr/task/file_task/itask.h"

// "UpdateNewFile", "UpdateFile" and "DownloadFile" (compared without regard to
// case); null for any other operation or when out of memory. The record stays
// the caller's and must outlive the task.
ITask* CreateFileTask(TaskDataBase* record);
