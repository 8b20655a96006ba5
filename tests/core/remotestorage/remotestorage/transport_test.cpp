// The HTTP transport against loopback servers: status rules, result codes,
// cancel, exact request bytes, multipart layout and speed caps.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "loopbackserver.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::LoopbackServer;
using pellux_test::RawCaptureServer;
using Clock = std::chrono::steady_clock;

const wchar_t kServiceHeaders[] = L"v:2&User-Agent:pellux";

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// Sleeps in small steps so a stopping fixture is not held up.
void SleepUnlessStopping(const LoopbackServer& server, int ms) {
    for (int waited = 0; waited < ms && !server.stopping; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Loopback must never go through a proxy of the machine.
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
            unsetenv(name);
        }
        ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
        transport->SetSpeedLimit(0, 0);
    }

    CComPtr<ITransport> transport;
};

TEST_F(TransportTest, TextRequestsReturnTheBodyWhateverTheStatus) {
    LoopbackServer server;
    std::string method, body;
    auto failing = [&](const httplib::Request& request, httplib::Response& response) {
        method = request.method;
        body = request.body;
        response.status = 500;
        response.set_content("server says no", "text/plain");
    };
    server.Routes().Post("/xsvr/op/", failing);
    server.Routes().Get("/xsvr/op/", failing);
    server.Start();

    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Request(server.Url("/xsvr/op/").c_str(), kServiceHeaders, L"<a>\u00e9</a>",
                                       &reply, 30, false));
    EXPECT_EQ(L"server says no", reply);
    EXPECT_EQ("POST", method);
    EXPECT_EQ("<a>\xc3\xa9</a>", body);  // UTF-8 on the wire

    reply = L"stale";
    EXPECT_EQ(S_OK, transport->Request(server.Url("/xsvr/op/").c_str(), nullptr, nullptr, &reply, 30, false));
    EXPECT_EQ("GET", method);
    EXPECT_EQ(L"server says no", reply);
}

TEST_F(TransportTest, DownloadsNeedExactly200AfterRedirects) {
    LoopbackServer server;
    server.Routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/blob");
    });
    server.Routes().Get("/blob", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("\x00\x01payload", 9), "application/octet-stream");
    });
    server.Routes().Get("/partial", [](const httplib::Request&, httplib::Response& response) {
        response.status = 206;
        response.set_content("part", "application/octet-stream");
    });
    server.Routes().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("not here", "text/plain");
    });
    server.Start();
    const std::string folder = pellux_test::MakeTempDir("download");

    // Missing folders above the file are created first.
    const std::string target = folder + "/a/b/file.bin";
    EXPECT_EQ(S_OK, transport->Download(server.Url("/moved").c_str(), Wide(target).c_str(), kServiceHeaders,
                                        nullptr, 10800));
    EXPECT_EQ(std::string("\x00\x01payload", 9), pellux_test::ReadFile(target));

    EXPECT_EQ(E_RESULT_BAD_STUB, transport->Download(server.Url("/partial").c_str(),
                                                     Wide(folder + "/p").c_str(), nullptr, nullptr, 30));
    EXPECT_EQ(E_RESULT_BAD_STUB, transport->Download(server.Url("/missing").c_str(),
                                                     Wide(folder + "/m").c_str(), nullptr, nullptr, 30));
    EXPECT_EQ(E_FAIL, transport->Download(server.Url("/blob").c_str(), L"", nullptr, nullptr, 30));
    EXPECT_EQ(E_FAIL, transport->Download(server.Url("/blob").c_str(), nullptr, nullptr, nullptr, 30));
}

TEST_F(TransportTest, ARedirectLoopEndsTheDownloadInsteadOfRunningToItsTimeOut) {
    LoopbackServer server;
    std::atomic<int> hops{0};
    server.Routes().Get("/loop", [&](const httplib::Request&, httplib::Response& response) {
        ++hops;
        response.set_redirect("/loop");
    });
    server.Start();
    const std::string path = pellux_test::MakeTempDir() + "/loop";
    EXPECT_EQ(E_TRANSPORT_FAILED,
              transport->Download(server.Url("/loop").c_str(), Wide(path).c_str(), nullptr, nullptr, 20));
    EXPECT_LE(hops.load(), 31);
}

TEST_F(TransportTest, OnlyHttpAddressesAreFollowed) {
    // A download address from the service, or a redirect, must never read a local file.
    const std::string folder = pellux_test::MakeTempDir("scheme");
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/secret", "local bytes"));
    const std::string target = folder + "/copy";
    EXPECT_EQ(E_TRANSPORT_FAILED, transport->Download(Wide("file://" + folder + "/secret").c_str(),
                                                      Wide(target).c_str(), nullptr, nullptr, 20));
    EXPECT_NE(pellux_test::ReadFile(target), "local bytes");

    LoopbackServer server;
    server.Routes().Get("/to-file", [&](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("file://" + folder + "/secret");
    });
    server.Start();
    EXPECT_EQ(E_TRANSPORT_FAILED, transport->Download(server.Url("/to-file").c_str(), Wide(target).c_str(),
                                                      nullptr, nullptr, 20));
    EXPECT_NE(pellux_test::ReadFile(target), "local bytes");
}

TEST_F(TransportTest, UploadsNeedA2xxStatus) {
    LoopbackServer server;
    std::string fileName, fileContents;
    server.Routes().Post("/up/created", [&](const httplib::Request& request, httplib::Response& response) {
        const auto file = request.get_file_value("FileCont");
        fileName = file.filename;
        fileContents = file.content;
        response.status = 201;
        response.set_content("<xNorle><result>ok</result><fileVer>4</fileVer></xNorle>", "text/xml");
    });
    server.Routes().Post("/up/gone", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("nope", "text/plain");
    });
    server.Start();
    const std::string folder = pellux_test::MakeTempDir("upload");
    const std::string file = folder + "/{0B1C2D3E-0000-1111-2222-333344445555}";
    ASSERT_TRUE(pellux_test::WriteFile(file, "encoded bytes"));

    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Upload(server.Url("/up/created").c_str(), Wide(file).c_str(), kServiceHeaders,
                                      nullptr, &reply, 10800));
    EXPECT_EQ(L"<xNorle><result>ok</result><fileVer>4</fileVer></xNorle>", reply);
    EXPECT_EQ("{0B1C2D3E-0000-1111-2222-333344445555}", fileName);
    EXPECT_EQ("encoded bytes", fileContents);

    reply = L"untouched";
    EXPECT_EQ(E_TRANSPORT_FAILED, transport->Upload(server.Url("/up/gone").c_str(), Wide(file).c_str(),
                                                    nullptr, nullptr, &reply, 30));
    EXPECT_EQ(L"untouched", reply);
    EXPECT_EQ(E_FAIL,
              transport->Upload(server.Url("/up/created").c_str(), L"", nullptr, nullptr, &reply, 30));
    EXPECT_EQ(E_TRANSPORT_FAILED,
              transport->Upload(server.Url("/up/created").c_str(), Wide(folder + "/gone").c_str(), nullptr,
                                nullptr, &reply, 30));
}

TEST_F(TransportTest, ATransferPastItsTimeOutGivesTheTimeOutCode) {
    LoopbackServer server;
    server.Routes().Get("/slow", [&](const httplib::Request&, httplib::Response& response) {
        SleepUnlessStopping(server, 3000);
        response.set_content("late", "text/plain");
    });
    server.Start();
    std::wstring reply;
    EXPECT_EQ(E_TRANSPORT_TIMEOUT,
              transport->Request(server.Url("/slow").c_str(), nullptr, nullptr, &reply, 1, false));
}

TEST_F(TransportTest, AClosedPortGivesTheConnectCode) {
    // A port that was free a moment ago and has no listener now.
    int port;
    {
        LoopbackServer probe;
        probe.Start();
        port = probe.Port();
    }
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/xsvr/dir/";
    EXPECT_EQ(E_TRANSPORT_CONNECT,
              transport->Request(url.c_str(), kServiceHeaders, L"x", nullptr, 30, false));
    EXPECT_EQ(E_TRANSPORT_CONNECT,
              transport->Download(url.c_str(), Wide(pellux_test::MakeTempDir() + "/f").c_str(), nullptr,
                                  nullptr, 30));
}

// Streams a byte every 50 ms for up to 20 s, unless the client goes away.
void ServeSlowly(LoopbackServer& server) {
    server.Routes().Get("/trickle", [&server](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [&server](size_t offset, httplib::DataSink& sink) {
                                                  if (offset >= 400 || server.stopping) {
                                                      sink.done();
                                                      return true;
                                                  }
                                                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                                  return sink.write("x", 1);
                                              });
    });
}

TEST_F(TransportTest, CancelFromAnotherThreadStopsARunningTransfer) {
    LoopbackServer server;
    ServeSlowly(server);
    server.Start();
    Clock::time_point cancelledAt;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancelledAt = Clock::now();
        transport->Cancel(0);
    });
    const std::string path = pellux_test::MakeTempDir() + "/trickle";
    const HRESULT hr =
        transport->Download(server.Url("/trickle").c_str(), Wide(path).c_str(), nullptr, nullptr, 60);
    const double afterCancel = SecondsSince(cancelledAt);
    canceller.join();
    EXPECT_EQ(E_CANCELLED, hr);
    // Stops at the next progress call, well before the 20 s the server would take.
    EXPECT_LT(afterCancel, 3.0);
}

TEST_F(TransportTest, CancelEndsARequestTheServerHoldsWithoutSendingAnything) {
    // The push long-poll: nothing flows, yet a log-out must end it promptly.
    LoopbackServer server;
    server.Routes().Get("/sync/get", [&](const httplib::Request&, httplib::Response& response) {
        SleepUnlessStopping(server, 20000);
        response.set_content("late", "text/plain");
    });
    server.Start();
    Clock::time_point cancelledAt;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancelledAt = Clock::now();
        transport->Cancel(0);
    });
    std::wstring reply;
    const HRESULT hr =
        transport->Request(server.Url("/sync/get").c_str(), kServiceHeaders, nullptr, &reply, 270, false);
    const double afterCancel = SecondsSince(cancelledAt);
    canceller.join();
    EXPECT_EQ(E_CANCELLED, hr);
    EXPECT_LT(afterCancel, 3.0);
    EXPECT_TRUE(reply.empty());
}

TEST_F(TransportTest, ACancelBeforeTheTransferHasNoEffect) {
    LoopbackServer server;
    server.Routes().Get("/quick", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("fine", "text/plain");
    });
    server.Start();
    transport->Cancel(0);
    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Request(server.Url("/quick").c_str(), nullptr, nullptr, &reply, 30, false));
    EXPECT_EQ(L"fine", reply);
}

struct ProgressLog {
    std::atomic<int> calls{0};
    std::atomic<int64_t> downloadTotal{0};
    bool cancel = false;
};

HRESULT RecordProgress(void* context, int64_t downloadTotal, int64_t, int64_t, int64_t, int64_t) {
    ProgressLog* log = static_cast<ProgressLog*>(context);
    ++log->calls;
    if (downloadTotal > log->downloadTotal)
        log->downloadTotal = downloadTotal;
    return log->cancel ? E_FAIL : S_OK;
}

TEST_F(TransportTest, TheProgressCallbackSeesItsContextAndCanCancel) {
    LoopbackServer server;
    const std::string blob(300000, 'b');
    server.Routes().Get("/blob", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(blob, "application/octet-stream");
    });
    ServeSlowly(server);
    server.Start();
    const std::string folder = pellux_test::MakeTempDir();

    ProgressLog log;
    transport->SetProgressCallback(&RecordProgress, &log);
    EXPECT_EQ(S_OK, transport->Download(server.Url("/blob").c_str(), Wide(folder + "/b").c_str(), nullptr,
                                        nullptr, 30));
    EXPECT_GT(log.calls.load(), 0);
    EXPECT_EQ(static_cast<int64_t>(blob.size()), log.downloadTotal.load());

    log.cancel = true;
    EXPECT_EQ(E_CANCELLED, transport->Download(server.Url("/trickle").c_str(), Wide(folder + "/t").c_str(),
                                               nullptr, nullptr, 60));
}

TEST_F(TransportTest, RequestsCarryExactlyTheGivenHeaderLines) {
    RawCaptureServer raw;
    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Request(raw.Url("/xsvr/getSpace/").c_str(), kServiceHeaders,
                                       L"<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle></xNorle>",
                                       &reply, 30, false));
    EXPECT_EQ(L"ok", reply);
    const std::string request = raw.Request();
    EXPECT_EQ(0u, request.find("POST /xsvr/getSpace/ HTTP/1.1\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nv:2\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nUser-Agent:pellux\r\n")) << request;
    EXPECT_EQ(request.find("User-Agent"), request.rfind("User-Agent")) << request;
    EXPECT_EQ(std::string::npos, request.find("Cookie")) << request;
    EXPECT_NE(std::string::npos, request.find("Content-Type: application/x-www-form-urlencoded\r\n"))
        << request;
    EXPECT_NE(std::string::npos,
              request.find("\r\n\r\n<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle></xNorle>"))
        << request;
}

TEST_F(TransportTest, WithoutAHeaderTextOnlyLibcurlsOwnHeadersGoOut) {
    RawCaptureServer raw;
    EXPECT_EQ(S_OK,
              transport->Request(raw.Url("/api_server/").c_str(), nullptr, nullptr, nullptr, 10, false));
    const std::string request = raw.Request();
    EXPECT_EQ(0u, request.find("GET /api_server/ HTTP/1.1\r\n")) << request;
    EXPECT_EQ(std::string::npos, request.find("User-Agent")) << request;
}

TEST_F(TransportTest, MultipartUploadPutsTheFilePartLast) {
    RawCaptureServer raw;
    const std::string file = pellux_test::MakeTempDir() + "/{11111111-2222-3333-4444-555555555555}";
    ASSERT_TRUE(pellux_test::WriteFile(file, "FILEBYTES"));
    std::wstring reply;
    EXPECT_EQ(S_OK, transport->Upload(raw.Url("/store/up?stub=s1&uploadSize=9").c_str(), Wide(file).c_str(),
                                      kServiceHeaders, L"stub=a%20b&uploadSize=10&bad=%zz", &reply, 10800));
    EXPECT_EQ(L"ok", reply);
    const std::string request = raw.Request();
    EXPECT_EQ(0u, request.find("POST /store/up?stub=s1&uploadSize=9 HTTP/1.1\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nv:2\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("Content-Type: multipart/form-data; boundary=")) << request;
    const size_t stub = request.find("Content-Disposition: form-data; name=\"stub\"\r\n\r\na b\r\n");
    const size_t size = request.find("Content-Disposition: form-data; name=\"uploadSize\"\r\n\r\n10\r\n");
    const size_t bad = request.find("Content-Disposition: form-data; name=\"bad\"\r\n\r\n?\r\n");
    const size_t filePart = request.find(
        "Content-Disposition: form-data; name=\"FileCont\"; "
        "filename=\"{11111111-2222-3333-4444-555555555555}\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\nFILEBYTES\r\n");
    ASSERT_NE(std::string::npos, stub) << request;
    ASSERT_NE(std::string::npos, size) << request;
    ASSERT_NE(std::string::npos, bad) << request;
    ASSERT_NE(std::string::npos, filePart) << request;
    EXPECT_LT(stub, size);
    EXPECT_LT(size, bad);
    EXPECT_LT(bad, filePart);
    EXPECT_EQ(std::string::npos, request.find("Content-Disposition", filePart + 1)) << request;
}

TEST_F(TransportTest, AnUploadCapSlowsARealTransfer) {
    LoopbackServer server;
    size_t received = 0;
    server.Routes().Post("/up", [&](const httplib::Request& request, httplib::Response& response) {
        received = request.get_file_value("FileCont").content.size();
        response.set_content("ok", "text/plain");
    });
    server.Start();
    const std::string file = pellux_test::MakeTempDir() + "/big";
    ASSERT_TRUE(pellux_test::WriteFile(file, std::string(120 * 1024, 'u')));
    transport->SetSpeedLimit(40 * 1024, 0);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(S_OK, transport->Upload(server.Url("/up").c_str(), Wide(file).c_str(), nullptr, nullptr,
                                      nullptr, 60));
    EXPECT_GE(SecondsSince(start), 1.5);
    EXPECT_EQ(120u * 1024, received);
}

TEST(TransportProcessTest, BrokenPipesDoNotKillTheProcess) {
    struct sigaction action {};
    ASSERT_EQ(0, sigaction(SIGPIPE, nullptr, &action));
    EXPECT_EQ(SIG_IGN, action.sa_handler);
}

TEST(TransportProcessTest, SessionsMadeOnManyThreadsAtOnceAllWork) {
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY"})
        unsetenv(name);
    LoopbackServer server;
    server.Routes().Get("/hello", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("hello", "text/plain");
    });
    server.Start();
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            CComPtr<ITransport> transport;
            std::wstring reply;
            if (SUCCEEDED(CTransport::CreateInstance(&transport)) &&
                transport->Request(server.Url("/hello").c_str(), nullptr, nullptr, &reply, 30, false) ==
                    S_OK &&
                reply == L"hello") {
                ++good;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(8, good.load());
}

}  // namespace
