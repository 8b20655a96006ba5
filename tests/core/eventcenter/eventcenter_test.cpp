// The push heartbeat against the service emulator: pushed versions reach the
// cache, a stop aborts a held poll, a dead service is not hammered.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "core/eventcenter/eventcenter.h"
#include "core/taskmgr/taskmgr.h"
#include "tests/support/clientfixture.h"
#include "tests/support/closedport.h"
#include "tests/support/waituntil.h"

namespace pellux_test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class HeartbeatTest : public ServiceClientTest {
protected:
    // Long enough that a poll answers within a test only after a change.
    EmulatorOptions Options() const override {
        EmulatorOptions options;
        options.holdMs = 20000;
        return options;
    }
    void SetUp() override {
        ServiceClientTest::SetUp();
        if (HasFatalFailure())
            return;
        OpenCache();
        CComPtr<ITaskMgr> taskMgr;
        ASSERT_EQ(CreateTaskMgr(&taskMgr), S_OK);
        syncCenter->AddComponent(taskMgr.get());
        ASSERT_EQ(CreateEventCenter(&center), S_OK);
        ASSERT_EQ(center->Init(syncCenter), S_OK);
    }
    void TearDown() override {
        if (center)
            center->Stop();
        center.Release();
        ServiceClientTest::TearDown();
    }
    int64_t ServiceVersion(const char* key) const {
        const std::string reply = m_emulator.CallOperation("/xsvr/getMaxVers/", {{"token", session.token}});
        return std::stoll(Emulator::ReplyValue(reply, key));
    }

    CComPtr<IEventCenter> center;
};

TEST_F(HeartbeatTest, OnlyVersionsPushedAfterAChangeReachTheCacheAndStopEndsAHeldPollSoon) {
    // The emulator answers a user's first poll at once; after this one the
    // heartbeat's polls are held until a change.
    std::unique_ptr<TaskData_PushNotify, void (*)(TaskData_PushNotify*)> record(
        TaskData_PushNotify::Create(), [](TaskData_PushNotify* r) { r->Release(); });
    record->userId = Utf8ToWide(session.userId);
    XmlNode first;
    ASSERT_EQ(remote->PushNotify(record.get(), nullptr, nullptr, &first), S_OK);
    remote->pushPolls = 0;
    ASSERT_TRUE(m_emulator.AddFault("path=/sync/get&result=ok&count=1"));
    ASSERT_EQ(center->Start(), S_OK);
    // The next poll is held: the answer without versions has been handled.
    ASSERT_TRUE(WaitUntil([&] { return remote->pushPolls.load() >= 2; }));
    EXPECT_EQ(cache->GetCurCacheVesion(-7), -7);
    EXPECT_EQ(cache->GetCurShareCacheVesion(-7), -7);
    const std::string reply = m_emulator.CallOperation(
        "/xsvr/newFolder/", {{"token", session.token}, {"parentId", ""}, {"name", "Pushed"}});
    ASSERT_EQ(Emulator::ReplyValue(reply, "result"), "ok");
    const int64_t opVer = ServiceVersion("opVer");
    const int64_t shareVer = ServiceVersion("shareVer");
    // The two versions are stored one after the other: wait for both.
    EXPECT_TRUE(WaitUntil([&] {
        return cache->GetCurCacheVesion(0) == opVer && cache->GetCurShareCacheVesion(0) == shareVer;
    }));

    // The next poll is held until a change that never comes.
    ASSERT_TRUE(WaitUntil([&] { return remote->pushPolls.load() >= 3; }));
    std::this_thread::sleep_for(milliseconds(300));
    const auto asked = Clock::now();
    EXPECT_EQ(center->Stop(), S_OK);
    EXPECT_LT(Clock::now() - asked, milliseconds(2000));
    EXPECT_EQ(cache->GetCurCacheVesion(0), opVer);  // nothing stored from the aborted poll
    EXPECT_EQ(center->Start(), E_FAIL);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(remote->pushPolls.load(), 3);
}

TEST_F(HeartbeatTest, AClosedPortIsAskedWithBackOffNotFiveTimesASecond) {
    WriteConfig(ClientConfigIni("http://127.0.0.1:" + std::to_string(ClosedLoopbackPort())));
    ASSERT_EQ(center->Start(), S_OK);
    std::this_thread::sleep_for(milliseconds(3300));
    center->Stop();
    // 200 ms, then pauses of 200, 400, 800 and 1600 ms: polls at about
    // 0.2, 0.4, 0.8, 1.6 and 3.2 s. Without back-off it would be about 15.
    EXPECT_GE(remote->pushPolls.load(), 3);
    EXPECT_LE(remote->pushPolls.load(), 6);
    EXPECT_EQ(cache->GetCurCacheVesion(-7), -7);  // nothing stored
}

}  // namespace
}  // namespace pellux_test
