#pragma once
// One entry of a task list or of the open-file list, copied out so readers
// never hold the manager's records.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

struct TaskInfo {
    std::wstring key;
    std::wstring itemPath;
    int isUpload = 0;
    // 0 not started, 2 running, 3 finished.
    int state = 0;
    HRESULT result = S_OK;
    int64_t bytesDone = 0;
    int64_t bytesTotal = 0;
    // The record's flags; 0 for running tasks.
    int flags = 0;
};
