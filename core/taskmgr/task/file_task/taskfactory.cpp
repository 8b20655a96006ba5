#include "core/taskmgr/task/file_task/taskfactory.h"

ITask* CreateFileTask(TaskDataBase*) {
    return nullptr;
}
