#pragma once
// The task lists copied from the core by a background poller, so that the
// task pane never waits for the core's locks. The poller fetches outside the
// cache's lock and only swaps the new lists in under it; readers only try the
// lock and keep what they had when it is taken.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/workerthread.h"
#include "ui/middlewindow/itaskcore.h"

class CTaskInfoCache {
public:
    static constexpr uint32_t kPollMs = 800;
    static constexpr uint32_t kStopWaitMs = 5000;

    explicit CTaskInfoCache(std::shared_ptr<ITaskCore> core, uint32_t pollMs = kPollMs,
                            uint32_t stopWaitMs = kStopWaitMs);
    ~CTaskInfoCache();

    // Starts the poller; false when it already runs.
    bool Init();
    // Stops the poller, waiting up to the stop time; a poller stuck in the
    // core is logged and left to finish on its own.
    void UnInit();

    // Each copies one list; false (out untouched) when the poller holds the lock.
    bool GetOpenFileList(std::vector<TaskInfo>& out);
    bool GetUnfinishedList(std::vector<TaskInfo>& out);
    bool GetFinishedList(std::vector<TaskInfo>& out);
    // How many polls have completed (tests wait on it).
    uint64_t Generation();

private:
    struct Lists {
        std::mutex lock;
        std::vector<TaskInfo> open;
        std::vector<TaskInfo> unfinished;
        std::vector<TaskInfo> finished;
        uint64_t generation = 0;
    };
    static void Poll(ITaskCore& core, Lists& lists);
    bool Read(std::vector<TaskInfo> Lists::*list, std::vector<TaskInfo>& out);

    std::shared_ptr<ITaskCore> core_;
    std::shared_ptr<Lists> lists_;
    const uint32_t pollMs_;
    const uint32_t stopWaitMs_;
    std::unique_ptr<CWorkerThread> thread_;
};
