// https peers are verified: a self-signed loopback server is refused unless
// verification is explicitly turned off for it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "loopbackserver.h"
#include "tests/support/testenvironment.h"

namespace {

class TransportTlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pellux_test::HaveProgram("openssl"))
            GTEST_SKIP() << "openssl is not installed";
        for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        const std::string folder = pellux_test::MakeTempDir("tls");
        m_certificate = folder + "/cert.pem";
        m_key = folder + "/key.pem";
        const std::string command =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
            "-addext subjectAltName=IP:127.0.0.1 -keyout " +
            m_key + " -out " + m_certificate + " 2>&1";
        std::string output;
        ASSERT_EQ(0, pellux_test::RunCommand(command, &output)) << output;
        m_server.reset(new pellux_test::TlsLoopbackServer(m_certificate, m_key));
        ASSERT_TRUE(m_server->Valid());
        m_server->Routes().Get("/secret", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("over tls", "text/plain");
        });
        m_server->Start();
    }

    std::string Url() const {
        const std::wstring url = m_server->Url("/secret");
        return std::string(url.begin(), url.end());
    }

    std::string m_certificate;
    std::string m_key;
    std::unique_ptr<pellux_test::TlsLoopbackServer> m_server;
};

TEST_F(TransportTlsTest, AnUntrustedPeerIsRefusedByDefault) {
    CurlSession session;
    ASSERT_TRUE(session.EnsureHandle());
    session.FullReset();
    session.ApplyProxy(ProxyOptions());
    const CURLcode code = session.TextGet(Url(), 10);
    EXPECT_EQ(CURLE_PEER_FAILED_VERIFICATION, code);
    EXPECT_EQ(E_TRANSPORT_FAILED, TransferResult(code, false));
    EXPECT_TRUE(session.ResponseBody().empty());
}

TEST_F(TransportTlsTest, TurningVerificationOffReachesATestServer) {
    CurlSession session;
    ASSERT_TRUE(session.EnsureHandle());
    session.SetVerifyPeer(false);
    session.FullReset();
    session.ApplyProxy(ProxyOptions());
    EXPECT_EQ(CURLE_OK, session.TextGet(Url(), 10));
    EXPECT_EQ("over tls", session.ResponseBody());
}

}  // namespace
