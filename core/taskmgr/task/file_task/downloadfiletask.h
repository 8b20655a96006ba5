#pragma once
// Downloads a file, decodes it and moves it into the local cache.
#include "core/taskmgr/task/file_task/taskbase.h"

class DownloadFileTask : public CTaskBase {
public:
    using CTaskBase::CTaskBase;

protected:
    HRESULT ExecuteRemote() override;
};
