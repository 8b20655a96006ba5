// The HTTP transport against loopback servers: status rules, result codes,
// cancel, hostile bodies, exact request bytes, multipart layout and speed caps.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "loopbackserver.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::CancelWhenAsked;
using pellux_test::LoopbackServer;
using Clock = std::chrono::steady_clock;

const wchar_t kServiceHeaders[] = L"v:2&User-Agent:pellux";

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        pellux_test::ClearProxyEnvironment();
        ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
        transport->SetSpeedLimit(0, 0);
        folder = pellux_test::MakeTempDir("transport");
    }
    void TearDown() override { SetDownloadStallFloor(DownloadStallFloor()); }
    std::wstring Path(const std::string& name) const { return Utf8ToWide(folder + "/" + name); }

    CComPtr<ITransport> transport;
    std::string folder;
};

// Text requests return the body whatever the status; downloads need exactly 200
// after redirects and only over HTTP; uploads need a 2xx status.
TEST_F(TransportTest, EveryTransferKindFollowsItsStatusRules) {
    LoopbackServer server;
    std::atomic<int> hops{0};
    const std::string blob("\x00\x01payload", 9);
    auto status = [](int code) {
        return [code](const httplib::Request&, httplib::Response& response) {
            response.status = code;
            response.set_content("part", "application/octet-stream");
        };
    };
    auto Routes = [&]() -> httplib::Server& { return server.Routes(); };
    Routes().Post("/op", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content("server says no", "text/plain");
    });
    Routes().Get("/moved", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/blob"); });
    Routes().Get("/blob", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content(blob, "application/octet-stream");
    });
    Routes().Get("/partial", status(206));
    Routes().Post("/up/gone", status(404));
    Routes().Get("/loop", [&](const httplib::Request&, httplib::Response& r) {
        ++hops;
        r.set_redirect("/loop");
    });
    Routes().Get("/to-file", [&](const httplib::Request&, httplib::Response& r) {
        r.set_redirect("file://" + folder + "/secret");
    });
    Routes().Get("/slow", [&](const httplib::Request&, httplib::Response& r) {
        pellux_test::SleepUnlessStopping(server, 3000);
        r.set_content("late", "text/plain");
    });
    Routes().Post("/up/created", [](const httplib::Request&, httplib::Response& r) {
        r.status = 201;
        r.set_content("<xNorle><result>ok</result></xNorle>", "text/xml");
    });
    server.Start();
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/secret", "local bytes"));
    const std::string upload = folder + "/{0B1C2D3E-0000-1111-2222-333344445555}";
    ASSERT_TRUE(pellux_test::WriteFile(upload, "encoded bytes"));
    const std::wstring url = server.Url("");
    std::wstring reply;
    auto Download = [&](const std::string& path, const std::wstring& target) {
        return transport->Download((url + Utf8ToWide(path)).c_str(), target.c_str(), kServiceHeaders, nullptr,
                                   20);
    };
    auto Upload = [&](const std::string& path, const std::wstring& file) {
        return transport->Upload((url + Utf8ToWide(path)).c_str(), file.c_str(), kServiceHeaders, nullptr,
                                 &reply, 30);
    };
    struct Case {
        const char* what;
        std::function<HRESULT()> call;
        HRESULT expected;
        std::function<void()> check;
    };
    const std::vector<Case> cases = {
        {"POST of a failing status",
         [&] {
             return transport->Request((url + L"/op").c_str(), kServiceHeaders, L"<a>\u00e9</a>", &reply, 30,
                                       false);
         },
         S_OK, [&] { EXPECT_EQ(L"server says no", reply); }},
        {"a cancel before the transfer has no effect",
         [&] {
             transport->Cancel(0);
             return Download("/blob", Path("early"));
         },
         S_OK, [&] { EXPECT_EQ(blob, pellux_test::ReadFile(folder + "/early")); }},
        // Missing folders above the file are created first.
        {"download after a redirect", [&] { return Download("/moved", Path("a/b/file.bin")); }, S_OK,
         [&] { EXPECT_EQ(blob, pellux_test::ReadFile(folder + "/a/b/file.bin")); }},
        {"download of a 206", [&] { return Download("/partial", Path("p")); }, E_RESULT_BAD_STUB, nullptr},
        {"download to no path",
         [&] { return transport->Download((url + L"/blob").c_str(), nullptr, nullptr, nullptr, 30); }, E_FAIL,
         nullptr},
        {"redirect loop", [&] { return Download("/loop", Path("loop")); }, E_TRANSPORT_FAILED,
         [&] { EXPECT_LE(hops.load(), 31); }},
        // A download address from the service, or a redirect, must never read a local file.
        {"file address",
         [&] {
             return transport->Download(Utf8ToWide("file://" + folder + "/secret").c_str(),
                                        Path("copy1").c_str(), nullptr, nullptr, 20);
         },
         E_TRANSPORT_FAILED, [&] { EXPECT_NE(pellux_test::ReadFile(folder + "/copy1"), "local bytes"); }},
        {"redirect to a file address", [&] { return Download("/to-file", Path("copy2")); },
         E_TRANSPORT_FAILED, [&] { EXPECT_NE(pellux_test::ReadFile(folder + "/copy2"), "local bytes"); }},
        {"request past its time-out",
         [&] { return transport->Request((url + L"/slow").c_str(), nullptr, nullptr, &reply, 1, false); },
         E_TRANSPORT_TIMEOUT, nullptr},
        {"upload answered 201", [&] { return Upload("/up/created", Utf8ToWide(upload)); }, S_OK,
         [&] { EXPECT_EQ(L"<xNorle><result>ok</result></xNorle>", reply); }},
        {"upload answered 404", [&] { return Upload("/up/gone", Utf8ToWide(upload)); }, E_TRANSPORT_FAILED,
         [&] { EXPECT_EQ(L"stale", reply); }},
        {"upload of an empty path", [&] { return Upload("/up/created", L""); }, E_FAIL, nullptr},
        {"upload of a missing file", [&] { return Upload("/up/created", Path("gone")); }, E_TRANSPORT_FAILED,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reply = L"stale";
        EXPECT_EQ(c.expected, c.call());
        if (c.check)
            c.check();
    }
}

// Hostile bodies: endless or trickling far below any rate floor.
TEST_F(TransportTest, EndlessOrStalledBodiesEndAsTransportFailures) {
    LoopbackServer server;
    // "/count/piece/pause": filler streamed in pieces, pausing (ms) before each.
    server.Routes().Get(
        R"(/(\d+)/(\d+)/(\d+))", [&server](const httplib::Request& request, httplib::Response& r) {
            pellux_test::StreamBytes(server, r, std::stoull(request.matches[1]),
                                     std::stoull(request.matches[2]), std::stoi(request.matches[3]));
        });
    server.Start();
    SetDownloadStallFloor(DownloadStallFloor{1024, 2});

    std::wstring reply = L"stale";
    EXPECT_EQ(E_TRANSPORT_FAILED,
              transport->Request(
                  server.Url("/" + std::to_string(kMaxReplyBytes + (1u << 20)) + "/1048576/0").c_str(),
                  nullptr, nullptr, &reply, 60, false));
    EXPECT_TRUE(reply.empty());

    struct Case {
        const char* what;
        std::string path;
        int64_t maxBytes;
        uint32_t downloadCap;
        HRESULT expected;
        int64_t mostWritten;
    };
    const std::vector<Case> cases = {
        {"longer than announced", "/8388608/65536/0", 1 << 20, 0, E_TRANSPORT_FAILED, 1 << 20},
        // One byte every 100 ms for six seconds: alive, but far below any floor.
        {"under the rate floor", "/60/1/100", -1, 0, E_TRANSPORT_TIMEOUT, 60},
        // 500 bytes a second for three seconds: slow, but faster than the user's cap allows.
        {"under the floor as the user capped it", "/1500/50/100", -1, 600, S_OK, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder + "/download.bin";
        transport->SetMaxDownloadBytes(c.maxBytes);
        transport->SetSpeedLimit(0, c.downloadCap);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.expected, transport->Download(server.Url(c.path).c_str(), Utf8ToWide(path).c_str(),
                                                  nullptr, nullptr, 60));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_LE(static_cast<int64_t>(pellux_test::ReadFile(path).size()), c.mostWritten);
    }
}

// Cancel from another thread, or the progress callback, stops a transfer at the next
// progress call, even the push long-poll where nothing flows.
TEST_F(TransportTest, CancelStopsARunningTransferPromptly) {
    LoopbackServer server;
    server.Routes().Get("/trickle", [&server](const httplib::Request&, httplib::Response& r) {
        pellux_test::StreamBytes(server, r, 400, 1, 50);
    });
    server.Routes().Get("/sync/get", [&](const httplib::Request&, httplib::Response& r) {
        pellux_test::SleepUnlessStopping(server, 20000);
        r.set_content("late", "text/plain");
    });
    server.Start();
    for (int kind = 0; kind < 4; ++kind) {
        const bool held = kind % 2 != 0, byCallback = kind >= 2;
        SCOPED_TRACE(std::string(held ? "held request" : "trickling download") +
                     (byCallback ? " by callback" : " by Cancel"));
        std::atomic<bool> stop{false};
        transport->SetProgressCallback(byCallback ? &CancelWhenAsked : nullptr, &stop);
        Clock::time_point cancelledAt;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancelledAt = Clock::now();
            stop = true;
            if (!byCallback)
                transport->Cancel(0);
        });
        std::wstring reply;
        const HRESULT hr = held ? transport->Request(server.Url("/sync/get").c_str(), kServiceHeaders,
                                                     nullptr, &reply, 270, false)
                                : transport->Download(server.Url("/trickle").c_str(), Path("t").c_str(),
                                                      nullptr, nullptr, 60);
        canceller.join();
        EXPECT_EQ(E_CANCELLED, hr);
        // The callback is asked about once a second; allow for a busy machine.
        EXPECT_LT(SecondsSince(cancelledAt), 3.0);
        EXPECT_TRUE(reply.empty());
    }
}

// Exactly the given header lines go out, without a header text only libcurl's
// own; an upload's fields come first and the file part last.
TEST_F(TransportTest, RequestsCarryExactlyTheGivenHeaderLinesAndUploadsPutTheFilePartLast) {
    pellux_test::CaptureServer server;
    const std::wstring document = L"<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>\u00e9</xNorle>";
    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Request(server.Url("/xsvr/getSpace/").c_str(), kServiceHeaders,
                                       document.c_str(), &reply, 30, false));
    EXPECT_EQ(L"ok", reply);
    const pellux_test::CapturedRequest& request = server.last;
    EXPECT_EQ("POST /xsvr/getSpace/", request.method + " " + request.target);
    EXPECT_EQ("2", request.Header("v"));
    ASSERT_EQ(1u, request.headers.count("User-Agent"));
    EXPECT_EQ("pellux", request.Header("User-Agent"));
    EXPECT_EQ(0u, request.headers.count("Cookie"));
    EXPECT_EQ("application/x-www-form-urlencoded", request.Header("Content-Type"));
    EXPECT_EQ(WideToUtf8(document), request.body);  // UTF-8 on the wire

    EXPECT_EQ(S_OK,
              transport->Request(server.Url("/api_server/").c_str(), nullptr, nullptr, nullptr, 10, false));
    EXPECT_EQ("GET /api_server/", request.method + " " + request.target);
    EXPECT_EQ(0u, request.headers.count("User-Agent"));

    const std::string name = "{11111111-2222-3333-4444-555555555555}";
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/" + name, "FILEBYTES"));
    EXPECT_EQ(S_OK,
              transport->Upload(server.Url("/store/up?stub=s1&uploadSize=9").c_str(), Path(name).c_str(),
                                kServiceHeaders, L"stub=a%20b&uploadSize=10&bad=%zz", &reply, 10800));
    EXPECT_EQ(L"ok", reply);
    EXPECT_EQ("/store/up?stub=s1&uploadSize=9", request.target);
    EXPECT_EQ("2", request.Header("v"));
    std::string parts;
    for (const httplib::MultipartFormData& part : request.parts)
        parts += part.name + "|" + part.filename + "|" + part.content_type + "|" + part.content + "\n";
    EXPECT_EQ(
        "stub|||a b\nuploadSize|||10\nbad|||?\nFileCont|" + name + "|application/octet-stream|FILEBYTES\n",
        parts);
}

// A peer that goes away mid-transfer must not end the process.
TEST(TransportProcessTest, BrokenPipesDoNotKillTheProcess) {
    struct sigaction action {};
    ASSERT_EQ(0, sigaction(SIGPIPE, nullptr, &action));
    EXPECT_EQ(SIG_IGN, action.sa_handler);
}

}  // namespace
