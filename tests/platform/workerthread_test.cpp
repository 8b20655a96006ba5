#include "platform/workerthread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/diagnostics.h"
#include "platform/event.h"
#include "platform/tickcount.h"

TEST(CEvent, AutoResetIsConsumedByOneWaitManualResetStaysSetUntilReset) {
    for (bool manual : {false, true}) {
        CEvent ev(manual, false);
        EXPECT_FALSE(ev.Wait(10)) << manual;
        ev.Set();
        EXPECT_TRUE(ev.Wait(0)) << manual;
        EXPECT_EQ(ev.Wait(0), manual) << manual;
        ev.Reset();
        EXPECT_FALSE(ev.Wait(5)) << manual;
    }
}

TEST(CEvent, SetWakesAWaiterAtOnce) {
    for (bool manual : {false, true}) {
        CEvent ev(manual, false);
        std::thread setter([&ev] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ev.Set();
        });
        const uint64_t start = GetTickCount64();
        EXPECT_TRUE(ev.Wait(5000)) << manual;
        EXPECT_LT(GetTickCount64() - start, 2000u) << manual;
        setter.join();
    }
}

TEST(CWorkerThread, StopRequestEndsACooperativeWorker) {
    CWorkerThread t;
    ASSERT_TRUE(t.Start([](const CWorkerThread::StopToken& stop) { stop.WaitForStop(INFINITE_WAIT); }));
    EXPECT_TRUE(t.IsRunning());
    EXPECT_FALSE(t.Start([](const CWorkerThread::StopToken&) {}));  // one worker at a time
    t.RequestStop();
    EXPECT_TRUE(t.Join(2000));
    EXPECT_FALSE(t.IsRunning());
}

TEST(CWorkerThread, AStuckWorkerIsAbandonedAfterTheDeadline) {
    auto release = std::make_shared<CEvent>(true, false);
    auto finished = std::make_shared<CEvent>(true, false);
    CWorkerThread t;
    t.Start([release, finished](const CWorkerThread::StopToken&) {
        release->Wait();
        finished->Set();
    });
    t.RequestStop();
    uint64_t start = GetTickCount64();
    EXPECT_FALSE(t.Join(100));
    EXPECT_GE(GetTickCount64() - start, 90u);
    t.Abandon();
    release->Set();  // the detached worker still finishes on its own
    EXPECT_TRUE(finished->Wait(2000));
}

namespace {
std::wstring g_lastPlatformLine;
void CaptureLine(int, const char*, int, const std::wstring& text) {
    g_lastPlatformLine = text;
}
}  // namespace

TEST(CWorkerThread, StopAndJoinLogsAndAbandonsOnlyAStuckWorker) {
    SetPlatformLogSink(&CaptureLine);
    g_lastPlatformLine.clear();
    CWorkerThread quick;
    quick.Start([](const CWorkerThread::StopToken& stop) { stop.WaitForStop(INFINITE_WAIT); });
    EXPECT_TRUE(quick.StopAndJoin(2000, L"quick timed out"));
    EXPECT_TRUE(g_lastPlatformLine.empty());

    auto release = std::make_shared<CEvent>(true, false);
    CWorkerThread stuck;
    stuck.Start([release](const CWorkerThread::StopToken&) { release->Wait(5000); });
    EXPECT_FALSE(stuck.StopAndJoin(20, L"stuck timed out"));
    EXPECT_EQ(g_lastPlatformLine, L"stuck timed out");
    release->Set();
    SetPlatformLogSink(nullptr);
}
