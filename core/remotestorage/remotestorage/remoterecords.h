#pragma once
// Records of the operations that have no request record of their own in the
// rest of the client: the snapshot queries and sharing.
#include <string>
#include <vector>

#include "core/filesystem/taskdata/taskdatabase.h"

// "syncFile" and "syncDelFile": a page of items from an operation version on.
class TaskData_ItemSnapshot : public TaskDataBaseImpl<TaskData_ItemSnapshot> {
public:
    bool IsSameOwn(const TaskData_ItemSnapshot& o) const { return opVer == o.opVer && size == o.size; }
    // Sent as they stand.
    std::wstring opVer;
    std::wstring size;
};

// "asmShare": shares the key item with the listed accounts.
class TaskData_ShareFile : public TaskDataBaseImpl<TaskData_ShareFile> {
public:
    bool IsSameOwn(const TaskData_ShareFile& o) const {
        return sharers == o.sharers && writable == o.writable && sendMail == o.sendMail;
    }
    std::vector<std::wstring> sharers;
    bool writable = false;
    bool sendMail = false;
};
