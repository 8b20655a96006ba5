#pragma once
// Uploads a new version of a file the service knows.
#include "core/taskmgr/task/file_task/taskbase.h"

class UpdateFileTask : public CTaskBase {
public:
    using CTaskBase::CTaskBase;

    // How long a held file is waited for before the attempt gives up.
    static constexpr uint32_t kBusyWaitMs = 1000;

protected:
    HRESULT ExecuteLocal() override;
};
