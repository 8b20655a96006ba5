// What a transport takes from the settings file and the registry, seen on
// real loopback transfers: speed caps, the TLS opt-out and the proxy.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "loopbackserver.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::LoopbackServer;

class TransportSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        pellux_test::ClearProxyEnvironment();
        m_folder = pellux_test::MakeTempDir("config");
        SetIniFolder(Utf8ToWide(m_folder));
    }
    void TearDown() override {
        pellux_test::WriteFile(m_folder + "/config.ini", "");
        RegWriteDword(L"", L"ProxyServerType", 0);
    }
    void WriteConfig(const std::string& text) {
        ASSERT_TRUE(pellux_test::WriteFile(m_folder + "/config.ini", text));
    }

    std::string m_folder;
};

// 2 MiB down at 512 KiB/s and 120 KiB up at 40 KiB/s take seconds; only a loose
// lower bound is asserted.
TEST_F(TransportSettingsTest, SpeedCapsFromTheSettingsFileSlowRealTransfers) {
    WriteConfig("[Debug]\nDownloadSpeed=-1\n[Pellux]\nDownloadSpeed=524288\nUploadSpeed=40960\n");
    LoopbackServer server;
    const std::string blob(2048 * 1024, 'c');
    size_t received = 0;
    server.Routes().Get("/blob", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(blob, "application/octet-stream");
    });
    server.Routes().Post("/up", [&](const httplib::Request& request, httplib::Response& response) {
        received = request.get_file_value("FileCont").content.size();
        response.set_content("ok", "text/plain");
    });
    server.Start();
    CComPtr<ITransport> transport;
    ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
    const std::wstring path = Utf8ToWide(m_folder + "/capped");
    ASSERT_TRUE(pellux_test::WriteFile(m_folder + "/up", std::string(120 * 1024, 'u')));
    for (bool upload : {false, true}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(S_OK,
                  upload
                      ? transport->Upload(server.Url("/up").c_str(), Utf8ToWide(m_folder + "/up").c_str(),
                                          nullptr, nullptr, nullptr, 60)
                      : transport->Download(server.Url("/blob").c_str(), path.c_str(), nullptr, nullptr, 60));
        EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.5);
    }
    EXPECT_EQ(blob.size(), pellux_test::ReadFile(m_folder + "/capped").size());
    EXPECT_EQ(120u * 1024, received);
}

// Type 0 goes direct whatever the proxy values and the environment say; a proxy
// set later is read again by the same transport, with its credentials.
TEST_F(TransportSettingsTest, TheRegistryProxyIsReadBeforeEveryTransfer) {
    ASSERT_EQ(S_OK, RegWriteDword(L"", L"ProxyServerType", 0));
    ASSERT_EQ(S_OK, RegWriteString(L"", L"ProxyServerIP", L"127.0.0.1"));
    ASSERT_EQ(S_OK, RegWriteString(L"", L"ProxyServerPort", L"1"));
    setenv("http_proxy", "http://127.0.0.1:1", 1);
    CComPtr<ITransport> transport;
    ASSERT_EQ(S_OK, CTransport::CreateInstance(&transport));
    pellux_test::CaptureServer direct;
    EXPECT_EQ(S_OK, transport->Request(direct.Url("/xsvr/dir/").c_str(), nullptr, L"x", nullptr, 30, false));
    EXPECT_EQ("/xsvr/dir/", direct.last.target);
    unsetenv("http_proxy");
    for (const wchar_t* user : {L"", L"ann"}) {
        pellux_test::CaptureServer proxy;
        ASSERT_EQ(S_OK, RegWriteDword(L"", L"ProxyServerType", 2));
        ASSERT_EQ(S_OK, RegWriteString(L"", L"ProxyServerPort", std::to_wstring(proxy.Port())));
        ASSERT_EQ(S_OK, RegWriteString(L"", L"ProxyServerUserName", user));
        ASSERT_EQ(S_OK, RegWriteString(L"", L"ProxyServerPassword", L"pw"));
        std::wstring reply;
        EXPECT_EQ(S_OK, transport->Request(L"http://service.invalid/xsvr/dir/", L"v:2&User-Agent:pellux",
                                           L"<x/>", &reply, 30, false));
        EXPECT_EQ(L"ok", reply);
        EXPECT_EQ("http://service.invalid/xsvr/dir/", proxy.last.target);
        // "ann:pw"
        EXPECT_EQ(*user ? "Basic YW5uOnB3" : "", proxy.last.Header("Proxy-Authorization"));
    }
}

TEST_F(TransportSettingsTest, OnlyAnExplicitSettingLetsAnUnverifiedPeerThrough) {
    if (!pellux_test::HaveProgram("openssl"))
        GTEST_SKIP() << "openssl is not installed";
    const std::string folder = pellux_test::MakeTempDir("tls");
    std::string output;
    ASSERT_EQ(0,
              pellux_test::RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                                      "-addext subjectAltName=IP:127.0.0.1 -keyout " +
                                          folder + "/key.pem -out " + folder + "/cert.pem 2>&1",
                                      &output))
        << output;
    pellux_test::TlsLoopbackServer server(folder + "/cert.pem", folder + "/key.pem");
    server.Routes().Post("/xsvr/getSpace/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<xNorle><result>ok</result></xNorle>", "text/xml");
    });
    server.Start();

    CComPtr<ITransport> strict;
    ASSERT_EQ(S_OK, CTransport::CreateInstance(&strict));
    std::wstring reply;
    EXPECT_EQ(E_TRANSPORT_FAILED,
              strict->Request(server.Url("/xsvr/getSpace/").c_str(), nullptr, L"x", &reply, 30, false));
    EXPECT_TRUE(reply.empty());

    WriteConfig("[Debug]\nVerifyTlsPeer=0\n");
    CComPtr<ITransport> lenient;
    ASSERT_EQ(S_OK, CTransport::CreateInstance(&lenient));
    EXPECT_EQ(S_OK,
              lenient->Request(server.Url("/xsvr/getSpace/").c_str(), nullptr, L"x", &reply, 30, false));
    EXPECT_EQ(L"<xNorle><result>ok</result></xNorle>", reply);
}

}  // namespace
