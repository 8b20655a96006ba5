// The transport's pure decisions: multipart field decoding, proxy options from
// the registry values, speed caps from the settings texts, outcome mapping.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/formfields.h"
#include "core/remotestorage/remotestorage/proxyoptions.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transportsettings.h"

namespace {

// Each case: the field text and its decoded name=contents pairs, "|" between.
TEST(FormFieldsTest, PairsDecodeInTextOrderAndBrokenEscapesBecomeAQuestionMark) {
    const std::vector<std::pair<const wchar_t*, std::string>> cases = {
        {L"stub=a%20b&uploadSize=10&sum=1+1&name=%E4%B8%AD",
         "stub=a b|uploadSize=10|sum=1+1|name=\xe4\xb8\xad"},          // '+' is not a blank here
        {L"a=%zz&b=a%zzc&c=%&d=x%4&e=%4g", "a=?|b=a?c|c=?|d=x?|e=?"},  // never reading past the text
        {L"k=%FF", "k=\xef\xbf\xbd"},  // bytes that are not UTF-8 are replaced, not sent raw
        {L"a=1&lonely", "a=1"},
        {L"", ""},
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
        {static_cast<uint32_t>(-1), L"ann", "proxy.lan", true, "proxy.lan:80", ""},
        // No system proxy: explicitly none, so libcurl does not guess one.
        {static_cast<uint32_t>(-1), L"", "", false, "", ""},
        {kProxySystem, L"ann", "proxy.lan:8080", true, "proxy.lan:8080", ""},
        {kProxyManual, L"", "ignored:1", true, "10.0.0.9:3128", ""},
        {kProxyManual, L"ann", "", true, "10.0.0.9:3128", "ann:p\xc3\xa4ss"},
        {0, L"ann", "proxy.lan:8080", false, "", ""},
        {3, L"", "proxy.lan:8080", false, "", ""},
        {7, L"", "proxy.lan:8080", false, "", ""},
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

TEST(ProxyOptionsTest, EnvironmentStyleEntriesKeepOnlyHostAndPort) {
    std::string hostAndPort;
    ASSERT_TRUE(ParseSystemProxyList("http://proxy.lan:3128/", &hostAndPort));
    EXPECT_EQ("proxy.lan:3128", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("http://[::1]", &hostAndPort));
    EXPECT_EQ("[::1]:80", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("[::1]:8888", &hostAndPort));
    EXPECT_EQ("[::1]:8888", hostAndPort);
    EXPECT_FALSE(ParseSystemProxyList("", &hostAndPort));
    EXPECT_FALSE(ParseSystemProxyList(" proxy.lan:1", &hostAndPort));
}

TEST(ProxyOptionsTest, TheEnvironmentStandsInForTheSystemSetting) {
    setenv("http_proxy", "http://plain.lan:1", 1);
    setenv("https_proxy", "secure.lan:2", 1);
    EXPECT_EQ("http://plain.lan:1", SystemProxyListFor("http://127.0.0.1/x"));
    EXPECT_EQ("secure.lan:2", SystemProxyListFor("HTTPS://host/x"));
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    EXPECT_EQ("", SystemProxyListFor("http://127.0.0.1/x"));
}

TEST(SpeedCapTest, DebugValueWinsUnlessAbsentOrMinusOne) {
    // Both absent: 1 MiB/s.
    EXPECT_EQ(0x100000u, ResolveSpeedCap(L"", L""));
    EXPECT_EQ(0x100000u, ResolveSpeedCap(L"-1", L""));
    EXPECT_EQ(0u, ResolveSpeedCap(L"0", L""));  // 0 removes the cap
    EXPECT_EQ(2048u, ResolveSpeedCap(L"2048", L"99"));
    EXPECT_EQ(99u, ResolveSpeedCap(L"", L"99"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"-1", L"0"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"fast", L"99"));  // text without digits counts as 0
}

TEST(SpeedCapTest, IntegerSettingsReadLeadingDigits) {
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
