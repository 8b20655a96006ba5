// What a transport takes from the settings file, the registry and the
// environment: the pure decisions (multipart fields, proxy options, speed caps,
// outcome mapping), then their effect on real loopback transfers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/formfields.h"
#include "core/remotestorage/remotestorage/proxyoptions.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "core/remotestorage/remotestorage/transportsettings.h"
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

// Each case: the field text and its decoded name=contents pairs, "|" between.
TEST(FormFieldsTest, PairsDecodeInTextOrderAndBrokenEscapesBecomeAQuestionMark) {
    const std::vector<std::pair<const wchar_t*, std::string>> cases = {
        {L"stub=a%20b&uploadSize=10&sum=1+1%09&name=%E4%B8%AD",
         "stub=a b|uploadSize=10|sum=1+1\t|name=\xe4\xb8\xad"},        // '+' is not a blank here
        {L"a=%zz&b=a%zzc&c=%&d=x%4&e=%4g", "a=?|b=a?c|c=?|d=x?|e=?"},  // never reading past the text
        {L"k=%FF", "k=\xef\xbf\xbd"},  // bytes that are not UTF-8 are replaced, not sent raw
        {L"a=1&lonely", "a=1"},
    };
    for (const auto& c : cases) {
        std::string decoded;
        for (const auto& field : DecodeFormFields(c.first))
            decoded += (decoded.empty() ? "" : "|") + field.name + "=" + field.contents;
        EXPECT_EQ(c.second, decoded);
    }
}

// An absent type uses the system proxy, as the system type does; any but manual means none.
TEST(ProxyOptionsTest, TheTypeChoosesSystemManualOrNoProxy) {
    struct Case {
        uint32_t type;
        const wchar_t* userName;
        const char* system;
        bool httpProxy;
        const char* proxy;
        const char* userPassword;
    };
    const std::vector<Case> cases = {
        {static_cast<uint32_t>(-1), L"", "proxy.lan:8080 other.lan:3128", true, "proxy.lan:8080", ""},
        // No system proxy: explicitly none, so libcurl does not guess one.
        {static_cast<uint32_t>(-1), L"", "", false, "", ""},
        {kProxySystem, L"ann", "proxy.lan:8080", true, "proxy.lan:8080", ""},
        {kProxyManual, L"", "ignored:1", true, "10.0.0.9:3128", ""},
        {kProxyManual, L"ann", "", true, "10.0.0.9:3128", "ann:p\xc3\xa4ss"},
        {0, L"ann", "proxy.lan:8080", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.system);
        ProxyRegistryValues values;
        if (c.type != static_cast<uint32_t>(-1))
            values.type = c.type;
        values.server = L"10.0.0.9";
        values.port = L"3128";
        values.userName = c.userName;
        values.password = L"p\u00e4ss";
        const ProxyOptions options = BuildProxyOptions(values, c.system);
        EXPECT_EQ(c.httpProxy, static_cast<bool>(options.httpProxyType));
        EXPECT_EQ(c.proxy, options.proxy);
        EXPECT_EQ(c.userPassword, options.userPassword);
    }
}

TEST(ProxyOptionsTest, EnvironmentEntriesStandInForTheSystemSettingAndKeepOnlyHostAndPort) {
    std::string hostAndPort;
    ASSERT_TRUE(ParseSystemProxyList("http://proxy.lan:3128/", &hostAndPort));
    EXPECT_EQ("proxy.lan:3128", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("http://[::1]", &hostAndPort));
    EXPECT_EQ("[::1]:80", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("[::1]:8888", &hostAndPort));
    EXPECT_EQ("[::1]:8888", hostAndPort);
    EXPECT_FALSE(ParseSystemProxyList("", &hostAndPort));
    EXPECT_FALSE(ParseSystemProxyList(" proxy.lan:1", &hostAndPort));
    // The environment stands in for the system setting.
    setenv("http_proxy", "http://plain.lan:1", 1);
    setenv("https_proxy", "secure.lan:2", 1);
    EXPECT_EQ("http://plain.lan:1", SystemProxyListFor("http://127.0.0.1/x"));
    EXPECT_EQ("secure.lan:2", SystemProxyListFor("HTTPS://host/x"));
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    EXPECT_EQ("", SystemProxyListFor("http://127.0.0.1/x"));
}

TEST(SpeedCapTest, DebugValueWinsUnlessAbsentOrMinusOneAndLeadingDigitsCount) {
    // Both absent: 1 MiB/s.
    EXPECT_EQ(0x100000u, ResolveSpeedCap(L"", L""));
    EXPECT_EQ(0u, ResolveSpeedCap(L"0", L""));  // 0 removes the cap
    EXPECT_EQ(99u, ResolveSpeedCap(L"", L"99"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"-1", L"0"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"fast", L"99"));  // text without digits counts as 0
    // Integer settings read leading digits.
    EXPECT_EQ(7, ParseIntegerSetting(L"", 7));
    EXPECT_EQ(12, ParseIntegerSetting(L" 12kb", 7));
    EXPECT_EQ(-3, ParseIntegerSetting(L"-3", 7));
    EXPECT_EQ(0, ParseIntegerSetting(L"x", 7));
    EXPECT_GT(ParseIntegerSetting(L"99999999999999999999999", 7), 0);
}

TEST(TransferResultTest, CodesMapInTheirOrder) {
    EXPECT_EQ(S_OK, TransferResult(CURLE_OK, true));
    // A time-out wins over a cancel that came too.
    EXPECT_EQ(E_TRANSPORT_TIMEOUT, TransferResult(CURLE_OPERATION_TIMEDOUT, true));
    EXPECT_EQ(E_CANCELLED, TransferResult(CURLE_ABORTED_BY_CALLBACK, false));
    EXPECT_EQ(E_CANCELLED, TransferResult(CURLE_RECV_ERROR, true));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_RESOLVE_PROXY, false));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_RESOLVE_HOST, false));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_CONNECT, false));
    EXPECT_EQ(E_TRANSPORT_FAILED, TransferResult(CURLE_PEER_FAILED_VERIFICATION, false));
    EXPECT_EQ(E_TRANSPORT_FAILED, TransferResult(CURLE_WRITE_ERROR, false));
}

}  // namespace
