// The service-state monitor with a fake sync center and a loopback state
// service: when the network counts as failing, when the state service is
// asked, and what a maintenance notice posts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/servicestatemonitor.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "loopbackserver.h"
#include "platform/strings.h"
#include "tests/support/closedport.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::LoopbackServer;

// Records what the monitor posts, as the sync center's override slot would.
// Posts come on the reporting thread, so the test reads it once reports return.
struct FakeSyncCenter : IServiceStateSink {
    void SetOverrideStatus(const ServiceStateRecord& record) override {
        posted.push_back(record);
        shown = record.type;
    }
    void ClearOverrideStatus() override {
        ++clears;
        shown = 0;
    }
    std::vector<ServiceStateRecord> posted;
    uint32_t shown = 0;
    int clears = 0;
};

// A state service whose answer the test sets between checks; counts how often it is asked.
class StateService : public LoopbackServer {
public:
    StateService() {
        Routes().Get("/api_server/", [this](const httplib::Request& request, httplib::Response& response) {
            ++hits;
            headers = request.headers;
            response.set_content(answer, "text/xml");
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        });
        Start();
    }
    // Stopped before the members its handler reads are gone.
    ~StateService() { Stop(); }
    std::wstring StateUrl() const { return Url("/api_server/"); }

    std::string answer = "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><State>normal</State></r>";
    std::atomic<int> hits{0};
    int delayMs = 0;
    httplib::Headers headers;
};

const char kMaintenance[] =
    "<?xml version=\"1.0\" "
    "encoding=\"utf-8\"?><r><State>MAINTAIN</State><Title>\xe7\xbb\xb4\xe6\x8a\xa4</Title>"
    "<Content>back at noon</Content><URL>http://status.example/</URL></r>";

class ServiceStateTest : public ::testing::Test {
protected:
    void SetUp() override { pellux_test::ClearProxyEnvironment(); }
    StateService service;
    FakeSyncCenter center;
};

// Scripted runs: each step may change the state service's answer, then reports
// 'b'ad or 'g'ood outcomes ('S' stops the service, 'D' disables the monitor,
// 'N' enables it without a sync center) and checks what followed.
TEST_F(ServiceStateTest, ReportsDecideWhenTheStateServiceIsAskedAndWhatIsPosted) {
    const int64_t kNet = kStatusNetworkFailing, kNotice = kStatusServiceNotice, x = -1;  // x: not checked
    const char* kKeep = nullptr;
    struct Step {
        const char* answer;
        std::string reports;
        int hits;
        int64_t shown, posted, clears;
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> runs{
        // Three bad reports post one network record, the fourth asks the service; the count starts again.
        {"three bad",
         {{kKeep, "bbb", 0, kNet, 1, x},
          {kKeep, "b", 1, x, 1, x},
          {kKeep, "bbb", 1, x, x, x},
          {kKeep, "b", 2, x, x, x}}},
        // A good report clears the override once but keeps the count.
        {"good clears",
         {{kKeep, "bb", 0, kNet, x, x},
          {kKeep, "g", 0, 0, x, 1},
          {kKeep, "g", 0, 0, x, 1},
          {kKeep, "b", 0, x, 2, x},
          {kKeep, "b", 1, x, x, x}}},
        // A notice stops the counting, every good report asks again, a failed check ends it.
        {"maintenance",
         {{kMaintenance, "bbbb", 1, kNotice, 2, x},
          {kKeep, "bbbbb", 1, x, x, x},
          {kKeep, "g", 2, kNotice, x, x},
          {kKeep, "g", 3, x, x, x},
          {"this is not xml <<<", "g", 4, x, x, x},
          {kKeep, "g", 4, x, x, x}}},
        // An empty answer keeps the notice; an unreachable service ends it.
        {"empty answer",
         {{kMaintenance, "bbbb", 1, kNotice, x, x},
          {"", "g", 2, x, x, x},
          {kKeep, "g", 3, x, x, x},
          {kKeep, "Sggg", 3, x, x, x}}},
        // A monitor turned off, or without a sync center, changes nothing.
        {"turned off", {{kMaintenance, "Dbbbbbbg", 0, 0, 0, 0}, {kKeep, "Nbbbbg", 0, 0, 0, 0}}},
        // States other than maintenance post nothing.
        {"other state", {{"<r><State>maintained</State><Title>t</Title></r>", "bbbb", 1, x, 1, x}}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.first);
        StateService service;
        FakeSyncCenter center;
        ServiceStateMonitor monitor(service.StateUrl());
        monitor.Enable(&center);
        for (const Step& step : run.second) {
            SCOPED_TRACE(step.reports);
            if (step.answer)
                service.answer = step.answer;
            for (char report : step.reports) {
                if (report == 'S')
                    service.Stop();
                else if (report == 'D')
                    monitor.Disable();
                else if (report == 'N')
                    monitor.Enable(nullptr);
                else
                    monitor.Report(report == 'g');
            }
            EXPECT_EQ(step.hits, service.hits);
            for (const auto& check : std::vector<std::pair<int64_t, int64_t>>{
                     {step.shown, center.shown},
                     {step.posted, static_cast<int64_t>(center.posted.size())},
                     {step.clears, center.clears}}) {
                EXPECT_TRUE(check.first == x || check.first == check.second)
                    << "want " << check.first << ", got " << check.second;
            }
        }
        if (!center.posted.empty()) {
            EXPECT_EQ(kNet, center.posted[0].type);
            EXPECT_TRUE(center.posted[0].title.empty());
        }
    }
}

// A check's notice lands even after reports made meanwhile, its texts cut to their field.
TEST_F(ServiceStateTest, ReportsDuringARunningCheckDoNotWaitForIt) {
    const std::string x(400, 'x');
    service.answer = "<r><State>Maintain</State><Title>\xe7\xbb\xb4\xe6\x8a\xa4" + x + "</Title><Content>" +
                     x + "</Content><URL>http://status.example/</URL></r>";
    service.delayMs = 1500;
    ServiceStateMonitor monitor(service.StateUrl());
    monitor.Enable(&center);
    for (int i = 0; i < 3; ++i)
        monitor.Report(false);
    std::thread checker([&] { monitor.Report(false); });
    while (service.hits == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto start = std::chrono::steady_clock::now();
    monitor.Report(true);
    monitor.Report(false);
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    checker.join();
    EXPECT_LT(waited, 1.0);
    EXPECT_EQ(1, service.hits);  // one check at a time
    EXPECT_EQ(kStatusServiceNotice, center.shown);
    const ServiceStateRecord& notice = center.posted.back();
    EXPECT_EQ(L"\u7ef4\u62a4" + std::wstring(kStatusTextMax - 2, L'x'), notice.title);
    EXPECT_EQ(std::wstring(kStatusTextMax, L'x'), notice.content);
    EXPECT_EQ(L"http://status.example/", notice.url);
    // The state service gets no header list of the storage service.
    EXPECT_EQ(0u, service.headers.count("v"));
}

// The process-wide monitor, fed by real transfers.
class ReportHookTest : public ServiceStateTest {
protected:
    void TearDown() override { ServiceStateMonitor::Instance().Disable(); }
};

TEST_F(ReportHookTest, TransfersReportTransportFailuresAsBadAndServiceFailuresAsGood) {
    ServiceStateMonitor::Instance().Enable(&center);
    ReportTransportResult(E_RESULT_SERVER_BUSY);  // the service answered: good
    EXPECT_EQ(1, center.clears);
    EXPECT_TRUE(center.posted.empty());

    const std::wstring url =
        Utf8ToWide("http://127.0.0.1:" + std::to_string(pellux_test::ClosedLoopbackPort()) + "/x");
    CComPtr<ITransport> transport;
    ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
    // Without the report flag a request does not count.
    EXPECT_EQ(E_TRANSPORT_CONNECT, transport->Request(url.c_str(), nullptr, L"b", nullptr, 5, false));
    EXPECT_TRUE(center.posted.empty());
    EXPECT_EQ(E_TRANSPORT_CONNECT, transport->Request(url.c_str(), nullptr, L"b", nullptr, 5, true));
    ASSERT_EQ(1u, center.posted.size());
    EXPECT_EQ(kStatusNetworkFailing, center.posted[0].type);

    // Downloads and uploads always report, an empty path included (E_FAIL is good).
    EXPECT_EQ(E_FAIL, transport->Download(url.c_str(), L"", nullptr, nullptr, 5));
    EXPECT_EQ(2, center.clears);
    const std::string path = pellux_test::MakeTempDir() + "/f";
    EXPECT_EQ(E_TRANSPORT_CONNECT,
              transport->Download(url.c_str(), std::wstring(path.begin(), path.end()).c_str(), nullptr,
                                  nullptr, 5));
    EXPECT_EQ(2u, center.posted.size());
}

// Disabling the monitor while another thread is handing it a change: once
// Disable returns, the sink is never called again.
// A sync center whose override slot is slow to take a post.
struct SlowSink : IServiceStateSink {
    void SetOverrideStatus(const ServiceStateRecord&) override { Post(); }
    void ClearOverrideStatus() override { Post(); }

    std::atomic<bool> entered{false};
    std::atomic<bool> inCall{false};
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
