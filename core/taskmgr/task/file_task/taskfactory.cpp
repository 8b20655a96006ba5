#include "core/taskmgr/task/file_task/taskfactory.h"

#include <new>

#include "core/filesystem/taskdata/taskdatabase.h"
#include "core/taskmgr/task/file_task/downloadfiletask.h"
#include "core/taskmgr/task/file_task/newfiletask.h"
#include "core/taskmgr/task/file_task/updatefiletask.h"
#include "platform/strings.h"

ITask* CreateFileTask(TaskDataBase* record) {
    return CreateFileTask(record, CoreAccessTaskHost());
}

ITask* CreateFileTask(TaskDataBase* record, const std::shared_ptr<IFileTaskHost>& host) {
    if (!record || !host)
        return nullptr;
    const std::wstring& name = record->operationName;
    if (CompareNoCaseAscii(name, L"UpdateNewFile") == 0)
        return new (std::nothrow) NewFileTask(record, host);
    if (CompareNoCaseAscii(name, L"UpdateFile") == 0)
        return new (std::nothrow) UpdateFileTask(record, host);
    if (CompareNoCaseAscii(name, L"DownloadFile") == 0)
        return new (std::nothrow) DownloadFileTask(record, host);
    return nullptr;
}
