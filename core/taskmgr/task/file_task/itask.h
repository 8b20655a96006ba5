#pragma once
// One queued transfer run by a task cluster: the upload of a new file or of a
// new version, or the download of a file into the cache. Owned by its cluster.
#include <functional>

#include "core/remotestorage/remotestorage/itransport.h"
#include "platform/hresult.h"

class TaskDataBase;
struct ILocalStorage;
struct IRemoteStorage;

class ITask {
public:
    virtual ~ITask() = default;
    // The storage objects are not counted: the cluster holds them for the
    // task's life. The progress callback gets the context unchanged.
    virtual HRESULT Init(ILocalStorage* local, IRemoteStorage* remote, TransportProgressCallback progress,
                         void* context) = 0;
    // One attempt; the result decides whether the cluster tries again.
    virtual HRESULT Execute() = 0;
    // Any thread: the attempt ends with E_CANCELLED at its next blocking step.
    virtual HRESULT Cancel() = 0;
    virtual TaskDataBase* GetTaskData() = 0;
};

// Makes the task for a record; null when the record's operation has no task.
using TaskMaker = std::function<ITask*(TaskDataBase* record)>;
