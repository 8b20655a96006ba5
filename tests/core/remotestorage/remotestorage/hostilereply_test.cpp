// The client against a hostile service on loopback: replies built to exhaust
// the stack, the memory or the processor, endless and trickling bodies, and
// values that must reach the service exactly as it handed them out.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "loopbackserver.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::LoopbackServer;
using pellux_test::RawCaptureServer;

std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

// "<?x>" is unknown markup to the parser and ends at its ">"; what follows
// nests deep enough to overflow the stack of a recursive parser.
std::string NestingBehindProcessingInstruction() {
    return "<?x>" + Repeat("<a>", 40000);
}

class HostileReplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        pellux_test::ClearProxyEnvironment();
        ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
        transport->SetSpeedLimit(0, 0);
        folder = pellux_test::MakeTempDir("hostile");
    }
    void TearDown() override { SetDownloadStallFloor(DownloadStallFloor()); }
    // A storage whose settings name the given service root.
    CComPtr<IRemoteStorage> StorageAt(const std::wstring& root) {
        const std::string config = pellux_test::MakeTempDir("config");
        EXPECT_TRUE(pellux_test::WriteFile(config + "/config.ini",
                                           "[Pellux]\nServerRoot=" + WideToUtf8(root) + "\n"));
        SetIniFolder(Utf8ToWide(config));
        CComPtr<IRemoteStorage> storage;
        EXPECT_EQ(S_OK, CreateRemoteStorage(&storage));
        return storage;
    }

    CComPtr<ITransport> transport;
    std::string folder;
};

TEST(HostileReplyParse, RefusesRepliesBuiltToExhaustTheParser) {
    std::string manyAttributes = "<r";
    for (int i = 0; i < 150000; ++i)
        manyAttributes += " a" + std::to_string(i) + "=\"\"";
    manyAttributes += "/>";
    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"nesting behind <?x>", NestingBehindProcessingInstruction()},
        {"nesting behind <!x>", "<!x>" + Repeat("<a>", 40000)},
        {"nesting of elements named by a DEL byte", Repeat("<\x7f>", 40000)},
        {"plain nesting 200,000 deep", Repeat("<a>", 200000) + Repeat("</a>", 200000)},
        {"unterminated <?", "<r><?x" + Repeat("<a>", 40000)},
        {"unterminated comment", "<r><!--" + Repeat("<a>", 300)},
        {"unterminated CDATA", "<r><![CDATA[" + Repeat("<a>", 300)},
        {"declaration reading past its >", "<r><?xml version='>" + Repeat("<a>", 300) + "'?>"},
        {"150,000 attributes on the root", manyAttributes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XmlNode node(L"keep");
        EXPECT_EQ(E_FAIL, node.Parse(Utf8ToWide(c.text)));
        EXPECT_TRUE(node.name == L"keep" && node.children.empty() && node.values.empty());
    }
}

TEST(HostileReplyParse, AMillionItemListingStillParses) {
    std::string listing = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><result><code>0</code>";
    const int kItems = 1000000;
    for (int i = 0; i < kItems; ++i)
        listing += "<item><name>file" + std::to_string(i) + ".txt</name><fileId>" + std::to_string(i) +
                   "</fileId><size>1</size></item>";
    listing += "</result>";
    XmlNode node;
    ASSERT_EQ(S_OK, node.Parse(Utf8ToWide(listing)));
    ASSERT_EQ(static_cast<size_t>(kItems), node.children.size());
    EXPECT_EQ(L"file999999.txt", node.children.back().GetValue(L"name"));
}

TEST_F(HostileReplyTest, DirRefusesANestingBombInsteadOfCrashing) {
    LoopbackServer server;
    server.Routes().Post("/xsvr/dir/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(NestingBehindProcessingInstruction(), "text/xml");
    });
    server.Start();
    CComPtr<IRemoteStorage> storage = StorageAt(server.Url(""));
    TaskData_Dir* data = TaskData_Dir::Create();
    data->token = L"t";
    XmlNode reply;
    EXPECT_TRUE(FAILED(storage->Dir(data, nullptr, nullptr, &reply)));
    data->Release();
}

TEST_F(HostileReplyTest, EndlessOrStalledBodiesEndAsTransportFailures) {
    LoopbackServer server;
    const size_t kPastTheCap = kMaxReplyBytes + (1u << 20);
    server.Routes().Get("/endless-text",
                        [&server, kPastTheCap](const httplib::Request&, httplib::Response& r) {
                            pellux_test::StreamBytes(server, r, kPastTheCap, 1u << 20, 0);
                        });
    server.Routes().Get("/endless-file", [&server](const httplib::Request&, httplib::Response& r) {
        pellux_test::StreamBytes(server, r, 8u << 20, 64u << 10, 0);
    });
    // One byte every 100 ms for six seconds: alive, but far below any floor.
    server.Routes().Get("/trickle", [&server](const httplib::Request&, httplib::Response& r) {
        pellux_test::StreamBytes(server, r, 60, 1, 100);
    });
    // 500 bytes a second for three seconds: slow, but faster than the user's cap allows.
    server.Routes().Get("/capped", [&server](const httplib::Request&, httplib::Response& r) {
        pellux_test::StreamBytes(server, r, 1500, 50, 100);
    });
    server.Start();
    SetDownloadStallFloor(DownloadStallFloor{1024, 2});

    std::wstring reply = L"stale";
    EXPECT_EQ(E_TRANSPORT_FAILED,
              transport->Request(server.Url("/endless-text").c_str(), nullptr, nullptr, &reply, 60, false));
    EXPECT_TRUE(reply.empty());

    struct Case {
        const char* what;
        const char* path;
        int64_t maxBytes;
        uint32_t downloadCap;
        HRESULT expected;
        int64_t mostWritten;
    };
    const std::vector<Case> cases = {
        {"longer than announced", "/endless-file", 1 << 20, 0, E_TRANSPORT_FAILED, 1 << 20},
        {"under the rate floor", "/trickle", -1, 0, E_TRANSPORT_TIMEOUT, 60},
        {"under the floor as the user capped it", "/capped", -1, 600, S_OK, 1500},
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

TEST_F(HostileReplyTest, ServiceValuesReachTheServiceAsGiven) {
    RawCaptureServer server;
    CComPtr<IRemoteStorage> storage = StorageAt(server.Url(""));
    TaskData_UpdateFile* data = TaskData_UpdateFile::Create();
    data->uploadAddress = server.Url("/store/up?");
    data->stub = L"a%2B/b=c+d";
    data->uploadSize = L"5";
    data->uploadSha1 = L"aaf4c61ddcc5e8a2dabede0f3b482cd9aea9434d";
    data->encodedFilePath = Utf8ToWide(folder + "/encoded.bin");
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/encoded.bin", "hello"));
    XmlNode reply;
    storage->_UploadFile(data, nullptr, nullptr, &reply);
    data->Release();
    const std::string request = server.Request();
    EXPECT_EQ(0u, request.find("POST /store/up?stub=a%2B/b=c+d&uploadSize=5&uploadSha1=aaf4c61d"))
        << request.substr(0, 120);
}

}  // namespace
