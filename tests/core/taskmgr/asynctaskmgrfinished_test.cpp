// Clearing the list of finished transfers: by key, an unknown key, then all.
#include <gtest/gtest.h>

#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/taskmgr.h"
#include "tests/core/taskmgr/scriptedtask.h"

namespace pellux_test {
namespace {

TEST(AsyncTaskMgrFinishedTest, RemovingFinishedTasksDropsOneByKeyOrAllAndReleasesTheirRecords) {
    CComPtr<IRemoteStorage> remote;
    ASSERT_EQ(CreateRemoteStorage(&remote), S_OK);
    CComPtr<FakeSyncCenter> sync = TaskSyncCenter(remote);
    TaskMgrTuning tuning;
    tuning.tickMs = 10;
    tuning.taskMaker = ScriptedTask::Maker(std::make_shared<TaskScript>());
    CComPtr<ITaskMgr> mgr;
    ASSERT_EQ(CreateTaskMgr(tuning, &mgr), S_OK);
    ASSERT_EQ(mgr->Init(sync, nullptr, remote), S_OK);
    ASSERT_EQ(mgr->Start(), S_OK);
    Completions done;
    for (const wchar_t* key : {L"k0", L"k1", L"k2"})
        ASSERT_EQ(mgr->AddTask(CountedRecord::Make(key), false, &Completions::Callback, &done), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return done.Count() == 3; }));
    const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> steps = {
        {L"k1", {L"k0", L"k2"}}, {L"absent", {L"k0", L"k2"}}, {L"", {}}};
    for (const auto& step : steps) {
        EXPECT_EQ(mgr->RemoveFinishedTask(step.first), S_OK);
        std::vector<TaskInfo> list;
        ASSERT_EQ(mgr->GetTaskList(true, &list), S_OK);
        std::vector<std::wstring> keys;
        for (const TaskInfo& info : list)
            keys.push_back(info.key);
        EXPECT_EQ(keys, step.second);
    }
    EXPECT_TRUE(WaitUntil([] { return CountedRecord::Live() == 0; }));
    EXPECT_EQ(mgr->Stop(-1), S_OK);
}

}  // namespace
}  // namespace pellux_test
