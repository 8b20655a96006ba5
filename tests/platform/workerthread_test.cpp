#include "platform/workerthread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/diagnostics.h"
#include "platform/event.h"
#include "platform/tickcount.h"

TEST(CEvent, AutoResetIsConsumedByOneWaitManualResetStaysSetAndSetWakesAWaiterAtOnce) {
    for (bool manual : {false, true}) {
        CEvent ev(manual, false);
        EXPECT_FALSE(ev.Wait(10)) << manual;
        ev.Set();
        EXPECT_TRUE(ev.Wait(0)) << manual;
        EXPECT_EQ(ev.Wait(0), manual) << manual;
        ev.Reset();
        EXPECT_FALSE(ev.Wait(5)) << manual;
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

namespace {
std::wstring g_lastPlatformLine;
void CaptureLine(int, const char*, int, const std::wstring& text) {
    g_lastPlatformLine = text;
}
}  // namespace

TEST(CWorkerThread, StopAndJoinEndsACooperativeWorkerQuietlyAndLogsAndAbandonsAStuckOne) {
    SetPlatformLogSink(&CaptureLine);
    g_lastPlatformLine.clear();
    CWorkerThread quick;
    ASSERT_TRUE(quick.Start([](const CWorkerThread::StopToken& stop) { stop.WaitForStop(INFINITE_WAIT); }));
    EXPECT_TRUE(quick.IsRunning());
    EXPECT_FALSE(quick.Start([](const CWorkerThread::StopToken&) {}));  // one worker at a time
    EXPECT_TRUE(quick.StopAndJoin(2000, L"quick timed out"));
    EXPECT_FALSE(quick.IsRunning());
    EXPECT_TRUE(g_lastPlatformLine.empty());

    auto release = std::make_shared<CEvent>(true, false);
    auto finished = std::make_shared<CEvent>(true, false);
    CWorkerThread stuck;
    stuck.Start([release, finished](const CWorkerThread::StopToken&) {
        release->Wait();
        finished->Set();
    });
    const uint64_t start = GetTickCount64();
    EXPECT_FALSE(stuck.StopAndJoin(100, L"stuck timed out"));
    EXPECT_GE(GetTickCount64() - start, 90u);
    EXPECT_EQ(g_lastPlatformLine, L"stuck timed out");
    EXPECT_FALSE(stuck.IsRunning());  // detached, no longer ours
    release->Set();                   // the detached worker still finishes on its own
    EXPECT_TRUE(finished->Wait(2000));
    SetPlatformLogSink(nullptr);
}
