#pragma once
// A task list's entry for one request record, copied out of it.
#include "core/filesystem/taskdata/taskdatabase.h"
#include "core/taskmgr/taskinfo.h"

inline TaskInfo TaskInfoOfRecord(const TaskDataBase& record) {
    TaskInfo info;
    info.key = record.key;
    info.itemPath = record.itemPath;
    info.isUpload = record.isUpload;
    info.state = record.state;
    info.result = record.result;
    info.bytesDone = record.bytesDone;
    info.bytesTotal = record.bytesTotal;
    info.flags = record.flags;
    return info;
}
