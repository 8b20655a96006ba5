// Disabling the service-state monitor while another thread is handing it a
// change: once Disable returns, the sink is never called again.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/remotestorage/remotestorage/servicestatemonitor.h"

namespace {

// A sync center whose override slot is slow to take a post.
class SlowSink : public IServiceStateSink {
public:
    void SetOverrideStatus(const ServiceStateRecord&) override { Post(); }
    void ClearOverrideStatus() override { Post(); }

    std::atomic<bool> entered{false};
    std::atomic<bool> inCall{false};

private:
    void Post() {
        inCall = true;
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        inCall = false;
    }
};

TEST(ServiceStateDisable, WaitsForAPostInFlight) {
    for (bool good : {false, true}) {
        SCOPED_TRACE(good ? "clear" : "set");
        SlowSink sink;
        ServiceStateMonitor monitor(L"http://127.0.0.1:9/");
        monitor.Enable(&sink);
        if (good)
            monitor.Report(false);  // the first report is news; the clear follows it
        sink.entered = false;
        std::thread reporter([&monitor, good] { monitor.Report(good); });
        for (int waited = 0; waited < 5000 && !sink.entered; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(sink.entered);
        monitor.Disable();
        EXPECT_FALSE(sink.inCall);
        reporter.join();
    }
}

}  // namespace
