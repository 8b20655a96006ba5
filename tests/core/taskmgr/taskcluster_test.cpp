// One cluster with a scripted task: attempts, session problems, progress
// totals beyond 32 bits, and a worker that ignores its deadline.
#include <gtest/gtest.h>

#include <cstring>

#include "core/taskmgr/taskcluster.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "tests/core/taskmgr/scriptedtask.h"

namespace pellux_test {
namespace {

class TaskClusterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CreateRemoteStorage(&m_remote), S_OK);
        m_sync = TaskSyncCenter(m_remote);
    }
    std::shared_ptr<TaskDataBase> NewRecord() {
        return std::shared_ptr<TaskDataBase>(CountedRecord::Make(L"k"),
                                             [](TaskDataBase* r) { r->Release(); });
    }
    // Runs the script to its end; the record as the manager would see it.
    std::shared_ptr<TaskDataBase> RunToEnd(const std::shared_ptr<TaskScript>& script) {
        CTaskCluster cluster(ScriptedTask::Maker(script));
        EXPECT_EQ(cluster.Init(m_sync, 3), S_OK);
        auto record = NewRecord();
        record->token = L"stale";
        EXPECT_EQ(cluster.Start(record), S_OK);
        EXPECT_TRUE(WaitUntil([&] { return cluster.IsFinished(); }));
        cluster.Join();
        return record;
    }

    CComPtr<FakeSyncCenter> m_sync;
    CComPtr<IRemoteStorage> m_remote;
};

TEST_F(TaskClusterTest, AttemptsEndOnAFinalResultAndSessionProblemsArePosted) {
    struct Case {
        const char* name;
        std::vector<HRESULT> results;
        int executions;
        HRESULT result;
        size_t statuses;
    };
    const std::vector<Case> cases = {
        {"two time-outs, then success", {E_TRANSPORT_TIMEOUT, E_TRANSPORT_TIMEOUT, S_OK}, 3, S_OK, 0},
        {"over space is final", {E_RESULT_OVER_SPACE}, 1, E_RESULT_OVER_SPACE, 0},
        {"local file busy is final", {E_LOCAL_BUSY}, 1, E_LOCAL_BUSY, 0},
        {"the last failure stands", {E_TRANSPORT_FAILED, E_LOCAL_FILE_MISSING}, 3, E_LOCAL_FILE_MISSING, 0},
        {"token expired", {E_RESULT_CLIENT_TOKEN_EXPIRED}, 3, E_RESULT_CLIENT_TOKEN_EXPIRED, 1},
        {"client version refused",
         {S_FALSE, E_RESULT_METHOD_VERSION_NOT_MATCH},
         3,
         E_RESULT_METHOD_VERSION_NOT_MATCH,
         1},
        {"not logged in", {E_RESULT_CLIENT_NO_LOGIN}, 3, E_RESULT_CLIENT_NO_LOGIN, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t postedBefore = m_sync->Posted().size();
        auto script = std::make_shared<TaskScript>();
        script->results = c.results;
        auto record = RunToEnd(script);
        EXPECT_EQ(script->Executions(), c.executions);
        EXPECT_EQ(record->state, kTaskStateFinished);
        EXPECT_EQ(record->result, c.result);
        EXPECT_EQ(record->token, m_sync->token);
        const auto posted = m_sync->Posted();
        ASSERT_EQ(posted.size() - postedBefore, c.statuses);
        if (c.statuses) {
            uint32_t value;
            std::memcpy(&value, posted.back().body, sizeof(value));
            EXPECT_EQ(posted.back().type, kSyncStatusSessionProblem);
            EXPECT_EQ(value, kSessionProblemBodyValue);
        }
    }
}

TEST_F(TaskClusterTest, ProgressKeepsSixtyFourBitCountsOfTheActiveDirection) {
    const int64_t gib = int64_t(1) << 30;
    struct Case {
        const char* name;
        int64_t downloadTotal, downloadNow, uploadTotal, uploadNow;
        int64_t total, done;
    };
    const std::vector<Case> cases = {
        {"a 3 GiB upload", 0, 0, 3 * gib, 2 * gib + 5, 3 * gib, 2 * gib + 5},
        {"a 3 GiB download", 3 * gib, gib, 0, 0, 3 * gib, gib},
        {"negative counts clamp to 0", -5, -1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto script = std::make_shared<TaskScript>();
        script->onExecute = [&c](TransportProgressCallback progress, void* context) {
            progress(context, c.downloadTotal, c.downloadNow, c.uploadTotal, c.uploadNow, 0);
        };
        auto record = RunToEnd(script);
        EXPECT_EQ(record->bytesTotal, c.total);
        EXPECT_EQ(record->bytesDone, c.done);
    }
}

TEST_F(TaskClusterTest, AWorkerIgnoringItsDeadlineEndsCancelledAndTouchesNothingFreed) {
    auto script = std::make_shared<TaskScript>();
    script->block = true;
    script->ignoreCancel = true;
    script->results = {E_TRANSPORT_FAILED};
    auto reports = std::make_shared<std::atomic<int>>(0);
    script->onExecute = [reports](TransportProgressCallback progress, void* context) {
        progress(context, 0, 0, 100, ++*reports, 0);
    };
    auto cluster = std::make_unique<CTaskCluster>(ScriptedTask::Maker(script));
    ASSERT_EQ(cluster->Init(m_sync, 3), S_OK);
    auto record = NewRecord();
    ASSERT_EQ(cluster->Start(record), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return script->Executions() == 1; }));
    EXPECT_FALSE(cluster->Stop(50));
    EXPECT_TRUE(cluster->IsFinished());
    EXPECT_EQ(record->state, kTaskStateFinished);
    EXPECT_EQ(record->result, E_CANCELLED);
    cluster.reset();
    // The abandoned worker finishes its attempts; its progress reaches no record.
    script->Release();
    ASSERT_TRUE(WaitUntil([&] { return script->Ended() == 3; }));
    EXPECT_EQ(record->bytesDone, 1);
    record.reset();
    EXPECT_TRUE(WaitUntil([] { return CountedRecord::Live() == 0; }));
}

}  // namespace
}  // namespace pellux_test
