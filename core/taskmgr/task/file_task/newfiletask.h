#pragma once
// Uploads a file the service does not know yet: creates the entry, asks what
// to do when one of that name exists, then uploads the first version.
#include "core/taskmgr/task/file_task/taskbase.h"

class NewFileTask : public CTaskBase {
public:
    using CTaskBase::CTaskBase;

protected:
    HRESULT ExecuteLocal() override;
};
