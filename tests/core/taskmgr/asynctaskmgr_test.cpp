// The queue of transfers with fake tasks: five run at once, waiting tasks are
// promoted on the tick, cancel, retry, stop, and callbacks that take other
// locks.
#include <gtest/gtest.h>

#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "core/taskmgr/taskmgr.h"
#include "platform/uithread.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "tests/core/taskmgr/scriptedtask.h"

namespace pellux_test {
namespace {

class AsyncTaskMgrTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CreateRemoteStorage(&m_remote), S_OK);
        m_sync = TaskSyncCenter(m_remote);
        StartManager(ScriptedTask::Maker(m_script));
    }
    void TearDown() override {
        if (m_mgr) {
            EXPECT_EQ(m_mgr->Stop(-1), S_OK);
        }
        m_mgr.Release();
        EXPECT_EQ(CountedRecord::Live().load(), 0) << "a record was leaked";
    }
    void StartManager(TaskMaker maker) {
        TaskMgrTuning tuning;
        tuning.tickMs = 10;
        tuning.taskMaker = std::move(maker);
        ASSERT_EQ(CreateTaskMgr(tuning, &m_mgr), S_OK);
        ASSERT_EQ(m_mgr->Init(m_sync, nullptr, m_remote), S_OK);
        ASSERT_EQ(m_mgr->Start(), S_OK);
    }
    HRESULT Add(const std::wstring& key, bool noQueue = false) {
        return m_mgr->AddTask(CountedRecord::Make(key), noQueue, &Completions::Callback, &m_done);
    }
    // key -> the field of each entry of the unfinished (or finished) list.
    template <class V>
    std::map<std::wstring, V> Listed(bool finished, V TaskInfo::*field) {
        std::vector<TaskInfo> list;
        EXPECT_EQ(m_mgr->GetTaskList(finished, &list), S_OK);
        std::map<std::wstring, V> values;
        for (const TaskInfo& info : list)
            values[info.key] = info.*field;
        return values;
    }
    std::map<std::wstring, int> States(bool finished) { return Listed(finished, &TaskInfo::state); }
    std::map<std::wstring, HRESULT> FinishedResults() { return Listed(true, &TaskInfo::result); }

    std::shared_ptr<TaskScript> m_script = std::make_shared<TaskScript>();
    CComPtr<FakeSyncCenter> m_sync;
    CComPtr<IRemoteStorage> m_remote;
    CComPtr<ITaskMgr> m_mgr;
    Completions m_done;
};

TEST_F(AsyncTaskMgrTest, FiveRunAtOnceTheSixthWaitsAndNoQueueStartsAtOnceEvenUnderATakenKey) {
    m_script->block = true;
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(Add(L"k" + std::to_wstring(i)), S_OK);
    std::map<std::wstring, int> expected;
    for (int i = 0; i < 5; ++i)
        expected[L"k" + std::to_wstring(i)] = kTaskStateRunning;
    expected[L"k5"] = kTaskStateNotStarted;
    EXPECT_EQ(States(false), expected);

    ASSERT_EQ(Add(L"k0", true), S_OK);
    EXPECT_EQ(States(false), expected);
    ASSERT_TRUE(WaitUntil([&] { return m_script->Executions() == 6; }));

    // The waiting task is promoted once a slot is swept, and reports too; the
    // finished record replaced under the same key is released.
    m_script->Release();
    ASSERT_TRUE(WaitUntil([&] { return m_done.Count() == 7; }));
    EXPECT_TRUE(States(false).empty());
    EXPECT_EQ(States(true).size(), 6u);
    EXPECT_TRUE(WaitUntil([] { return CountedRecord::Live() == 6; }));
    for (const auto& entry : m_done.Entries()) {
        EXPECT_EQ(entry.state, kTaskStateFinished);
        EXPECT_EQ(entry.result, S_OK);
    }
}

TEST_F(AsyncTaskMgrTest, CancelDropsAWaitingTaskAndStopsARunningOne) {
    m_script->block = true;
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(Add(L"k" + std::to_wstring(i)), S_OK);
    ASSERT_EQ(m_mgr->CancelTask(L"k5"), S_OK);
    EXPECT_EQ(States(false).count(L"k5"), 0u);

    // Off the UI thread the call returns once the task has ended.
    ASSERT_EQ(m_mgr->CancelTask(L"k0"), S_OK);
    EXPECT_GE(m_script->Ended(), 1);
    ASSERT_TRUE(WaitUntil([&] { return m_done.Count() == 1; }));
    EXPECT_EQ(FinishedResults(), (std::map<std::wstring, HRESULT>{{L"k0", E_CANCELLED}}));

    // On the UI thread it only signals, even for a task that ignores it.
    {
        std::lock_guard<std::mutex> lock(m_script->mutex);
        m_script->ignoreCancel = true;
    }
    std::thread ui([&] {
        MarkUiThread();
        EXPECT_EQ(m_mgr->CancelTask(L"k1"), S_OK);
        EXPECT_EQ(States(false)[L"k1"], kTaskStateRunning);
    });
    ui.join();
    m_script->Release();
    ASSERT_TRUE(WaitUntil([&] { return m_done.Count() == 5; }));
    for (const auto& entry : m_done.Entries())
        EXPECT_NE(entry.key, L"k5");
}

TEST_F(AsyncTaskMgrTest, RetryRunsAFinishedTaskAgain) {
    m_script->results = {E_TRANSPORT_FAILED, E_TRANSPORT_FAILED, E_TRANSPORT_FAILED, S_OK};
    EXPECT_EQ(m_mgr->RetryTask(L"", &Completions::Callback, &m_done), S_FALSE);
    EXPECT_EQ(m_mgr->RetryTask(L"unknown", &Completions::Callback, &m_done), S_OK);
    ASSERT_EQ(Add(L"k0"), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return m_done.Count() == 1; }));
    EXPECT_EQ(FinishedResults()[L"k0"], E_TRANSPORT_FAILED);

    Completions again;
    ASSERT_EQ(m_mgr->RetryTask(L"k0", &Completions::Callback, &again), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return again.Count() == 1; }));
    EXPECT_EQ(FinishedResults()[L"k0"], S_OK);
    EXPECT_EQ(m_script->Executions(), 4);
    EXPECT_EQ(m_done.Count(), 1u);
}

TEST_F(AsyncTaskMgrTest, StopEndsRunningTasksAndRefusesNewOnes) {
    m_script->block = true;
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(Add(L"k" + std::to_wstring(i)), S_OK);
    ASSERT_EQ(m_mgr->Stop(-1), S_OK);
    const std::map<std::wstring, HRESULT> results = FinishedResults();
    EXPECT_EQ(results.size(), 5u);
    for (const auto& entry : results)
        EXPECT_EQ(entry.second, E_CANCELLED) << entry.first;
    EXPECT_TRUE(States(false).empty());
    EXPECT_EQ(Add(L"late"), E_FAIL);
    EXPECT_EQ(m_mgr->Start(), E_FAIL);
    EXPECT_EQ(m_done.Count(), 0u);
}

TEST_F(AsyncTaskMgrTest, AddTaskFailsWhenTheClusterCannotStart) {
    // Without local storage, or without a task for the record.
    for (bool withLocalStorage : {false, true}) {
        SCOPED_TRACE(withLocalStorage);
        m_mgr->Stop(-1);
        m_mgr.Release();
        m_sync = TaskSyncCenter(m_remote, withLocalStorage);
        StartManager(!withLocalStorage ? ScriptedTask::Maker(m_script)
                                       : TaskMaker([](TaskDataBase*) -> ITask* { return nullptr; }));
        EXPECT_TRUE(FAILED(Add(L"k0")));
        EXPECT_TRUE(States(false).empty());
        EXPECT_EQ(CountedRecord::Live().load(), 0);
    }
}

// A callback that takes a lock held by a thread which is posting to the
// manager at that moment must not deadlock: callbacks run without the
// manager's lock.
TEST_F(AsyncTaskMgrTest, CallbackTakingAnotherLockDoesNotBlockAPostingThread) {
    struct Shared {
        std::mutex other;
        std::atomic<bool> entered{false};
    } shared;
    auto callback = [](TaskDataBase*, void* context) {
        auto* s = static_cast<Shared*>(context);
        s->entered = true;
        std::lock_guard<std::mutex> lock(s->other);
    };
    std::unique_lock<std::mutex> held(shared.other);
    ASSERT_EQ(m_mgr->AddTask(CountedRecord::Make(L"k0"), false, callback, &shared), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return shared.entered.load(); }));
    auto posting = std::async(std::launch::async, [&] {
        std::vector<TaskInfo> list;
        m_mgr->GetTaskList(false, &list);
        m_mgr->CancelTask(L"absent");
        return Add(L"k1");
    });
    const bool returned = posting.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    held.unlock();  // lets a deadlocked tick thread go on, so a failure ends
    EXPECT_TRUE(returned) << "posting while a callback waits for our lock deadlocked";
    EXPECT_EQ(posting.get(), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return m_done.Count() == 1; }));
}

}  // namespace
}  // namespace pellux_test
